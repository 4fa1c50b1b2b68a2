// The fixture generator: the rest of the tests trust the files it writes.

#include "fixture_description.h"

#include <gtest/gtest.h>

#include <QDir>

#include "test_support.h"

namespace vr5 {
namespace {

using fixtures::parseFixtureDescription;
using Samples = std::vector<std::pair<int, int>>;

Samples samplesOf(const QString& description) {
    const fixtures::ParseResult parsed = parseFixtureDescription(description);
    EXPECT_TRUE(parsed.ok()) << parsed.error.toStdString();
    Samples out;
    for (const Sample& s : parsed.fixture.content.samples) out.emplace_back(s.time, s.pressure);
    return out;
}

TEST(FixtureDescription, ErrorsNameTheLine) {
    struct Case {
        const char* text;
        int line;
        const char* says;
    } cases[] = {
        {"model: ZA2 HF\n\n# fine so far\nbogus: 1\n", 4, "unknown key \"bogus\""},
        {"joint: seven", 1, "not a whole number"},
        {"joint: 70000", 1, "outside"},
        {"ramp: 100", 1, "ramp: TO_PSI OVER_TICKS"},
        {"date: 2024-05", 1, "YYYY-MM-DD"},
        {"notes: a\\qb", 1, "unknown escape"},
        {"string_count: nowhere 5", 1, "names no string"},
        {"trailer_hex: 0G", 1, "hex"},
        {"interval: 0", 1, "outside"},
        {"hold: 10\nsample: 70000 5", 2, "outside 0..65535"},
        {"interval: 30000\nhold: 60000\nhold: 60000", 3, "sample time 90000"},
        {"step: 40000", 1, "pressure 40000"},
        {"pressure_unit: furlongs", 1, "neither a number"},
        {"= 5", 1, "key: value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const fixtures::ParseResult parsed = parseFixtureDescription(QString::fromUtf8(c.text));
        EXPECT_FALSE(parsed.ok());
        EXPECT_EQ(parsed.errorLine, c.line);
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.says))) << parsed.error.toStdString();
    }
}

TEST(FixtureDescription, ValuesAndUnitNames) {
    struct Case {
        const char* line;
        QString (*read)(const ReportFields&);
        QString expected;
    } cases[] = {
        {"notes: Joint OK\\r\\nSecond", [](const ReportFields& f) { return f.notes; },
         QStringLiteral("Joint OK\r\nSecond")},
        {"machine_id: \"  padded  \"", [](const ReportFields& f) { return f.machineId; },
         QStringLiteral("  padded  ")},
        {"machine_id: \\u03A9-7", [](const ReportFields& f) { return f.machineId; },
         QStringLiteral("\u03A9-7")},
        {"employee:", [](const ReportFields& f) { return f.employeeId; }, QString()},
        {"job: J #12 # not a comment", [](const ReportFields& f) { return f.jobNumber; },
         QStringLiteral("J #12 # not a comment")},
        {"pressure_unit: kg/cm2",
         [](const ReportFields& f) { return QString::number(f.pressureUnitIndex); },
         QStringLiteral("2")},
        {"pipe_size_unit: mm O.D.",
         [](const ReportFields& f) { return QString::number(f.pipeSizeUnit); },
         QStringLiteral("3")},
        {"wall_unit: 7  # any other shows DR",
         [](const ReportFields& f) { return QString::number(f.wallUnit); }, QStringLiteral("7")},
        {"temp_unit: °C", [](const ReportFields& f) { return QString::number(f.tempUnitIndex); },
         QStringLiteral("1")},
        {"piston_area_unit: cm²",
         [](const ReportFields& f) { return QString::number(f.pistonAreaUnit); },
         QStringLiteral("1")},
        {"demo: yes", [](const ReportFields& f) { return QString::number(f.demo); },
         QStringLiteral("1")},
        {"joint: -1", [](const ReportFields& f) { return QString::number(f.jointNumber); },
         QStringLiteral("65535")},
        {"date: 2023/12/31 23:59:58",
         [](const ReportFields& f) {
             return QString::asprintf("%d %d %d %d %d %d", f.year, f.month, f.day, f.hour, f.minute,
                                      f.second);
         },
         QStringLiteral("2023 12 31 23 59 58")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const fixtures::ParseResult parsed = parseFixtureDescription(QString::fromUtf8(c.line));
        ASSERT_TRUE(parsed.ok()) << parsed.error.toStdString();
        EXPECT_EQ(c.read(parsed.fixture.content.fields), c.expected);
    }
}

TEST(FixtureDescription, SamplePhases) {
    struct Case {
        const char* text;
        Samples expected;
    } cases[] = {
        {"hold: 15", {{0, 0}, {5, 0}, {10, 0}}},
        {"interval: 2\nramp: 30 6", {{0, 10}, {2, 20}, {4, 30}}},
        {"ramp: 30 3", {{0, 30}}},  // shorter than the interval: one sample
        {"sample: 100 7\nstep: 50\nglitch: -20\nhold: 10",
         {{100, 7}, {105, 50}, {110, 30}, {115, 50}, {120, 50}}},
        {"hold: 10\ngap: 100\nhold: 5", {{0, 0}, {5, 0}, {110, 0}}},
        {"sample: 0 10\nsample: 1 -10\nramp: 0 2  # one tick apart", {{0, 10}, {1, -10}, {6, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(samplesOf(QString::fromUtf8(c.text)), c.expected);
    }
}

TEST(FixtureDescription, NoiseIsRepeatableAndBounded) {
    const QString text = QStringLiteral("ramp: 100 25\nnoise: 3 42\nhold: 500");
    const Samples first = samplesOf(text);
    EXPECT_EQ(first, samplesOf(text));
    ASSERT_EQ(first.size(), 105u);
    bool varied = false;
    for (size_t i = 5; i < first.size(); ++i) {
        EXPECT_LE(std::abs(first[i].second - 100), 3);
        varied = varied || first[i].second != 100;
    }
    EXPECT_TRUE(varied);
}

TEST(FixtureDescription, Damage) {
    const QByteArray whole = test::reportBytes(QStringLiteral("hold: 50"));
    ASSERT_FALSE(whole.isEmpty());

    EXPECT_EQ(test::reportBytes(QStringLiteral("hold: 50\ntruncate: 100")), whole.left(100));
    EXPECT_EQ(test::reportBytes(QStringLiteral("hold: 50\ntruncate: 99999")), whole);
    EXPECT_EQ(test::reportBytes(QStringLiteral("hold: 50\ntrailer_hex: de ad BEEF")),
              whole + test::hex("DEADBEEF"));

    const QByteArray summary =
        test::reportBytes(QStringLiteral("summary: SM0001  00002  00003\nsample: 0 1"));
    EXPECT_TRUE(summary.contains(QByteArray("SM0001  00002  00003\0", 21)));

    // The count word of the notes (empty by default: count 0 and filler) becomes 0x1234.
    const QByteArray counted =
        test::reportBytes(QStringLiteral("hold: 50\nstring_count: notes 4660"));
    ASSERT_EQ(counted.size(), whole.size());
    qsizetype differ = -1;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (whole[i] != counted[i]) {
            differ = i;
            break;
        }
    }
    ASSERT_GE(differ, 0);
    EXPECT_EQ(counted.mid(differ, 2), test::hex("34 12"));
    EXPECT_EQ(test::decodeBytes(whole).notesPos, differ);
}

TEST(FixtureDescription, EveryFixtureFileReads) {
    const QStringList names =
        QDir(QStringLiteral(VR5_FIXTURE_DIR)).entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_GE(names.size(), 10);
    for (const QString& file : names) {
        SCOPED_TRACE(file.toStdString());
        const QString name = file.chopped(4);
        const JointRecord rec = test::decodeFixture(name);
        EXPECT_EQ(rec.problem.isDamaged(), name.startsWith(u"damaged_"))
            << rec.problem.what.toStdString();
        if (!rec.problem.isDamaged()) {
            EXPECT_GT(rec.sampleCount, 0);
        }
    }
    EXPECT_EQ(test::decodeFixture(QStringLiteral("long_10000")).sampleCount, 10000);
}

}  // namespace
}  // namespace vr5
