// No output replaces a report or a calibration file, not even through a symbolic link that
// leads to one: every kind of output, in the window and on the command line.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <functional>

#include "app/headless.h"
#include "app/headless_evaluate.h"
#include "evaluation/job_summary.h"
#include "program_state.h"
#include "report/record_files.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_store.h"
#include "ui/main_frame.h"
#include "ui/page_output.h"
#include "ui/print_many.h"
#include "ui/report_printing.h"
#include "ui_support.h"

namespace vr5 {
namespace {

class RecordLinksTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        report = test::writeFixture(dir, QStringLiteral("demo"), QStringLiteral("report.tjr"));
        other = test::writeFixture(dir, QStringLiteral("bar"), QStringLiteral("other.tjr"));
        calibration = test::writeFile(dir, QStringLiteral("station.TDC"), "calibration bytes");
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("reports/deeper")));
        deep = test::writeFixture(dir, QStringLiteral("demo"),
                                  QStringLiteral("reports/deeper/kept.tjr"));
        ASSERT_TRUE(QFile::link(QStringLiteral("reports/deeper"), dir.filePath("shortcut")));
    }

    // Makes `name` a link with the given text (relative to the link's folder unless absolute).
    QString link(const QString& name, const QString& to) {
        const QString path = dir.filePath(name);
        QFile::remove(path);
        EXPECT_TRUE(QFile::link(to, path)) << qPrintable(name);
        return path;
    }

    // Every file of the folder with a digest of its bytes, links with where they lead.
    QStringList snapshot() const {
        QStringList files;
        for (const QString& d : {QString(), QStringLiteral("reports/deeper")}) {
            const QDir folder(dir.filePath(d));
            for (const QFileInfo& info :
                 folder.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
                const QString what =
                    info.isSymLink() ? QStringLiteral("-> ") + QFile::symLinkTarget(info.filePath())
                                     : QString::fromLatin1(
                                           QCryptographicHash::hash(test::readFile(info.filePath()),
                                                                    QCryptographicHash::Sha1)
                                               .toHex());
                files << QDir(dir.path()).relativeFilePath(info.filePath()) + u' ' + what;
            }
        }
        return files;
    }

    QTemporaryDir dir;
    QString report, other, calibration, deep;
};

// Each output, given the path to write; true when it says it wrote.
struct Output {
    const char* name;
    std::function<bool(const QString& out, QString& said)> write;
};

TEST_F(RecordLinksTest, NoOutputGoesThroughALinkToAReportOrCalibrationFile) {
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    ProgramState state;
    CVR5XPDoc doc(state, prompter);
    ASSERT_EQ(doc.Open(other), CVR5XPDoc::OpenResult::Opened);
    const auto headless = [&](const QStringList& args, QString& said) {
        QString out;
        QTextStream o(&out), e(&said);
        const CommandLine line = parseCommandLine(args);
        EXPECT_NE(line.mode, CommandLine::Mode::Error) << qPrintable(line.error);
        const int status =
            line.mode == CommandLine::Mode::ExportCsv || line.mode == CommandLine::Mode::EvaluateCsv
                ? runEvaluate(line, settings, o, e)
                : runHeadless(line, o, e);
        return status == kExitOk;
    };
    const Output outputs[] = {
        {"PDF",
         [&](const QString& out, QString& said) {
             return writePdfFile(buildDocumentPage(doc, Medium::Paper), out, "x", &said);
         }},
        {"PNG",
         [&](const QString& out, QString& said) {
             return writePngFile(renderPageImage(buildDocumentPage(doc, Medium::Screen), 24), out,
                                 &said);
         }},
        {"Print Many PDF",
         [&](const QString& out, QString& said) {
             return writeFilesPdf({other, other}, out, nullptr, &said);
         }},
        {"print dialog's PDF file",
         [&](const QString& out, QString& said) {
             QPrinter printer(QPrinter::HighResolution);
             printer.setOutputFormat(QPrinter::PdfFormat);
             printer.setOutputFileName(out);
             return printChosen(printer, buildDocumentPage(doc, Medium::Paper), "x", &said);
         }},
        {"CSV",
         [&](const QString& out, QString& said) {
             return writeCsvFile(out, QByteArrayLiteral("a,b\r\n"), said);
         }},
        {"window's job summary",
         [&](const QString& out, QString& said) {
             CMainFrame frame(settings, prompter);
             prompter.messages.clear();
             frame.evaluateManyFiles({other}, out);
             said = prompter.messages.value(0);
             return QFileInfo::exists(out) && !said.contains(u"never written over");
         }},
        {"--export-pdf",
         [&](const QString& out, QString& said) {
             return headless({"--export-pdf", out, other}, said);
         }},
        {"--export-pdf of two",
         [&](const QString& out, QString& said) {
             return headless({"--export-pdf", out, other, other}, said);
         }},
        {"--export-png",
         [&](const QString& out, QString& said) {
             return headless({"--export-png", out, "--dpi", "24", other}, said);
         }},
        {"--export-csv",
         [&](const QString& out, QString& said) {
             return headless({"--export-csv", out, other}, said);
         }},
        {"--evaluate-csv",
         [&](const QString& out, QString& said) {
             return headless({"--evaluate-csv", out, other}, said);
         }},
    };
    // Where each link leads; every one ends at a report or a calibration file.
    const struct {
        const char* name;
        std::function<QString()> make;
    } links[] = {
        {"out.pdf -> report.tjr", [&] { return link("out.pdf", "report.tjr"); }},
        {"absolute, to a calibration file", [&] { return link("out.png", calibration); }},
        {"a chain of links",
         [&] {
             link("hop2.pdf", "report.tjr");
             link("hop1.csv", dir.filePath("hop2.pdf"));
             return link("out.pdf", "hop1.csv");
         }},
        {"to a report not made yet", [&] { return link("out.pdf", "new.TJR"); }},
        {"through a linked folder and back up",
         [&] {
             link("reports/deeper/hop.pdf", "kept.tjr");
             return link("out.csv", "shortcut/../deeper/hop.pdf");
         }},
        {"a link whose name is a report's",
         [&] { return link("looks.tjr", dir.filePath("plain.pdf")); }},
    };
    for (const auto& l : links) {
        for (const Output& output : outputs) {
            SCOPED_TRACE(std::string(l.name) + ", " + output.name);
            const QString out = l.make();
            const QStringList before = snapshot();
            QString said;
            EXPECT_FALSE(output.write(out, said));
            EXPECT_TRUE(said.contains(u"never written over")) << qPrintable(said);
            EXPECT_EQ(snapshot(), before) << "every file and link as it was, none added";
        }
    }

    // A link to an ordinary file is written through, as before.
    const QByteArray reportBytes = test::readFile(report);
    for (const Output& output : outputs) {
        SCOPED_TRACE(output.name);
        test::writeFile(dir, QStringLiteral("target.out"), "old");
        const QString out = link("out.any", "target.out");
        QString said;
        EXPECT_TRUE(output.write(out, said)) << qPrintable(said);
        EXPECT_NE(test::readFile(out), "old");
        EXPECT_EQ(test::readFile(report), reportBytes);
    }
}

TEST(RecordFiles, TheRefusalNamesWhereALinkLeads) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.pdf");
    ASSERT_TRUE(QFile::link(QStringLiteral("report.tjr"), out));
    EXPECT_EQ(outputTarget(out), dir.filePath("report.tjr"));
    EXPECT_TRUE(isRecordFile(out));
    EXPECT_EQ(recordFileRefusal(out),
              out + " leads to " + dir.filePath("report.tjr") +
                  ", a report or calibration file; it is never written over.");
    EXPECT_EQ(
        recordFileRefusal(dir.filePath("r.TDC")),
        dir.filePath("r.TDC") + " is a report or calibration file; it is never written over.");
    // A loop of links leads nowhere that could be written; it is no record either.
    ASSERT_TRUE(QFile::link(QStringLiteral("b.pdf"), dir.filePath("a.pdf")));
    ASSERT_TRUE(QFile::link(QStringLiteral("a.pdf"), dir.filePath("b.pdf")));
    EXPECT_FALSE(isRecordFile(dir.filePath("a.pdf")));
}

}  // namespace
}  // namespace vr5
