// Long jobs over many files: Print Many and Evaluate Many in the window, with a progress dialog
// whose Cancel leaves nothing behind, and the command line's progress line on a terminal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "app/headless_evaluate.h"
#include "app/headless_progress.h"
#include "evaluation/job_summary.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/main_frame.h"
#include "ui/print_many.h"
#include "ui_support.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace vr5 {
namespace {

// Presses Cancel on the window's progress dialog once it has come to the file at `at` (from 0);
// it looks whenever the window processes events, so the moment does not depend on speed.
class CancelAt {
public:
    CancelAt(QWidget* window, int at) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this, window, at] {
            auto* dialog = window->findChild<QProgressDialog*>();
            if (!dialog || dialog->wasCanceled() || dialog->value() < at) return;
            seen = dialog->windowTitle();
            dialog->cancel();
        });
        timer_.start();
    }
    QString seen;  // the caption of the dialog it cancelled

private:
    QTimer timer_;
};

// Accepts the next print dialog.
void acceptPrintDialog() {
    QTimer::singleShot(50, [] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
}

class LongWorkTest : public ::testing::Test {
protected:
    void SetUp() override {
        a = test::writeFixture(dir, QStringLiteral("plain_hydraulic"), QStringLiteral("a.tjr"));
        b = test::writeFixture(dir, QStringLiteral("bar"), QStringLiteral("b.tjr"));
        damaged = test::writeFixture(dir, QStringLiteral("damaged_truncated"));
        missing = dir.filePath(QStringLiteral("gone.tjr"));
    }

    // The job summary as the command line writes it.
    QByteArray commandLineSummary(const QStringList& files) {
        const QString out = dir.filePath(QStringLiteral("command line.csv"));
        QString said;
        QTextStream o(&said), e(&said);
        runEvaluate(parseCommandLine(QStringList{"--evaluate-csv", out} + files), settings, o, e);
        const QByteArray bytes = test::readFile(out);
        QFile::remove(out);
        return bytes;
    }

    QStringList filesInDir() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir;
    MemorySettingsStore settings;
    QString a, b, damaged, missing;
};

TEST_F(LongWorkTest, TheJobSummaryIsTheCommandLinesAndCountsItsRows) {
    const QString out = dir.filePath(QStringLiteral("Job summary.csv"));
    const Procedure procedure = *loadProcedure(defaultProcedureId()).procedure;
    const struct {
        QStringList files;
        int joints, damaged, unreadable;
    } cases[] = {
        {{a}, 1, 0, 0},
        {{a, b, a}, 3, 0, 0},
        {{b, missing, damaged, a}, 3, 1, 1},
        {{missing}, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.files.join(u' ')));
        QStringList told;
        const JobSummaryResult result =
            writeJobSummary(c.files, procedure, out, [&](qsizetype index, const QString& path) {
                told << QString::number(index) + u' ' + QFileInfo(path).fileName();
                return true;
            });
        ASSERT_EQ(result.status, JobSummaryResult::Status::Written) << qPrintable(result.error);
        EXPECT_EQ(test::readFile(out), commandLineSummary(c.files));
        EXPECT_EQ(result.joints, c.joints);
        EXPECT_EQ(result.damaged, c.damaged);
        EXPECT_EQ(result.unreadable, c.unreadable);
        QStringList expected;
        for (qsizetype i = 0; i < c.files.size(); ++i)
            expected << QString::number(i) + u' ' + QFileInfo(c.files[i]).fileName();
        EXPECT_EQ(told, expected) << "told of every file, in order, before it is read";
    }
}

TEST_F(LongWorkTest, AStoppedOrRefusedJobWritesNothing) {
    const Procedure procedure = *loadProcedure(defaultProcedureId()).procedure;
    const QString csv = dir.filePath(QStringLiteral("earlier.csv"));
    test::writeFile(dir, QStringLiteral("earlier.csv"), "an earlier summary");
    const QString pdf = dir.filePath(QStringLiteral("earlier.pdf"));
    test::writeFile(dir, QStringLiteral("earlier.pdf"), "an earlier PDF");
    const QByteArray report = test::readFile(b);
    const QStringList before = filesInDir();
    const struct {
        QString output;
        int stopAt;  // -1: never stopped
        bool refused;
    } cases[] = {
        {csv, 0, false},
        {csv, 2, false},
        {b, -1, true},
        {dir.filePath(QStringLiteral("station.TDC")), -1, true},
        {dir.filePath(QStringLiteral("no/folder/x.csv")), -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.output + u' ' + QString::number(c.stopAt)));
        int read = 0;
        const auto progress = [&](qsizetype index, const QString&) {
            read = static_cast<int>(index);
            return index != c.stopAt;
        };
        const JobSummaryResult result =
            writeJobSummary({a, b, damaged, a}, procedure, c.output, progress);
        if (c.stopAt >= 0) {
            EXPECT_EQ(result.status, JobSummaryResult::Status::Cancelled);
            EXPECT_EQ(read, c.stopAt) << "no file after the stop is read";
        } else {
            EXPECT_EQ(result.status, JobSummaryResult::Status::Failed);
            EXPECT_FALSE(result.error.isEmpty());
            if (c.refused) {
                EXPECT_EQ(read, 0) << "refused before any report is read";
            }
        }
        // The PDF of Print Many, stopped the same way.
        if (c.stopAt >= 0) {
            QString error;
            EXPECT_FALSE(writeFilesPdf({a, b, damaged, a}, pdf, nullptr, &error, 100, progress));
            EXPECT_TRUE(error.isEmpty()) << "a stop is no failure: " << qPrintable(error);
        }
    }
    EXPECT_EQ(filesInDir(), before) << "nothing new, not even a temporary file";
    EXPECT_EQ(test::readFile(csv), "an earlier summary");
    EXPECT_EQ(test::readFile(pdf), "an earlier PDF");
    EXPECT_EQ(test::readFile(b), report);
}

TEST_F(LongWorkTest, TheMessageTellsWhereAndHowMany) {
    const QString out = QStringLiteral("/x/Job summary.csv");
    const QString where = QStringLiteral("The job summary was saved as\n") +
                          QDir::toNativeSeparators(out) + QStringLiteral("\n\n");
    const struct {
        int joints, damaged, unreadable;
        QString rest;
    } cases[] = {
        {40, 0, 0, "40 joints written; 0 files could not be read."},
        {1, 0, 1, "1 joint written; 1 file could not be read. Their rows say why."},
        {3, 1, 2,
         "3 joints written; 2 files could not be read. Their rows say why.\n"
         "1 report is damaged: what could be read of it is summed up."},
        {3, 2, 0,
         "3 joints written; 0 files could not be read.\n"
         "2 reports are damaged: what could be read of them is summed up."},
    };
    for (const auto& c : cases) {
        JobSummaryResult result;
        result.status = JobSummaryResult::Status::Written;
        result.joints = c.joints;
        result.damaged = c.damaged;
        result.unreadable = c.unreadable;
        EXPECT_EQ(jobSummaryMessage(result, out), where + c.rest);
    }
}

TEST_F(LongWorkTest, TheWindowsEvaluateManyWritesTheSummaryAndCancelWritesNone) {
    test::ScriptedPrompter prompter;
    settings.write(keys::EvaluationProcedure, QStringLiteral("dvs-2207-1"));
    CMainFrame frame(settings, prompter);
    const QString out = dir.filePath(QStringLiteral("Job summary.csv"));
    const QStringList files{a, missing, b, damaged};

    {
        CancelAt cancel(&frame, 2);
        frame.evaluateManyFiles(files, out);
        EXPECT_EQ(cancel.seen, "Evaluate Many");
    }
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_TRUE(prompter.messages.isEmpty()) << qPrintable(prompter.messages.join(u'\n'));

    frame.evaluateManyFiles(files, out);
    ASSERT_TRUE(QFileInfo::exists(out));
    // The procedure of the evaluation bar, as the command line takes it from the settings.
    EXPECT_EQ(test::readFile(out), commandLineSummary(files));
    EXPECT_TRUE(test::readFile(out).contains("DVS")) << test::readFile(out).constData();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.messages.last().contains("3 joints written; 1 file could not be read."))
        << qPrintable(prompter.messages.last());
    EXPECT_EQ(prompter.shown.last().icon, Prompter::Icon::Warning);

    // Never over a report; the report stays as it was.
    const QByteArray report = test::readFile(a);
    frame.evaluateManyFiles(files, a);
    EXPECT_EQ(test::readFile(a), report);
    EXPECT_TRUE(prompter.messages.last().contains("never written over"));
    EXPECT_EQ(prompter.shown.last().icon, Prompter::Icon::Error);
}

TEST_F(LongWorkTest, PrintManyCancelledPartWayLeavesNoPdfAndShowsNothingNew) {
    test::ScriptedPrompter prompter;
    CMainFrame frame(settings, prompter);
    ASSERT_TRUE(frame.openFile(a));
    const QString out = dir.filePath(QStringLiteral("printed.pdf"));
    frame.printer().setOutputFormat(QPrinter::PdfFormat);
    frame.printer().setOutputFileName(out);
    const QStringList before = filesInDir();

    {
        CancelAt cancel(&frame, 2);
        acceptPrintDialog();
        frame.printManyFiles({b, damaged, b, b});
        EXPECT_EQ(cancel.seen, "Print Many");
    }
    EXPECT_EQ(filesInDir(), before) << "no PDF, whole or in part";
    EXPECT_EQ(QFileInfo(frame.document().path()).fileName(), "a.tjr") << "the last is not shown";
    EXPECT_TRUE(prompter.messages.isEmpty()) << qPrintable(prompter.messages.join(u'\n'));

    // A single file gets no dialog to cancel: it prints and shows.
    {
        CancelAt cancel(&frame, 0);
        acceptPrintDialog();
        frame.printManyFiles({b});
        EXPECT_TRUE(cancel.seen.isEmpty());
    }
    EXPECT_TRUE(QFileInfo::exists(out));
    EXPECT_EQ(QFileInfo(frame.document().path()).fileName(), "b.tjr");

    // The paper chosen for the job is the PDF's.
    frame.printer().setPageSize(QPageSize(QPageSize::A4));
    acceptPrintDialog();
    frame.printManyFiles({a, b});
    EXPECT_TRUE(test::readFile(out).contains("/MediaBox [0 0 595"));
    EXPECT_EQ(QFileInfo(frame.document().path()).fileName(), "b.tjr");
}

TEST(ProgressLineTest, EachStepOverwritesTheLastAndClearingBlanksIt) {
    ProgressLine line;
    const QString longName = QString(100, u'x') + QStringLiteral("end.tjr");
    const struct {
        qsizetype index;
        QString path;
        QString expected;  // empty: clear
    } steps[] = {
        {0, "/reports/VR Job 7 Joint 12 by B-12.tjr",
         "\rEvaluating 1 of 40: VR Job 7 Joint 12 by B-12.tjr"},
        {1, "/reports/a.tjr", "\rEvaluating 2 of 40: a.tjr" + QString(24, u' ')},
        {2, "b.tjr", "\rEvaluating 3 of 40: b.tjr"},
        {-1, {}, "\r" + QString(25, u' ') + "\r"},
        {-1, {}, {}},
        {39, longName,
         "\rEvaluating 40 of 40: " + QString(28, u'x') + "..." + QString(20, u'x') + "end.tjr"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(qPrintable(s.path));
        const QString text = s.index < 0
                                 ? line.clear()
                                 : line.step(QStringLiteral("Evaluating"), s.index, 40, s.path);
        EXPECT_EQ(text, s.expected);
        EXPECT_LE(text.trimmed().size(), ProgressLine::kWidth) << "a line that wraps stays";
        EXPECT_FALSE(text.contains(u'\n'));
    }
}

TEST(ProgressLineTest, OnlyATerminalGetsTheProgress) {
    QString text;
    QTextStream toText(&text);
    EXPECT_FALSE(writesToTerminal(toText));
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("err.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QTextStream toFile(&file);
    EXPECT_FALSE(writesToTerminal(toFile));
    {
        TerminalProgress progress(toFile, QStringLiteral("Evaluating"), 3);
        progress.step(0, QStringLiteral("a.tjr"));
        progress.clear();
    }
    toFile.flush();
    EXPECT_EQ(file.size(), 0) << "scripts read the messages unchanged";
#ifdef Q_OS_UNIX
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    QFile terminal(QString::fromLocal8Bit(::ptsname(master)));
    ASSERT_TRUE(terminal.open(QIODevice::WriteOnly));
    QTextStream toTerminal(&terminal);
    EXPECT_TRUE(writesToTerminal(toTerminal));
    terminal.close();
    ::close(master);
#endif
}

}  // namespace
}  // namespace vr5
