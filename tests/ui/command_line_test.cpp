#include "app/command_line.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinterInfo>

#include "app/headless.h"
#include "calibration_description.h"
#include "ui_support.h"

namespace vr5 {
namespace {

using Mode = CommandLine::Mode;

TEST(CommandLineTest, ReadsEveryForm) {
    struct Case {
        QStringList args;
        Mode mode;
        QString file;
        QString output;
        int dpi;
        int range;
    } cases[] = {
        {{}, Mode::Window, "", "", 96, 100},
        {{"r.tjr"}, Mode::Window, "r.tjr", "", 96, 100},
        {{"/dde"}, Mode::Window, "", "", 96, 100},
        {{"--dump", "r.tjr"}, Mode::Dump, "r.tjr", "", 96, 100},
        {{"--export-pdf", "o.pdf", "r.tjr"}, Mode::ExportPdf, "r.tjr", "o.pdf", 96, 100},
        {{"--export-png", "o.png", "--dpi", "300", "r.tjr"},
         Mode::ExportPng,
         "r.tjr",
         "o.png",
         300,
         100},
        {{"--search-range", "50", "--export-pdf", "o.pdf", "r.tjr"},
         Mode::ExportPdf,
         "r.tjr",
         "o.pdf",
         96,
         50},
        {{"--search-range", "85%", "--dump", "r.tjr"}, Mode::Dump, "r.tjr", "", 96, 85},
        {{"/p", "r.tjr"}, Mode::Print, "r.tjr", "", 96, 100},
        {{"-P", "r.tjr"}, Mode::Print, "r.tjr", "", 96, 100},
        // The desktop's "Print to..." names the file alone: the print dialog chooses.
        {{"/pt", "r.tjr"}, Mode::PrintChoose, "r.tjr", "", 96, 100},
        {{"--help"}, Mode::Help, "", "", 96, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.args.join(' ')));
        const CommandLine line = parseCommandLine(c.args);
        EXPECT_EQ(line.mode, c.mode) << qPrintable(line.error);
        EXPECT_EQ(line.file, c.file);
        EXPECT_EQ(line.output, c.output);
        EXPECT_EQ(line.dpi, c.dpi);
        EXPECT_EQ(line.searchRange, c.range);
    }

    const CommandLine printTo = parseCommandLine({"/pt", "r.tjr", "Office", "winspool", "LPT1:"});
    EXPECT_EQ(printTo.mode, Mode::PrintTo);
    EXPECT_EQ(printTo.printer, "Office");
    EXPECT_EQ(printTo.driver, "winspool");
    EXPECT_EQ(printTo.port, "LPT1:");
    EXPECT_TRUE(printTo.headless());
    EXPECT_FALSE(parseCommandLine({"/pt", "r.tjr"}).headless());
    EXPECT_EQ(parseCommandLine({"/pt", "r.tjr", "Office"}).mode, Mode::Error);

    // --download takes the Settings port unless --port names one, in either order.
    const struct {
        QStringList args;
        unsigned port;
    } downloads[] = {
        {{"--download"}, 0},
        {{"--download", "--port", "COM9"}, 9},
        {{"--port", "com12", "--download"}, 12},
        {{"--download", "--port", "COM200"}, 200},
    };
    for (const auto& d : downloads) {
        const CommandLine line = parseCommandLine(d.args);
        EXPECT_EQ(line.mode, Mode::Download) << qPrintable(line.error);
        EXPECT_EQ(line.comPort, d.port);
    }

    // --watch, with a port, a procedure and the download after it, in any order.
    const struct {
        QStringList args;
        unsigned port;
        const char* procedure;
        bool download;
    } watches[] = {
        {{"--watch"}, 0, "", false},
        {{"--watch", "--port", "COM3", "--procedure", "dvs-2207-1"}, 3, "dvs-2207-1", false},
        {{"--download", "--watch"}, 0, "", true},
        {{"--watch", "--port", "COM4", "--download"}, 4, "", true},
    };
    for (const auto& w : watches) {
        const CommandLine line = parseCommandLine(w.args);
        EXPECT_EQ(line.mode, Mode::Watch) << qPrintable(line.error);
        EXPECT_TRUE(line.headless());
        EXPECT_EQ(line.comPort, w.port);
        EXPECT_EQ(line.procedure, QLatin1String(w.procedure));
        EXPECT_EQ(line.download, w.download);
    }
}

TEST(CommandLineTest, ReadsTheEvaluationCommands) {
    const struct {
        QStringList args;
        Mode mode;
        QStringList files;
        QString output;
        QString procedure;
    } cases[] = {
        {{"--evaluate", "a.tjr"}, Mode::Evaluate, {"a.tjr"}, "", ""},
        {{"--evaluate", "a.tjr", "b.tjr", "c.tjr"},
         Mode::Evaluate,
         {"a.tjr", "b.tjr", "c.tjr"},
         "",
         ""},
        {{"--evaluate", "--procedure", "dvs-2207-1", "a.tjr"},
         Mode::Evaluate,
         {"a.tjr"},
         "",
         "dvs-2207-1"},
        {{"a.tjr", "--procedure", " iso-21307-slp ", "--evaluate", "b.tjr"},
         Mode::Evaluate,
         {"a.tjr", "b.tjr"},
         "",
         "iso-21307-slp"},
        {{"--evaluate-csv", "job.csv", "a.tjr", "b.tjr"},
         Mode::EvaluateCsv,
         {"a.tjr", "b.tjr"},
         "job.csv",
         ""},
        {{"--procedure", "my-own", "--evaluate-csv", "job.csv", "a.tjr"},
         Mode::EvaluateCsv,
         {"a.tjr"},
         "job.csv",
         "my-own"},
        {{"--export-csv", "samples.csv", "a.tjr"}, Mode::ExportCsv, {}, "samples.csv", ""},
        {{"--search-range", "50", "--export-csv", "samples.csv", "a.tjr"},
         Mode::ExportCsv,
         {},
         "samples.csv",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.args.join(' ')));
        const CommandLine line = parseCommandLine(c.args);
        EXPECT_EQ(line.mode, c.mode) << qPrintable(line.error);
        EXPECT_TRUE(line.headless());
        EXPECT_EQ(line.files, c.files);
        EXPECT_EQ(line.file, c.files.value(0, "a.tjr"));
        EXPECT_EQ(line.output, c.output);
        EXPECT_EQ(line.procedure, c.procedure);
    }
}

TEST(CommandLineTest, RefusesWhatItCannotDo) {
    const QStringList bad[] = {
        {"--dump"},
        {"--export-pdf"},
        {"--export-pdf", "o.pdf"},
        {"--export-png", "o.png", "--dpi", "0", "r.tjr"},
        {"--export-png", "o.png", "--dpi", "5000", "r.tjr"},
        {"--export-pdf", "o.pdf", "--dpi", "300", "r.tjr"},
        {"--search-range", "0", "--dump", "r.tjr"},
        {"--search-range", "101", "--dump", "r.tjr"},
        {"--search-range", "half", "--dump", "r.tjr"},
        {"--dump", "--export-pdf", "o.pdf", "r.tjr"},
        {"--dump", "a.tjr", "b.tjr"},
        {"/pt", "r.tjr", "Office"},
        {"a.tjr", "b.tjr"},
        {"--frobnicate"},
        {"--download", "r.tjr"},
        {"--download", "--port"},
        {"--download", "--port", "COM0"},
        {"--download", "--port", "COM201"},
        {"--download", "--port", "LPT1"},
        {"--port", "COM8", "--dump", "r.tjr"},
        {"--download", "--dump", "r.tjr"},
        {"--evaluate"},
        {"--evaluate", "--procedure"},
        {"--evaluate", "--procedure", "", "r.tjr"},
        {"--evaluate", "--procedure", "--dump", "r.tjr"},
        {"--evaluate-csv"},
        {"--evaluate-csv", "o.csv"},
        {"--export-csv"},
        {"--export-csv", "o.csv"},
        {"--export-csv", "o.csv", "a.tjr", "b.tjr"},
        {"--export-csv", "o.csv", "--procedure", "dvs-2207-1", "r.tjr"},
        {"--procedure", "dvs-2207-1", "--dump", "r.tjr"},
        {"--procedure", "dvs-2207-1", "r.tjr"},
        {"--evaluate", "--export-csv", "o.csv", "r.tjr"},
        {"--evaluate-csv", "o.csv", "--evaluate", "r.tjr"},
        {"--evaluate", "--dpi", "300", "r.tjr"},
        {"--evaluate", "--port", "COM3", "r.tjr"},
        {"--watch", "r.tjr"},
        {"--watch", "--dump", "r.tjr"},
        {"--watch", "--evaluate", "r.tjr"},
    };
    for (const QStringList& args : bad) {
        const CommandLine line = parseCommandLine(args);
        EXPECT_EQ(line.mode, Mode::Error) << qPrintable(args.join(' '));
        EXPECT_FALSE(line.error.isEmpty());
    }
}

class HeadlessTest : public ::testing::Test {
protected:
    int run(const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        const CommandLine line = parseCommandLine(args);
        EXPECT_NE(line.mode, Mode::Error) << qPrintable(line.error);
        return runHeadless(line, o, e);
    }

    QTemporaryDir dir;
    QString out, err;
};

TEST_F(HeadlessTest, DumpGivesTheDecodedReport) {
    const QString report = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    ASSERT_EQ(run({"--search-range", "50", "--dump", report}), kExitOk) << qPrintable(err);
    const QJsonObject o = QJsonDocument::fromJson(out.toUtf8()).object();
    for (const char* key : {"file", "kind", "header_lines", "notes", "demo", "pressure_unit",
                            "psi_per_unit", "logged_duration", "sample_count", "max_pressure",
                            "search_range", "heater_removal", "samples"}) {
        EXPECT_TRUE(o.contains(QLatin1String(key))) << key;
    }
    EXPECT_EQ(o.size(), 13);
    EXPECT_EQ(o["kind"].toString(), "report");
    EXPECT_EQ(o["search_range"].toInt(), 50);
    EXPECT_EQ(o["pressure_unit"].toString(), "psi");
    EXPECT_EQ(o["samples"].toArray().size(), o["sample_count"].toInt());
    EXPECT_EQ(o["header_lines"].toArray().first().toString(), " 1. Date/Time");
    EXPECT_TRUE(err.isEmpty()) << qPrintable(err);
}

TEST_F(HeadlessTest, ProblemsGoToStderrWithTheirOwnStatus) {
    const QString damaged = test::writeFixture(dir, QStringLiteral("damaged_truncated"));
    EXPECT_EQ(run({"--dump", damaged}), kExitDamaged);
    EXPECT_TRUE(err.contains("is damaged")) << qPrintable(err);
    EXPECT_FALSE(out.isEmpty()) << "what could be read is still dumped";

    EXPECT_EQ(run({"--dump", dir.filePath("missing.tjr")}), kExitFile);
    EXPECT_TRUE(err.contains("does not exist")) << qPrintable(err);
    EXPECT_TRUE(out.isEmpty());

    const QString report = test::writeFixture(dir, QStringLiteral("demo"));
    EXPECT_EQ(run({"--export-pdf", dir.filePath("no/folder/x.pdf"), report}), kExitFile);
    EXPECT_FALSE(err.isEmpty());
}

TEST_F(HeadlessTest, ExportsWriteTheirFiles) {
    const QString report = test::writeFixture(dir, QStringLiteral("demo"));
    const QString pdf = dir.filePath("demo.pdf");
    const QString png = dir.filePath("demo.png");
    EXPECT_EQ(run({"--export-pdf", pdf, report}), kExitOk) << qPrintable(err);
    EXPECT_EQ(run({"--export-png", png, "--dpi", "48", report}), kExitOk) << qPrintable(err);
    EXPECT_EQ(QImage(png).size(), QSize(408, 528));
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}

// A calibration file from tests/fixtures/calibration, written into the test's folder.
QString writeCalibration(const QTemporaryDir& dir, const QString& name, const QString& fileName) {
    fixtures::CalibrationDescription d;
    QString error;
    EXPECT_TRUE(fixtures::readCalibrationFile(
        QStringLiteral(VR5_FIXTURE_DIR "/calibration/%1.txt").arg(name), d, error))
        << error.toStdString();
    return test::writeFile(dir, fileName, fixtures::buildCalibration(d));
}

TEST_F(HeadlessTest, CalibrationFilesDumpAndExportTheirCertificate) {
    const QString file = writeCalibration(dir, "failures", "station.TDC");
    ASSERT_EQ(run({"--dump", file}), kExitOk) << qPrintable(err);
    const QJsonObject o = QJsonDocument::fromJson(out.toUtf8()).object();
    EXPECT_EQ(o.keys(), (QStringList{"fields", "file", "kind", "pressure_results", "summary_lines",
                                     "temperature_results"}));
    EXPECT_EQ(o["file"].toString(), file);
    EXPECT_EQ(o["kind"].toString(), "calibration");
    const QJsonArray fields = o["fields"].toArray();
    ASSERT_EQ(fields.size(), 16);
    EXPECT_EQ(fields[0].toString(), "2024/11/04 08:15");
    EXPECT_EQ(fields[1].toString(), "VR5-0933");
    EXPECT_TRUE(fields[2].toString().startsWith("VR5 calibration, station 2\r\nTemp 401F"));
    EXPECT_EQ(fields[13].toString(), "VR5-XP");
    EXPECT_EQ(o["temperature_results"].toArray(),
              (QJsonArray{"---", "---", "500\u00B0F", "541\u00B0F"}));
    EXPECT_EQ(o["pressure_results"].toArray(), (QJsonArray{"---", "---", "---", "51psi"}));
    EXPECT_EQ(o["summary_lines"].toArray().size(), 3);
    EXPECT_TRUE(err.isEmpty()) << qPrintable(err);

    // The certificate, with its green logo on screen as on paper.
    const QString png = dir.filePath("certificate.png");
    const QString pdf = dir.filePath("certificate.pdf");
    EXPECT_EQ(run({"--export-png", png, file}), kExitOk) << qPrintable(err);
    EXPECT_EQ(run({"--export-pdf", pdf, file}), kExitOk) << qPrintable(err);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(816, 1056));
    int green = 0, red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            green += c == qRgb(0, 150, 0);
            red += qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
        }
    }
    EXPECT_GT(green, 1000) << "the logo in green";
    EXPECT_GT(red, 20) << "the failed results in red";
}

TEST_F(HeadlessTest, AFileThatIsNotACalibrationIsRefused) {
    const QString report = test::writeFixture(dir, QStringLiteral("demo"), "joint.tdc");
    const QString png = dir.filePath("never.png");
    const QStringList commands[] = {{"--dump", report}, {"--export-png", png, report}};
    for (const QStringList& args : commands) {
        EXPECT_EQ(run(args), kExitFile);
        EXPECT_EQ(err.trimmed(), "Invalid calibration file!");
        EXPECT_TRUE(out.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(png));
}

TEST_F(HeadlessTest, PrintingWithoutAPrinterSaysSo) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        GTEST_SKIP() << "this machine has printers";
    }
    const QString report = test::writeFixture(dir, QStringLiteral("demo"));
    EXPECT_EQ(run({"/p", report}), kExitNoPrinter);
    EXPECT_TRUE(err.contains("No printer is installed")) << qPrintable(err);
    EXPECT_EQ(run({"/pt", report, "Office", "drv", "LPT1:"}), kExitNoPrinter);
    EXPECT_TRUE(err.contains("\"Office\" is not installed")) << qPrintable(err);
}

}  // namespace
}  // namespace vr5
