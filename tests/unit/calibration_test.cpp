// Calibration files: the station's archive strings, the record, the results and summary read
// from its log, and the document that opens them.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "calibration_description.h"
#include "report/calibration_record.h"
#include "report/vr5xp_doc.h"
#include "scripted_prompter.h"
#include "station_log.h"
#include "test_support.h"

namespace vr5 {
namespace {

using Problem = CalibrationProblem;
using Results = std::array<const char*, 8>;  // 400, 440, 500, 540 °F; 1500, 750, 250, 50 psi

QByteArray calibrationBytes(const QString& description) {
    const fixtures::CalibrationParseResult parsed =
        fixtures::parseCalibrationDescription(description);
    EXPECT_TRUE(parsed.ok()) << parsed.errorLine << ": " << parsed.error.toStdString();
    return fixtures::buildCalibration(parsed.description);
}

QByteArray calibrationFixture(const QString& name) {
    fixtures::CalibrationDescription d;
    QString error;
    EXPECT_TRUE(fixtures::readCalibrationFile(
        QStringLiteral(VR5_FIXTURE_DIR "/calibration/%1.txt").arg(name), d, error))
        << error.toStdString();
    return fixtures::buildCalibration(d);
}

CalibrationRecord loadBytes(const QByteArray& bytes) {
    CalibrationRecord rec;
    EXPECT_EQ(loadCalibration(bytes, rec), Problem::None);
    return rec;
}

void expectResults(const CalibrationRecord& rec, const Results& expected) {
    for (size_t i = 0; i < 8; ++i) {
        const QString got = i < 4 ? rec.temperatureResults[i] : rec.pressureResults[i - 4];
        EXPECT_EQ(got, QString::fromUtf8(expected[i])) << "result " << i;
    }
}

TEST(ArchiveString, ReadsEveryLengthPrefixAndRefusesImpossibleOnes) {
    struct Case {
        const char* name;
        QByteArray bytes;
        Problem problem;
        QString text;  // on success
        qsizetype end;
    } cases[] = {
        {"empty string", test::hex("00"), Problem::None, "", 1},
        {"1-byte length", test::hex("03 41 42 43 99"), Problem::None, "ABC", 4},
        {"1-byte characters are Latin-1", test::hex("02 E9 B0"), Problem::None, "\u00E9\u00B0", 3},
        {"0xFF then a word", test::hex("FF 03 00 41 42 43"), Problem::None, "ABC", 6},
        {"2-byte characters", test::hex("FF FE FF 02 41 00 42 01"), Problem::None, "A\u0142", 8},
        {"2-byte characters, word length", test::hex("FF FE FF FF 02 00 41 00 42 00"),
         Problem::None, "AB", 10},
        {"32-bit length", test::hex("FF FF FF 02 00 00 00 41 42"), Problem::None, "AB", 9},
        {"64-bit length", test::hex("FF FF FF FF FF FF FF 02 00 00 00 00 00 00 00 41 42"),
         Problem::None, "AB", 17},
        {"2-byte, 64-bit length",
         test::hex("FF FE FF FF FF FF FF FF FF FF 01 00 00 00 00 00 00 00 41 00"), Problem::None,
         "A", 20},
        // Refused before anything is allocated.
        {"longer than the file", test::hex("05 41 42"), Problem::LengthTooBig, "", 0},
        {"2-byte characters cut in half", test::hex("FF FE FF 02 41 00 42"), Problem::LengthTooBig,
         "", 0},
        {"a second 0xFFFE is a length", test::hex("FF FE FF FF FE FF 41 00"), Problem::LengthTooBig,
         "", 0},
        {"32-bit length near 4 G", test::hex("FF FF FF FE FF FF FF 41"), Problem::LengthTooBig, "",
         0},
        {"64-bit length, high half set",
         test::hex("FF FF FF FF FF FF FF 02 00 00 00 01 00 00 00 41 42"), Problem::LengthTooBig, "",
         0},
        {"64-bit length of 4 G", test::hex("FF FF FF FF FF FF FF FF FF FF FF 00 00 00 00 41"),
         Problem::LengthTooBig, "", 0},
        {"64-bit length, all ones", test::hex("FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF"),
         Problem::LengthTooBig, "", 0},
        // The file ends inside the prefix.
        {"nothing", QByteArray(), Problem::Truncated, "", 0},
        {"cut after 0xFF", test::hex("FF 03"), Problem::Truncated, "", 0},
        {"cut after the 2-byte marker", test::hex("FF FE FF"), Problem::Truncated, "", 0},
        {"cut in the 32-bit length", test::hex("FF FF FF 02 00"), Problem::Truncated, "", 0},
        {"cut in the 64-bit length", test::hex("FF FF FF FF FF FF FF 02 00"), Problem::Truncated,
         "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qsizetype pos = 0;
        QString text = QStringLiteral("untouched");
        EXPECT_EQ(readArchiveString(c.bytes, pos, text), c.problem);
        EXPECT_EQ(pos, c.end);
        EXPECT_EQ(text, c.problem == Problem::None ? c.text : QStringLiteral("untouched"));
    }
}

// Whatever prefix the station chose, the text comes back: the generator and the reader agree.
TEST(ArchiveString, EveryFormTheGeneratorWritesReadsBack) {
    const QString longText = QString(300, u'x') + QStringLiteral("\u00FC\u2126");
    const QString latinText = QString(255, u'y');
    using fixtures::LengthForm;
    for (const LengthForm form :
         {LengthForm::Shortest, LengthForm::Word, LengthForm::Dword, LengthForm::Qword}) {
        for (const bool wide : {false, true}) {
            for (const QString& text : {QString(), QStringLiteral("Ab"), latinText, longText}) {
                if (!wide && text == longText) continue;  // not Latin-1
                SCOPED_TRACE(testing::Message()
                             << int(form) << " wide " << wide << " length " << text.size());
                const QByteArray bytes = fixtures::encodeArchiveString(text, wide, form) + "tail";
                qsizetype pos = 0;
                QString read;
                ASSERT_EQ(readArchiveString(bytes, pos, read), Problem::None);
                EXPECT_EQ(read, text);
                EXPECT_EQ(pos, bytes.size() - 4);
            }
        }
    }
}

TEST(CalibrationRecord, ReadsTheFieldsComplemented) {
    const CalibrationRecord rec = loadBytes(calibrationFixture(QStringLiteral("passing")));
    EXPECT_EQ(rec.magic, QStringLiteral("Tarnell VR5 Calib"));
    using F = CalibrationRecord;
    EXPECT_EQ(rec.field(F::CalibrationDate), QStringLiteral("2012/05/01 10:30"));
    EXPECT_EQ(rec.field(F::LoggerSerial), QStringLiteral("VR5-0417"));
    EXPECT_EQ(rec.field(F::Technician), QStringLiteral("Dana Whitfield"));
    EXPECT_EQ(rec.field(F::Company), QStringLiteral("Tarnell Calibration Services"));
    EXPECT_EQ(rec.field(F::TemperatureCalibratorExpiry), QStringLiteral("2025/01/31"));
    EXPECT_EQ(rec.field(F::PressureCalibratorModel), QStringLiteral("DPC-8000"));
    EXPECT_EQ(rec.field(F::LoggerModel), QStringLiteral("VR5-XP"));
    EXPECT_EQ(rec.field(F::ProcessorBoardSerial), QStringLiteral("PPC-3321"));
    EXPECT_EQ(rec.field(F::PressureTransducerSerial), QStringLiteral("XD-77120"));
    expectResults(rec,
                  {"400°F", "441°F", "499°F", "540°F", "1502psi", "749psi", "251psi", "50psi"});
    EXPECT_EQ(rec.summaryLines,
              QStringList({"2024/03/15  TK0120       +0.4F    1.0021", "Heater probe offset  +0.4F",
                           "Pressure span        1.0021"}));

    // Texts beyond Latin-1, a magic of 2-byte characters and 32-bit lengths.
    const CalibrationRecord wide = loadBytes(calibrationFixture(QStringLiteral("utf16")));
    EXPECT_EQ(wide.field(F::Technician), QStringLiteral("Łucja Wiśniewska"));
    EXPECT_EQ(wide.field(F::Company), QStringLiteral("Kalibrierdienst Süd GmbH — Zürich"));
    EXPECT_EQ(wide.field(F::PressureTransducerSerial), QStringLiteral("XD-77120/Ω"));
    EXPECT_EQ(wide.summaryLines.size(), 3);

    // Every code unit is complemented, 1-byte characters after they became UTF-16; the magic
    // is not.
    QByteArray bytes = fixtures::encodeArchiveString(QStringLiteral("Tarnell VR5 Calib"), false);
    bytes += test::hex("00 00 00 00");
    bytes += test::hex("02 BE 00");                       // S0: 1-byte characters
    bytes += test::hex("FF FE FF 03 00 00 FF FF 00 FF");  // S1: 0x0000, 0xFFFF, 0xFF00
    for (int i = 2; i < CalibrationRecord::kFieldCount; ++i) bytes += test::hex("00");
    const CalibrationRecord units = loadBytes(bytes);
    EXPECT_EQ(units.fields[0], QString(QChar(0xFF41)) + QChar(0xFFFF));
    EXPECT_EQ(units.fields[1], QString(QChar(0xFFFF)) + QChar(0x0000) + QChar(0x00FF));
    expectResults(units, {"---", "---", "---", "---", "---", "---", "---", "---"});
    EXPECT_TRUE(units.summaryLines.isEmpty());
}

TEST(CalibrationRecord, RefusesWhatIsNotAWholeCalibrationFile) {
    const QByteArray good = calibrationFixture(QStringLiteral("passing"));
    struct Case {
        const char* name;
        QByteArray bytes;
        Problem problem;
    } cases[] = {
        {"empty", QByteArray(), Problem::Truncated},
        {"a joint report", test::fixtureBytes(QStringLiteral("plain_hydraulic")),
         Problem::WrongMagic},
        {"another magic", calibrationBytes("magic: Tarnell VR5 Calibration"), Problem::WrongMagic},
        {"magic in the wrong case", calibrationBytes("magic: tarnell vr5 calib"),
         Problem::WrongMagic},
        {"no value", good.left(18 + 2), Problem::Truncated},
        {"a field longer than the file", calibrationBytes("string_length: technician 5000"),
         Problem::LengthTooBig},
        {"a 32-bit length of nearly 4 G",
         calibrationBytes("length_form: dword\nstring_length: log 4294967294"),
         Problem::LengthTooBig},
        {"a 64-bit length of 2^40", calibrationBytes("string_length: company 1099511627776"),
         Problem::LengthTooBig},
        {"a 64-bit length of all ones",
         calibrationBytes("string_length: transducer_serial 18446744073709551615"),
         Problem::LengthTooBig},
        {"the magic claims more than the file", calibrationBytes("string_length: magic 100000"),
         Problem::LengthTooBig},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalibrationRecord rec;
        rec.magic = QStringLiteral("untouched");
        EXPECT_EQ(loadCalibration(c.bytes, rec), c.problem);
        EXPECT_EQ(rec.magic, QStringLiteral("untouched"));
    }

    // Cut anywhere, the file is refused; with bytes to spare after the last field it is read.
    for (qsizetype n = 0; n < good.size(); ++n) {
        CalibrationRecord rec;
        ASSERT_NE(loadCalibration(good.left(n), rec), Problem::None) << "cut after " << n;
    }
    CalibrationRecord rec;
    EXPECT_EQ(loadCalibration(good + "trailing bytes", rec), Problem::None);
}

TEST(CalibrationRecord, ResultsFromTheStationsLog) {
    const char* const none = "---";
    struct Case {
        const char* log;
        Results results;
    } cases[] = {
        {"Temp 400F is within 2F", {"400°F", none, none, none, none, none, none, none}},
        {"Temp 399F is within", {"399°F", none, none, none, none, none, none, none}},
        {"Temp 438F is within\r\nTemp 495F is within\r\nTemp 535F is within",
         {none, "438°F", "495°F", "535°F", none, none, none, none}},
        {"Temp 460F is within", {none, none, none, none, none, none, none, none}},
        {"Temp 400f is within", {none, none, none, none, none, none, none, none}},
        {"at 1502 PSI is within", {none, none, none, none, "1502psi", none, none, none}},
        {"at 51 PSI is within", {none, none, none, none, none, none, none, "51psi"}},
        {"at 95 PSI is within", {none, none, none, none, none, none, none, none}},
        {"Transducer reading 748 PSI is within 1%\r\nTransducer reading 249 PSI is within 1%",
         {none, none, none, none, none, "748psi", "249psi", none}},
        // A reading is placed by its first digit; the rest go to 50 psi when above 29 and up
        // to 70 (a sign keeps them from the first-digit rule).
        {"at 29 PSI is within", {none, none, none, none, none, none, "29psi", none}},
        {"at 71 PSI is within", {none, none, none, none, none, "71psi", none, none}},
        {"at 30 PSI is within", {none, none, none, none, none, none, none, "30psi"}},
        {"at 69.5 PSI is within", {none, none, none, none, none, none, none, "69.5psi"}},
        {"at +29 PSI is within", {none, none, none, none, none, none, none, none}},
        {"at +30 PSI is within", {none, none, none, none, none, none, none, "+30psi"}},
        {"at +70 PSI is within", {none, none, none, none, none, none, none, "+70psi"}},
        {"at +71 PSI is within", {none, none, none, none, none, none, none, none}},
        // A failure blanks the results of its kind found before it, not those after it.
        {"Temp 400F is within\r\nTemp 444F Is Not Within Spec\r\nTemp 540F is within\r\n"
         "at 1502 PSI is within",
         {none, none, none, "540°F", "1502psi", none, none, none}},
        {"at 1502 PSI is within\r\nat 752 PSI is Not Within Spec\r\nat 51 PSI is within\r\n"
         "Temp 500F is within",
         {none, none, "500°F", none, none, none, none, "51psi"}},
        // Matches at the very start of the log read nothing before it.
        {" is within", {none, none, none, none, none, none, none, none}},
        {"F is within", {none, none, none, none, none, none, none, none}},
        {"0F is within", {none, none, none, none, none, none, none, none}},
        {"I is within 7 x", {none, none, none, none, none, none, none, none}},
        {"7 PSI is within", {none, none, none, none, none, none, none, none}},
        {"no checks at all", {none, none, none, none, none, none, none, none}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        CalibrationRecord rec;
        rec.fields[CalibrationRecord::CalibrationText] = QString::fromUtf8(c.log);
        deriveCalibrationResults(rec);
        expectResults(rec, c.results);
    }

    // The failures fixture: both kinds of failure and a reading of no target.
    expectResults(loadBytes(calibrationFixture(QStringLiteral("failures"))),
                  {none, none, "500°F", "541°F", none, none, none, "51psi"});
}

TEST(CalibrationRecord, SummaryLinesBetweenTheMarkers) {
    struct Case {
        const char* log;
        QStringList lines;
    } cases[] = {
        {"------\r\nCal Date  Probe Name\r\n------\r\nA 1\r\n\r\nB 2\r\n-----!!!!\r\n",
         {"A 1", "B 2"}},
        // A line with a ruler, a "Cal Date" or a "Probe Name" anywhere is left out.
        {"------\r\nx --- y\r\nProbe Name: 7\r\nthe Cal Date\r\nkept\r\n-----!!!!\r\n", {"kept"}},
        // Without the closing mark, or the line break after it, there is no summary.
        {"------\r\nA\r\n", {}},
        {"------\r\nA\r\n-----!!!!", {}},
        {"A\r\n-----!!!!\r\n", {}},  // the opening ruler has six dashes, the mark five
        // Lines break at CR LF only.
        {"------\r\nA\nB\r\n-----!!!!\r\n", {"A\nB"}},
        // The block is looked for after the last check.
        {"------\r\nA\r\n-----!!!!\r\nTemp 400F is within", {}},
        {"Temp 400F is within\r\n------\r\nA\r\n-----!!!!\r\n", {"A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        CalibrationRecord rec;
        rec.fields[CalibrationRecord::CalibrationText] = QString::fromUtf8(c.log);
        deriveCalibrationResults(rec);
        EXPECT_EQ(rec.summaryLines, c.lines);
    }
    const CalibrationRecord failed = loadBytes(calibrationFixture(QStringLiteral("failures")));
    EXPECT_EQ(failed.summaryLines, QStringList({"2024/11/04  TK0188       +3.1F    0.9712",
                                                "Temperature Not Within Spec at 440F",
                                                "Pressure Not Within Spec at 250 PSI"}));
}

// A station that logs every reading writes millions of characters with thousands of checks; its
// results and summary read as a short log's would.
TEST(CalibrationRecord, LongLogsReadLikeShortOnes) {
    const char* const none = "---";
    const QString readings = fixtures::longStationLog(200'000, 0, 0).section(u'-', 0, 0);
    // A line of readings where a line is null; the station's failure words where it says so.
    const QString temperatureFailed = failedCheckWords(true);
    const QString pressureFailed = QStringLiteral(" ") + failedCheckWords(false);
    const auto log = [&](std::initializer_list<const char*> lines) {
        QString text;
        for (const char* line : lines) {
            QString shown = line == nullptr ? readings : QString::fromLatin1(line);
            shown.replace(QStringLiteral("F FAILED"), temperatureFailed);
            shown.replace(QStringLiteral(" PSI FAILED"), pressureFailed);
            text += line == nullptr ? shown : shown + QStringLiteral("\r\n");
        }
        return text;
    };
    struct Case {
        const char* name;
        QString log;
        Results results;
    } cases[] = {
        {"every check passed",
         fixtures::longStationLog(3'000'000, 4000, 0),
         {"400°F", "441°F", "499°F", "540°F", "1502psi", "749psi", "251psi", "50psi"}},
        // A check goes on from the failure it finds ahead; what lies between is skipped.
        {"failures far apart",
         log({"Temp 400F is within", "at 1502 PSI is within", nullptr,
              "Temp 452F FAILED", nullptr, "Temp 499F is within",
              "at 749 PSI is within", nullptr, "at 262 PSI FAILED", nullptr,
              "Temp 540F is within", "at 50 PSI is within"}),
         {none, none, "499°F", "540°F", none, none, none, "50psi"}},
        // The pressure failure is found first; the temperature failure it jumps over is never
        // seen, and neither kind fails after it.
        {"a failure jumped over",
         log({"at 1502 PSI is within", "Temp 400F is within", nullptr,
              "Temp 444F FAILED", nullptr, "at 752 PSI FAILED", nullptr,
              "Temp 540F is within", nullptr, "at 51 PSI is within"}),
         {none, none, none, "540°F", none, none, none, "51psi"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalibrationRecord rec;
        rec.fields[CalibrationRecord::CalibrationText] = c.log;
        deriveCalibrationResults(rec);
        expectResults(rec, c.results);
    }

    // Opened from a file, with its summary of a thousand lines after the last check.
    fixtures::CalibrationDescription d = fixtures::defaultCalibration();
    d.fields[CalibrationRecord::CalibrationText] = fixtures::longStationLog(3'000'000, 4000, 1000);
    const CalibrationRecord rec = loadBytes(fixtures::buildCalibration(d));
    expectResults(rec,
                  {"400°F", "441°F", "499°F", "540°F", "1502psi", "749psi", "251psi", "50psi"});
    ASSERT_EQ(rec.summaryLines.size(), 1000);
    EXPECT_EQ(rec.summaryLines.last(), "Probe  1000 offset +0.4F span 1.0021");
}

class CalibrationDocumentTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    ProgramState state;
    test::ScriptedPrompter prompter;
    CVR5XPDoc doc{state, prompter};
};

TEST_F(CalibrationDocumentTest, TheExtensionTellsACalibrationFile) {
    const QByteArray calibration = calibrationFixture(QStringLiteral("passing"));
    const QByteArray report = test::fixtureBytes(QStringLiteral("plain_hydraulic"));
    struct Case {
        const char* name;
        bool calibration;
    } cases[] = {
        {"cert.tdc", true},         {"cert.TDC", true},          {"station 4.Tdc", true},
        {"report.tjr", false},      {"x.tdc/report.tjr", false}, {"report.tdc.tjr", false},
        {"a.tdc.old/x.tjr", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = write(QString::fromUtf8(c.name), c.calibration ? calibration : report);
        EXPECT_EQ(CVR5XPDoc::isCalibrationPath(path), c.calibration);
        prompter.shown.clear();
        EXPECT_EQ(doc.Open(path), CVR5XPDoc::OpenResult::Opened);
        EXPECT_TRUE(prompter.shown.isEmpty());
        EXPECT_TRUE(doc.hasReport());
        EXPECT_EQ(doc.hasCalibration(), c.calibration);
        EXPECT_EQ(doc.path(), path);
        EXPECT_EQ(doc.windowTitle(), QFileInfo(path).fileName() + " - Tarnell VR5-XP");
        // The report commands work on the current report path, which a certificate has not.
        EXPECT_EQ(state.currentReportPath, c.calibration ? QString() : path);
        if (c.calibration) {
            EXPECT_EQ(doc.calibration().field(CalibrationRecord::LoggerSerial), "VR5-0417");
            EXPECT_EQ(doc.record().sampleCount, 0);
            EXPECT_TRUE(doc.image().isEmpty());
        } else {
            EXPECT_EQ(doc.record().fields.jobNumber, QStringLiteral("J-2024-118"));
        }
    }
}

TEST_F(CalibrationDocumentTest, AFileThatIsNotACalibrationLeavesTheDocumentAsItWas) {
    const QString certificate =
        write(QStringLiteral("good.tdc"), calibrationFixture(QStringLiteral("passing")));
    const QString report =
        write(QStringLiteral("good.tjr"), test::fixtureBytes(QStringLiteral("plain_hydraulic")));
    const QByteArray whole = calibrationFixture(QStringLiteral("failures"));
    const QString bad[] = {
        write(QStringLiteral("report.tdc"), test::fixtureBytes(QStringLiteral("plain_hydraulic"))),
        write(QStringLiteral("empty.tdc"), QByteArray()),
        write(QStringLiteral("cut.tdc"), whole.left(whole.size() - 3)),
        write(QStringLiteral("huge.tdc"), calibrationBytes("string_length: log 1099511627776")),
    };
    for (const QString& previous : {certificate, report}) {
        for (const QString& path : bad) {
            SCOPED_TRACE(path.toStdString());
            ASSERT_EQ(doc.Open(previous), CVR5XPDoc::OpenResult::Opened);
            const QString reportPath = state.currentReportPath;
            prompter.shown.clear();
            EXPECT_EQ(doc.Open(path), CVR5XPDoc::OpenResult::Failed);
            ASSERT_EQ(prompter.shown.size(), 1);
            EXPECT_EQ(prompter.shown[0].text, QStringLiteral("Invalid calibration file!"));
            EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("Tarnell VR5-XP"));
            EXPECT_EQ(doc.path(), previous);
            EXPECT_EQ(doc.hasCalibration(), previous == certificate);
            EXPECT_EQ(state.currentReportPath, reportPath);
        }
    }

    // A missing calibration file is told as such.
    prompter.shown.clear();
    EXPECT_EQ(doc.Open(dir.filePath(QStringLiteral("gone.tdc"))), CVR5XPDoc::OpenResult::Failed);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].text.contains("Cannot open the calibration file"));
}

TEST_F(CalibrationDocumentTest, AReportReplacesTheCertificate) {
    ASSERT_EQ(doc.Open(write(QStringLiteral("c.tdc"), calibrationFixture("passing"))),
              CVR5XPDoc::OpenResult::Opened);
    doc.SetSearchRangePercent(40);  // nothing to decode
    EXPECT_TRUE(doc.hasCalibration());
    EXPECT_TRUE(doc.image().isEmpty());

    // A downloaded report reaches the document through the current report path.
    state.currentReportPath =
        write(QStringLiteral("new.tjr"), test::fixtureBytes(QStringLiteral("demo")));
    state.reloadFlag = true;
    EXPECT_EQ(doc.ReloadIfFlagged(), CVR5XPDoc::OpenResult::Opened);
    EXPECT_FALSE(doc.hasCalibration());
    EXPECT_TRUE(doc.record().isDemo());

    ASSERT_EQ(doc.Open(write(QStringLiteral("c.tdc"), calibrationFixture("passing"))),
              CVR5XPDoc::OpenResult::Opened);
    doc.New();
    EXPECT_FALSE(doc.hasReport());
    EXPECT_FALSE(doc.hasCalibration());
    EXPECT_EQ(doc.windowTitle(), QStringLiteral("Tarnell VR5-XP"));
}

}  // namespace
}  // namespace vr5
