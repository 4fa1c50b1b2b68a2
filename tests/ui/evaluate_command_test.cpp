#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>

#include "app/headless.h"
#include "app/headless_evaluate.h"
#include "evaluation/evaluation.h"
#include "fixture_description.h"
#include "program_state.h"
#include "report/vr5xp_doc.h"
#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "ui_support.h"
#include "units/units.h"

namespace vr5 {
namespace {

using Mode = CommandLine::Mode;
using Table = QList<QStringList>;

// Reads CSV text as a spreadsheet does: quoted fields may hold commas, doubled quotes and line
// breaks; rows end in CR LF.
Table readCsv(const QString& text) {
    Table rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.isEmpty() && row.isEmpty()) << "the last row ends in CR LF";
    return rows;
}

class EvaluateCommandTest : public ::testing::Test {
protected:
    int run(const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        const CommandLine line = parseCommandLine(args);
        EXPECT_NE(line.mode, Mode::Error) << qPrintable(line.error);
        return runEvaluate(line, settings, o, e);
    }

    QStringList outLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }

    // A report from a description written here rather than one of tests/fixtures.
    QString writeDescribed(const QString& fileName, const QString& description) {
        const fixtures::ParseResult parsed = fixtures::parseFixtureDescription(description);
        EXPECT_TRUE(parsed.ok()) << parsed.errorLine << ": " << qPrintable(parsed.error);
        return test::writeFile(dir, fileName, fixtures::buildFixture(parsed.fixture));
    }

    // The CSV file as written: it must start with the UTF-8 byte order mark.
    Table readCsvFile(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "a spreadsheet reads it as UTF-8";
        return readCsv(QString::fromUtf8(bytes.mid(3)));
    }

    QTemporaryDir dir;
    MemorySettingsStore settings;
    QString out, err;
};

TEST_F(EvaluateCommandTest, OneJsonLinePerFileAndAnErrorLineForAFileThatCannotBeRead) {
    const QString plain = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    const QString missing = dir.filePath("missing.tjr");
    const QString bar = test::writeFixture(dir, QStringLiteral("bar"));
    EXPECT_EQ(run({"--evaluate", plain, missing, bar}), kExitFile);

    const QStringList lines = outLines();
    ASSERT_EQ(lines.size(), 3) << qPrintable(out);
    const QString files[] = {plain, missing, bar};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QJsonParseError parse;
        const QJsonObject o = QJsonDocument::fromJson(lines[i].toUtf8(), &parse).object();
        ASSERT_EQ(parse.error, QJsonParseError::NoError) << qPrintable(lines[i]);
        EXPECT_EQ(o["file"].toString(), files[i]);
        if (files[i] == missing) {
            EXPECT_EQ(o.keys(), (QStringList{"error", "file"}));
            EXPECT_EQ(o["error"].toString(), "The file does not exist.");
            continue;
        }
        EXPECT_EQ(o.keys(), (QStringList{"checks", "demo", "file", "material", "material_problem",
                                         "outside_diameter_mm", "phases", "procedure", "verdict",
                                         "wall_thickness_mm"}));
        EXPECT_EQ(o["procedure"].toString(), defaultProcedureId());
        EXPECT_EQ(o["phases"].toObject().keys(),
                  (QStringList{"bead_up", "build_up", "cooling", "heat_soak", "open"}));
        QStringList names;
        for (const QJsonValue& check : o["checks"].toArray()) {
            names << check["name"].toString();
            EXPECT_TRUE(QStringList({"within", "outside", "not_checked"})
                            .contains(check["result"].toString()));
        }
        EXPECT_EQ(names, checkNames());
        EXPECT_TRUE(
            QStringList({"within", "outside", "incomplete"}).contains(o["verdict"].toString()));
    }
    EXPECT_TRUE(err.contains(missing)) << qPrintable(err);
}

TEST_F(EvaluateCommandTest, ExitStatusTellsTheWorstFile) {
    const QString plain = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    const QString damaged = test::writeFixture(dir, QStringLiteral("damaged_truncated"));
    const QString calibration = test::writeFixture(dir, QStringLiteral("demo"), "station.tdc");
    const QString missing = dir.filePath("missing.tjr");
    const struct {
        QStringList files;
        int status;
        int errorLines;  // JSON lines with an "error"
    } cases[] = {
        {{plain}, kExitOk, 0},
        {{plain, plain}, kExitOk, 0},
        {{damaged}, kExitDamaged, 0},
        {{plain, damaged}, kExitDamaged, 0},
        {{damaged, missing}, kExitFile, 1},
        {{missing, damaged}, kExitFile, 1},
        {{calibration}, kExitFile, 1},
        {{dir.path()}, kExitFile, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.files.join(' ')));
        EXPECT_EQ(run(QStringList{"--evaluate"} + c.files), c.status) << qPrintable(err);
        const QStringList lines = outLines();
        ASSERT_EQ(lines.size(), c.files.size()) << "every file gets its line";
        int errors = 0;
        for (const QString& line : lines) {
            errors += QJsonDocument::fromJson(line.toUtf8()).object().contains("error");
        }
        EXPECT_EQ(errors, c.errorLines);
        if (c.status == kExitDamaged) {
            EXPECT_TRUE(err.contains("is damaged")) << qPrintable(err);
        }
    }
}

TEST_F(EvaluateCommandTest, TheProcedureIsTheNamedOneElseTheRememberedOneElseTheDefault) {
    const QString plain = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    const struct {
        QString remembered;
        QString named;
        QString used;
    } cases[] = {
        {"", "", defaultProcedureId()},
        {"iso-21307-slp", "", "iso-21307-slp"},
        {"", "dvs-2207-1", "dvs-2207-1"},
        {"iso-21307-slp", "dvs-2207-1", "dvs-2207-1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.remembered + " / " + c.named));
        settings.write(keys::EvaluationProcedure, c.remembered);
        QStringList args{"--evaluate", plain};
        if (!c.named.isEmpty()) args = QStringList{"--procedure", c.named} + args;
        ASSERT_EQ(run(args), kExitOk) << qPrintable(err);
        EXPECT_EQ(QJsonDocument::fromJson(out.toUtf8()).object()["procedure"].toString(), c.used);
    }
    EXPECT_EQ(settings.read(keys::EvaluationProcedure), "iso-21307-slp")
        << "a procedure named on the command line is not remembered";
}

// Points the user's procedure folder somewhere else for one test.
class ProcedureFolder {
public:
    explicit ProcedureFolder(const QString& path)
        : had_(qEnvironmentVariableIsSet("VR5XP_PROCEDURE_DIR")),
          old_(qgetenv("VR5XP_PROCEDURE_DIR")) {
        QDir().mkpath(path);
        qputenv("VR5XP_PROCEDURE_DIR", path.toLocal8Bit());
    }
    ~ProcedureFolder() {
        if (had_) {
            qputenv("VR5XP_PROCEDURE_DIR", old_);
        } else {
            qunsetenv("VR5XP_PROCEDURE_DIR");
        }
    }

private:
    bool had_;
    QByteArray old_;
};

TEST_F(EvaluateCommandTest, AnUnknownOrMalformedProcedureIsRefusedBeforeAnyFileIsRead) {
    const ProcedureFolder folder(dir.filePath("procedures"));
    test::writeFile(dir, "procedures/broken.json", "{\"id\": \"broken\", \"name\": ");
    const QString plain = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    const QString csv = dir.filePath("summary.csv");
    for (const QString id : {"no-such-procedure", "broken", "../astm-f2620"}) {
        SCOPED_TRACE(qPrintable(id));
        const ProcedureLoad direct = loadProcedure(id);
        if (direct.procedure) GTEST_SKIP() << "procedures are not looked up yet";
        settings.write(keys::EvaluationProcedure, QString());
        EXPECT_EQ(run({"--evaluate", "--procedure", id, plain}), kExitFile);
        EXPECT_TRUE(out.isEmpty()) << qPrintable(out);
        EXPECT_EQ(err.trimmed(), direct.error);
        EXPECT_EQ(run({"--evaluate-csv", csv, "--procedure", id, plain}), kExitFile);
        EXPECT_FALSE(QFileInfo::exists(csv));

        settings.write(keys::EvaluationProcedure, id);
        EXPECT_EQ(run({"--evaluate", plain}), kExitFile);
        EXPECT_EQ(err.trimmed(), direct.error) << "a remembered procedure that is gone says so";
    }
    EXPECT_TRUE(loadProcedure("broken").error.contains("broken.json"));
}

TEST_F(EvaluateCommandTest, JobSummaryHasOneRowPerJoint) {
    const QString plain = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    const QString bar = test::writeFixture(dir, QStringLiteral("bar"));
    const QString damaged = test::writeFixture(dir, QStringLiteral("damaged_truncated"));
    const QString quoted =
        writeDescribed("quoted.tjr", QStringLiteral("job: \"A,1 \\\"east\\\"\"\n"
                                                    "employee: \"line\\r\\nbreak\"\n"
                                                    "interval: 5\nramp: 100 50\n"));
    const QString missing = dir.filePath("missing.tjr");
    const QString csv = dir.filePath("job summary.csv");
    EXPECT_EQ(run({"--evaluate-csv", csv, plain, bar, damaged, quoted, missing}), kExitFile);
    EXPECT_TRUE(out.isEmpty()) << "the table goes to its file only";

    const Table rows = readCsvFile(csv);
    ASSERT_EQ(rows.size(), 6);
    const QStringList& head = rows[0];
    for (const Table::value_type& row : rows) EXPECT_EQ(row.size(), head.size());
    // The first seven checks' results come before the verdict, the later ones after the columns
    // a spreadsheet already knows by their place, then each check's limit status and reason.
    constexpr int kFirstChecks = 7;
    const qsizetype later = checkNames().size() - kFirstChecks;
    ASSERT_EQ(head.size(),
              6 + kPhaseCount + kFirstChecks + 4 + 1 + later + 2 * checkNames().size());
    EXPECT_EQ(head.mid(0, 6), (QStringList{"Date", "Job Number", "Joint Number", "Employee ID",
                                           "Machine ID", "Pipe"}));
    EXPECT_EQ(head[6], "Bead-up (s)");
    EXPECT_EQ(head[6 + kPhaseCount], "Heater temperature");
    EXPECT_EQ(head.mid(6 + kPhaseCount + kFirstChecks, 6),
              (QStringList{"Verdict", "Procedure", "File", "Problem", "Demo", "Bead up pressure"}));
    EXPECT_EQ(head.mid(head.size() - 2), (QStringList{"Heat soak pressure limit status",
                                                      "Heat soak pressure not checked because"}));
    auto column = [&](int row, const char* name) { return rows[row][head.indexOf(name)]; };

    EXPECT_EQ(rows[2].mid(0, 6), (QStringList{"2024-10-08 13:15:09", "A-4411", "9", "B-12", "EU-17",
                                              "200mm O.D.  18.2 mm WT"}));
    for (int r = 1; r <= 4; ++r) {
        SCOPED_TRACE(r);
        EXPECT_TRUE(
            QStringList({"within", "outside", "incomplete"}).contains(column(r, "Verdict")));
        for (const QString& name : checkNames()) {
            QString heading = name;
            heading.replace(u'_', u' ');
            heading[0] = heading[0].toUpper();
            const QString& result = rows[r][head.indexOf(heading)];
            EXPECT_TRUE(QStringList({"within", "outside", "not checked"}).contains(result))
                << qPrintable(result);
        }
        for (int p = 0; p < kPhaseCount; ++p) {
            const QString duration = rows[r][6 + p];
            bool number = duration.isEmpty();
            if (!number) QLocale::c().toDouble(duration, &number);
            EXPECT_TRUE(number) << "a phase's seconds, or nothing: " << qPrintable(duration);
        }
    }
    EXPECT_EQ(column(1, "File"), plain);
    EXPECT_EQ(column(1, "Problem"), "");
    EXPECT_TRUE(column(3, "Problem").startsWith("damaged: ")) << qPrintable(column(3, "Problem"));
    EXPECT_EQ(column(3, "Job Number"), "J-2024-240") << "what was read is still summed up";
    EXPECT_EQ(column(4, "Job Number"), "A,1 \"east\"");
    EXPECT_EQ(column(4, "Employee ID"), "line\r\nbreak");
    EXPECT_EQ(column(5, "File"), missing);
    EXPECT_EQ(column(5, "Problem"), "The file does not exist.");
    EXPECT_EQ(column(5, "Verdict"), "");
}

// Each row holds what the JSON line of the same report says, column by column.
TEST_F(EvaluateCommandTest, TheSummaryAgreesWithTheJsonLines) {
    const QStringList files{test::writeFixture(dir, QStringLiteral("plain_hydraulic")),
                            test::writeFixture(dir, QStringLiteral("mpa")),
                            test::writeFixture(dir, QStringLiteral("damaged_truncated"))};
    const QString csv = dir.filePath("summary.csv");
    ASSERT_EQ(run(QStringList{"--evaluate-csv", csv, "--procedure", "dvs-2207-1"} + files),
              kExitDamaged);
    const Table rows = readCsvFile(csv);
    ASSERT_EQ(run(QStringList{"--evaluate", "--procedure", "dvs-2207-1"} + files), kExitDamaged);
    const QStringList lines = outLines();
    ASSERT_EQ(lines.size(), files.size());
    ASSERT_EQ(rows.size(), files.size() + 1);
    for (int r = 0; r < files.size(); ++r) {
        SCOPED_TRACE(qPrintable(files[r]));
        const QStringList& row = rows[r + 1];
        const QJsonObject o = QJsonDocument::fromJson(lines[r].toUtf8()).object();
        for (int p = 0; p < kPhaseCount; ++p) {
            const QJsonValue span = o["phases"][phaseKey(static_cast<Phase>(p))];
            const QString seconds =
                span.isNull() ? QString()
                              : QString::number(
                                    span["end_s"].toDouble() - span["start_s"].toDouble(), 'f', 1);
            EXPECT_EQ(row[6 + p], seconds) << qPrintable(phaseKey(static_cast<Phase>(p)));
        }
        const QJsonArray checks = o["checks"].toArray();
        ASSERT_EQ(checks.size(), checkNames().size());
        const QStringList& head = rows[0];
        for (int k = 0; k < checks.size(); ++k) {
            QString heading = checks[k]["name"].toString().replace(u'_', u' ');
            heading[0] = heading[0].toUpper();
            SCOPED_TRACE(qPrintable(heading));
            const QString result = checks[k]["result"].toString().replace(u'_', u' ');
            EXPECT_EQ(row[head.indexOf(heading)], result);
            EXPECT_EQ(row[head.indexOf(heading + " limit status")],
                      checks[k]["status"].toString().replace(u'_', u' '));
            EXPECT_EQ(row[head.indexOf(heading + " not checked because")],
                      checks[k]["reason"].toString());
            EXPECT_EQ(checks[k]["reason"].isNull(), result != "not checked");
        }
        EXPECT_EQ(row[6 + kPhaseCount + 7], o["verdict"].toString());
        EXPECT_EQ(row[head.indexOf("Demo")], o["demo"].toBool() ? "yes" : "");
    }
}

// The plain joint of the fixtures, made as the procedure asks: the phases lie where its
// description changes the pressure, and every check that has a limit is within it.
TEST_F(EvaluateCommandTest, APlainJointIsFoundWhereItWasMadeAndWithin) {
    const QString plain = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    ASSERT_EQ(run({"--evaluate", "--procedure", "astm-f2620", plain}), kExitOk) << qPrintable(err);
    const QJsonObject o = QJsonDocument::fromJson(out.toUtf8()).object();
    // Seconds in which each boundary must lie: the fall to drag at 45..50 s, the opening at
    // 290..293 s, the closing at 296..306 s, the release at 966..972 s.
    const struct {
        const char* phase;
        const char* edge;
        double low, high;
    } edges[] = {
        {"bead_up", "end_s", 45, 50},     {"heat_soak", "start_s", 45, 50},
        {"heat_soak", "end_s", 290, 293}, {"open", "start_s", 290, 293},
        {"open", "end_s", 296, 299},      {"build_up", "start_s", 296, 299},
        {"build_up", "end_s", 298, 307},  {"cooling", "start_s", 298, 307},
        {"cooling", "end_s", 966, 972},
    };
    for (const auto& e : edges) {
        const QJsonValue value = o["phases"][QLatin1String(e.phase)][QLatin1String(e.edge)];
        ASSERT_TRUE(value.isDouble()) << e.phase << " " << e.edge;
        EXPECT_GE(value.toDouble(), e.low) << e.phase << " " << e.edge;
        EXPECT_LE(value.toDouble(), e.high) << e.phase << " " << e.edge;
    }
    for (const QJsonValue& check : o["checks"].toArray()) {
        if (check["min"].isNull() && check["max"].isNull()) continue;
        EXPECT_EQ(check["result"].toString(), "within") << qPrintable(check["name"].toString());
    }
    EXPECT_EQ(o["verdict"].toString(), "within");
}

TEST_F(EvaluateCommandTest, CsvFilesAreWrittenWholeAndNeverOverAReport) {
    const QString plain = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    QFile original(plain);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();
    const QString calibration = dir.filePath("station.TDC");
    const struct {
        QStringList args;
        QString target;
    } cases[] = {
        {{"--evaluate-csv", plain, plain}, plain},
        {{"--export-csv", plain, plain}, plain},
        {{"--export-csv", calibration, plain}, calibration},
        {{"--evaluate-csv", dir.filePath("no/folder/x.csv"), plain}, dir.filePath("no/folder")},
        {{"--export-csv", dir.filePath("no/folder/x.csv"), plain}, dir.filePath("no/folder")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.args.join(' ')));
        EXPECT_EQ(run(c.args), kExitFile);
        EXPECT_FALSE(err.isEmpty());
        if (c.target != plain) {
            EXPECT_FALSE(QFileInfo::exists(c.target));
        }
    }
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"plain_hydraulic.tjr"})
        << "nothing half-written is left behind";
}

// The exported samples are the decoded record's, after smoothing: time in seconds, pressure in
// the report's unit with its decimals, and in psi.
TEST_F(EvaluateCommandTest, ExportCsvGivesTheSmoothedSamples) {
    const struct {
        const char* fixture;
        const char* unit;
        int decimals;
        double psiPerUnit;
        int status;
    } cases[] = {
        {"plain_hydraulic", "psi", 0, 1.0, kExitOk},
        {"bar", "bar", 1, 14.5, kExitOk},
        {"mpa", "MPa", 3, 145.0, kExitOk},
        {"damaged_truncated", "psi", 0, 1.0, kExitDamaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const QString report = test::writeFixture(dir, QLatin1String(c.fixture));
        const QString csv = dir.filePath(QLatin1String(c.fixture) + ".csv");
        ASSERT_EQ(run({"--export-csv", csv, report}), c.status) << qPrintable(err);

        ProgramState state;
        test::ScriptedPrompter prompter;
        CVR5XPDoc doc(state, prompter);
        doc.Open(report);
        const JointRecord& rec = doc.record();
        ASSERT_GT(rec.sampleCount, 50);

        const Table rows = readCsvFile(csv);
        qsizetype head = 0;
        while (head < rows.size() && rows[head].value(0).startsWith("# ")) {
            EXPECT_EQ(rows[head].size(), 2) << qPrintable(rows[head].join('|'));
            ++head;
        }
        ASSERT_LT(head, rows.size());
        EXPECT_TRUE(rows.contains(QStringList{"# Job Number", rec.fields.jobNumber}));
        EXPECT_TRUE(rows.contains(QStringList{"# Samples", QString::number(rec.sampleCount)}));
        EXPECT_EQ(rows[head], (QStringList{"Time (s)", QStringLiteral("Pressure (%1)").arg(c.unit),
                                           "Pressure (psi)"}));
        ASSERT_EQ(rows.size() - head - 1, rec.sampleCount);
        for (int i = 0; i < rec.sampleCount; ++i) {
            const QStringList& row = rows[head + 1 + i];
            ASSERT_EQ(row.size(), 3);
            EXPECT_EQ(row[0], QString::number(rec.Time(i) / 5.0, 'f', 1)) << i;
            EXPECT_EQ(row[2], QString::number(rec.Pressure(i))) << i;
            const qsizetype point = row[1].indexOf(u'.');
            EXPECT_EQ(point < 0 ? 0 : row[1].size() - point - 1, c.decimals) << qPrintable(row[1]);
            EXPECT_NEAR(row[1].toDouble(), rec.Pressure(i) / c.psiPerUnit,
                        0.5 * std::pow(10.0, -c.decimals) + 1e-9)
                << i;
        }
    }
}

TEST_F(EvaluateCommandTest, ExportCsvTakesTheSamplesAfterGlitchesAreSmoothed) {
    // A 3 psi spike that reverses at once is a glitch: the report page never shows it.
    const QString report = writeDescribed(
        "glitch.tjr", QStringLiteral("notes: \"first, \\\"second\\\"\\r\\nthird\"\n"
                                     "interval: 5\nramp: 100 25\nhold: 50\nglitch: 3\nhold: 50\n"));
    const QString csv = dir.filePath("glitch.csv");
    ASSERT_EQ(run({"--export-csv", csv, report}), kExitOk) << qPrintable(err);
    const Table rows = readCsvFile(csv);
    EXPECT_TRUE(rows.contains(QStringList{"# Notes", "first, \"second\"\r\nthird"}));
    const qsizetype head =
        rows.indexOf(QStringList{"Time (s)", "Pressure (psi)", "Pressure (psi)"});
    ASSERT_GE(head, 0);
    int highest = 0;
    for (qsizetype i = head + 1; i < rows.size(); ++i)
        highest = std::max(highest, rows[i][2].toInt());
    EXPECT_EQ(highest, 100);
}

TEST_F(EvaluateCommandTest, ExportCsvRefusesWhatIsNoJointReport) {
    const QString calibration = test::writeFixture(dir, QStringLiteral("demo"), "station.tdc");
    const QString csv = dir.filePath("x.csv");
    for (const QString& file : {calibration, dir.filePath("missing.tjr")}) {
        EXPECT_EQ(run({"--export-csv", csv, file}), kExitFile);
        EXPECT_TRUE(err.contains(file)) << qPrintable(err);
        EXPECT_FALSE(QFileInfo::exists(csv));
    }
}

TEST(CsvFieldTest, QuotesOnlyWhatASpreadsheetWouldMisread) {
    const struct {
        QString text, field;
    } cases[] = {
        {"", ""},
        {"A-4411", "A-4411"},
        {"200mm O.D.  DR 11", "200mm O.D.  DR 11"},
        {"a,b", "\"a,b\""},
        {"8\" IPS", "\"8\"\" IPS\""},
        {"one\ntwo", "\"one\ntwo\""},
        {"one\rtwo", "\"one\rtwo\""},
        {"\"", "\"\"\"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(csvField(c.text), c.field) << qPrintable(c.text);
}

}  // namespace
}  // namespace vr5
