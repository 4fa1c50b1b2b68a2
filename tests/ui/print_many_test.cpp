#include "ui/print_many.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "report/vr5xp_doc.h"
#include "settings/recent_files.h"
#include "settings/settings_store.h"
#include "ui/commands.h"
#include "ui/main_frame.h"
#include "ui_support.h"

namespace vr5 {
namespace {

// The pages of a PDF, counted in its page tree.
int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = file.readAll();
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                            pdf.count("/Type /Page ") + pdf.count("/Type /Page/") +
                            pdf.count("/Type /Page>"));
}

// The file a page belongs to, as its path line names it.
QString pageFile(const PageDrawing& page) {
    for (const PageItem& item : page.items) {
        if (const auto* text = std::get_if<TextItem>(&item)) {
            if (text->text.endsWith(QStringLiteral(".tjr")))
                return QFileInfo(text->text).fileName();
        }
    }
    return {};
}

class PrintManyTest : public ::testing::Test {
protected:
    void SetUp() override {
        a = test::writeFixture(dir, QStringLiteral("demo"), QStringLiteral("a.tjr"));
        b = test::writeFixture(dir, QStringLiteral("bar"), QStringLiteral("b.tjr"));
        missing = dir.filePath(QStringLiteral("gone.tjr"));
        notAReport = test::writeFile(dir, QStringLiteral("short.tjr"), "VR5X");
    }
    QTemporaryDir dir;
    QString a, b, missing, notAReport;
};

TEST_F(PrintManyTest, PagesComeInTheChosenOrderAndUnreadableFilesSaySo) {
    const QStringList paths{b, missing, a, b};
    QStringList files;
    QList<bool> unreadable;
    for (const QString& path : paths) {
        const FilePage page = buildFilePage(path, Medium::Paper);
        files << pageFile(page.drawing);
        unreadable << !page.problem.isEmpty();
        EXPECT_FALSE(page.drawing.items.empty());
    }
    EXPECT_EQ(files, QStringList({"b.tjr", "gone.tjr", "a.tjr", "b.tjr"}));
    EXPECT_EQ(unreadable, QList<bool>({false, true, false, false}));
}

TEST_F(PrintManyTest, OnePdfWithAPageForEveryFile) {
    const QString out = dir.filePath(QStringLiteral("all.pdf"));
    const struct {
        QStringList paths;
        int pages, problems;
    } cases[] = {
        {{a}, 1, 0},
        {{a, b, a}, 3, 0},
        {{a, missing, b, notAReport}, 4, 1},
    };
    for (const auto& c : cases) {
        QStringList problems;
        QString error;
        ASSERT_TRUE(writeFilesPdf(c.paths, out, &problems, &error)) << error.toStdString();
        EXPECT_EQ(pdfPages(out), c.pages);
        EXPECT_EQ(problems.size(), c.problems) << problems.join(u'\n').toStdString();
    }
    // Never over a report, and nothing half-written on refusal.
    QString error;
    const QByteArray before = [&] {
        QFile f(b);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_FALSE(writeFilesPdf({a}, b, nullptr, &error));
    QFile f(b);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

// Answers the next print dialog; true when one was shown. With `from` and `to`, the operator
// asks for those pages first.
void answerPrintDialog(bool print, bool* shown, int from = 0, int to = 0) {
    QTimer::singleShot(50, [print, shown, from, to] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        *shown = dialog != nullptr;
        if (!dialog) return;
        if (from > 0) {
            auto* range = dialog->findChild<QRadioButton*>(QStringLiteral("printRange"));
            auto* first = dialog->findChild<QSpinBox*>(QStringLiteral("from"));
            auto* last = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
            if (!range || !first || !last) {
                ADD_FAILURE() << "the print dialog has no page range";
            } else {
                range->click();
                first->setValue(from);
                last->setValue(to);
            }
        }
        if (print)
            dialog->accept();
        else
            dialog->reject();
    });
}

TEST_F(PrintManyTest, TheWindowsJobPrintsEveryFileAndShowsTheLast) {
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    CMainFrame frame(settings, prompter);
    ASSERT_TRUE(frame.openFile(a));
    const QString out = dir.filePath(QStringLiteral("printed.pdf"));
    frame.printer().setOutputFormat(QPrinter::PdfFormat);
    frame.printer().setOutputFileName(out);

    // Cancelled at the printer dialog: nothing printed, the shown report stays.
    bool shown = false;
    answerPrintDialog(false, &shown);
    frame.printManyFiles({b, a, b});
    EXPECT_TRUE(shown);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(QFileInfo(frame.document().path()).fileName(), "a.tjr");

    answerPrintDialog(true, &shown);
    frame.printManyFiles({a, missing, b});
    EXPECT_TRUE(shown);
    EXPECT_EQ(pdfPages(out), 3);
    EXPECT_EQ(QFileInfo(frame.document().path()).fileName(), "b.tjr");
    // The job ends saying what it wrote, and which files only have a page that says so.
    const QString& said = prompter.messages.last();
    EXPECT_TRUE(said.startsWith(QStringLiteral("The PDF file was saved as\n") +
                                QDir::toNativeSeparators(out) +
                                QStringLiteral("\n\n3 pages written.")))
        << qPrintable(said);
    EXPECT_TRUE(
        said.contains(QStringLiteral("These files could not be printed; their pages say so:")));
    EXPECT_TRUE(said.contains(QStringLiteral("gone.tjr"))) << qPrintable(said);

    // An ordinary print afterwards prints the displayed report alone.
    QFile::remove(out);
    answerPrintDialog(true, &shown);
    frame.onPrint();
    EXPECT_EQ(pdfPages(out), 1);

    // A PDF named like a report is refused, and the report stays as it was.
    const QByteArray report = test::readFile(b);
    frame.printer().setOutputFileName(b);
    answerPrintDialog(true, &shown);
    frame.onPrint();
    EXPECT_EQ(test::readFile(b), report);
    EXPECT_TRUE(prompter.messages.last().contains(QStringLiteral("never written over")));
}

// Page N of a Print Many job is the N-th file chosen.
TEST(PrintManyPages, ThePageRangePicksFilesByTheirPlaceInTheList) {
    const QStringList files{"1.tjr", "2.tjr", "3.tdc", "4.tjr"};
    const struct {
        QPrinter::PrintRange range;
        const char* pages;
        QStringList picked;
    } cases[] = {
        {QPrinter::AllPages, "", files},
        {QPrinter::AllPages, "2-3", files},  // a range the operator did not choose
        {QPrinter::PageRange, "", files},
        {QPrinter::PageRange, "2-3", {"2.tjr", "3.tdc"}},
        {QPrinter::PageRange, "1", {"1.tjr"}},
        {QPrinter::PageRange, "4", {"4.tjr"}},
        {QPrinter::PageRange, "1,3-4", {"1.tjr", "3.tdc", "4.tjr"}},
        {QPrinter::PageRange, "3-9", {"3.tdc", "4.tjr"}},
        {QPrinter::PageRange, "5-9", {}},
        {QPrinter::CurrentPage, "", files},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.range) + " " + c.pages);
        const QPageRanges pages = QPageRanges::fromString(QString::fromLatin1(c.pages));
        EXPECT_EQ(filesInPageRange(files, c.range, pages), c.picked);
    }
    EXPECT_EQ(noFilesInPageRange(QPageRanges::fromString("5-9"), 4),
              "Pages 5-9 were asked for, but there are only 4 files: nothing was printed.");
    EXPECT_EQ(noFilesInPageRange(QPageRanges::fromString("5,7"), 4),
              "Pages 5,7 were asked for, but there are only 4 files: nothing was printed.");
    EXPECT_EQ(noFilesInPageRange(QPageRanges::fromString("2"), 1),
              "Page 2 was asked for, but there is only one file: nothing was printed.");
}

// The window's job with pages asked for in the print dialog: the PDF has a page for each file of
// the range, the files printed are the ones that enter the recent list, and the last of them
// stays on show.
TEST_F(PrintManyTest, TheWindowsJobPrintsThePagesAskedFor) {
    const QString c = test::writeFixture(dir, QStringLiteral("demo"), QStringLiteral("c.tjr"));
    const QStringList paths{a, missing, b, c};
    const struct {
        int from, to;  // 0: all pages
        int pages;
        QStringList recent;  // most recent first
        QString shown;
        bool problem;  // gone.tjr was printed, and its page says why
    } cases[] = {
        {0, 0, 4, {"c.tjr", "b.tjr", "a.tjr"}, "c.tjr", true},
        {2, 3, 2, {"b.tjr"}, "b.tjr", true},
        {3, 4, 2, {"c.tjr", "b.tjr"}, "c.tjr", false},
        {1, 1, 1, {"a.tjr"}, "a.tjr", false},
        {4, 4, 1, {"c.tjr"}, "c.tjr", false},
    };
    const QString out = dir.filePath(QStringLiteral("range.pdf"));
    for (const auto& r : cases) {
        SCOPED_TRACE(std::to_string(r.from) + "-" + std::to_string(r.to));
        MemorySettingsStore settings;
        test::ScriptedPrompter prompter;
        CMainFrame frame(settings, prompter);
        frame.printer().setOutputFormat(QPrinter::PdfFormat);
        frame.printer().setOutputFileName(out);
        QFile::remove(out);
        bool shown = false;
        answerPrintDialog(true, &shown, r.from, r.to);
        frame.printManyFiles(paths);
        EXPECT_TRUE(shown);
        EXPECT_EQ(pdfPages(out), r.pages);
        QStringList recent;
        for (const QString& path : RecentFileList(settings).entries())
            recent << QFileInfo(path).fileName();
        EXPECT_EQ(recent, r.recent);
        EXPECT_EQ(QFileInfo(frame.document().path()).fileName(), r.shown);
        const QString said = prompter.messages.join(u'\n');
        EXPECT_EQ(said.contains(QStringLiteral("gone.tjr")), r.problem) << qPrintable(said);
    }

    // The next job starts again from all pages.
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    CMainFrame frame(settings, prompter);
    frame.printer().setOutputFormat(QPrinter::PdfFormat);
    frame.printer().setOutputFileName(out);
    bool shown = false;
    answerPrintDialog(true, &shown, 2, 2);
    frame.printManyFiles(paths);
    EXPECT_EQ(pdfPages(out), 1);
    answerPrintDialog(true, &shown);
    frame.printManyFiles(paths);
    EXPECT_EQ(pdfPages(out), 4);
}

TEST_F(PrintManyTest, SendIsOfferedWithAMailClientAndAttachesTheReport) {
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    const QByteArray path = qgetenv("PATH");
    // A mail client that writes down what it was asked.
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QString record = dir.filePath(QStringLiteral("mail.txt"));
    QFile client(bin + QStringLiteral("/xdg-email"));
    ASSERT_TRUE(client.open(QIODevice::WriteOnly));
    client.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record.toUtf8() + "'\n");
    client.close();
    client.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList expected{"--subject", "a", "--attach", QFileInfo(a).absoluteFilePath()};
    const auto said = [&record] {
        QFile file(record);
        if (!file.open(QIODevice::ReadOnly)) return QStringList();
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    };

    for (const bool withClient : {false, true}) {
        qputenv("PATH", withClient ? bin.toUtf8() : QByteArray("/nonexistent"));
        CMainFrame frame(settings, prompter);
        EXPECT_FALSE(frame.action(Command::Send)->isEnabled()) << "no report yet";
        ASSERT_TRUE(frame.openFile(a));
        EXPECT_EQ(frame.action(Command::Send)->isEnabled(), withClient);
        if (withClient) {
            frame.action(Command::Send)->trigger();
            // The client writes its record after the file appears: wait for all of it.
            EXPECT_TRUE(QTest::qWaitFor([&] { return said() == expected; }, 5000));
        }
    }
    qputenv("PATH", path);
    EXPECT_EQ(said(), expected);
}

}  // namespace
}  // namespace vr5
