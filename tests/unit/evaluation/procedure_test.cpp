#include "evaluation/procedure.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "test_support.h"

namespace vr5 {
namespace {

Procedure builtIn(const char* id) {
    const ProcedureLoad load = loadProcedure(QString::fromLatin1(id));
    EXPECT_TRUE(load.procedure) << load.error.toStdString();
    return load.procedure.value_or(Procedure{});
}

PipeGeometry wall(double mm, double diameterMm = 0) {
    PipeGeometry g;
    g.wallMm = mm;
    if (diameterMm > 0) g.diameterMm = diameterMm;
    return g;
}

// The procedure folder pointed at a folder of the test's own while it lives.
class ProcedureFolder {
public:
    ProcedureFolder() { qputenv("VR5XP_PROCEDURE_DIR", dir.path().toLocal8Bit()); }
    ~ProcedureFolder() { qunsetenv("VR5XP_PROCEDURE_DIR"); }
    void write(const QString& name, const QByteArray& text) {
        QFile f(QDir(dir.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QTemporaryDir dir;
};

TEST(Procedure, BuiltInOnesLoadWithNameAndEdition) {
    const QList<ProcedureInfo> all = availableProcedures();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].id, defaultProcedureId());
    EXPECT_EQ(all[0].name, "ASTM F2620");
    EXPECT_EQ(all[1].id, "iso-21307-slp");
    EXPECT_EQ(all[2].id, "dvs-2207-1");
    for (const ProcedureInfo& info : all) EXPECT_FALSE(info.edition.isEmpty());
}

// Each procedure's worked examples and the edges of its rows and pieces.
TEST(Procedure, LimitsWorkedOutForTheJoint) {
    struct Case {
        const char* procedure;
        const char* check;
        PipeGeometry pipe;
        bool isMax;
        double expected;
        double tolerance;
    } cases[] = {
        // DVS interpolates within a row: e = 36.3 mm gives 363 s, <= 16 s, <= 19 s, 44 min.
        {"dvs-2207-1", "heat_soak_time", wall(36.3), false, 363, 1e-6},
        {"dvs-2207-1", "open_time", wall(36.3), true, 16, 0.5},
        {"dvs-2207-1", "build_up_time", wall(36.3), true, 19, 0.5},
        {"dvs-2207-1", "cooling_time", wall(36.3), false, 44, 0.5},
        {"dvs-2207-1", "cooling_time", wall(6), false, 8.4, 1e-9},
        {"dvs-2207-1", "cooling_time", wall(4.5), false, 6, 1e-9},
        {"dvs-2207-1", "cooling_time", wall(3), false, 6, 1e-9},
        // ISO's cooling jumps at 18 mm, as written.
        {"iso-21307-slp", "cooling_time", wall(17.9), false, 20.9, 1e-9},
        {"iso-21307-slp", "cooling_time", wall(18.0), false, 16.4, 1e-9},
        {"iso-21307-slp", "heat_soak_time", wall(10), false, 120, 1e-9},
        {"iso-21307-slp", "build_up_time", wall(10, 250), true, 10.5, 1e-9},
        {"iso-21307-slp", "heater_temperature", wall(10), true, 235, 0},
        // F2620's open time goes by the wall row in inches.
        {"astm-f2620", "open_time", wall(0.17 * 25.4), true, 8, 0},
        {"astm-f2620", "open_time", wall(0.36 * 25.4), true, 8, 0},
        {"astm-f2620", "open_time", wall(0.37 * 25.4), true, 10, 0},
        {"astm-f2620", "open_time", wall(0.784 * 25.4), true, 15, 0},
        {"astm-f2620", "open_time", wall(2.0 * 25.4), true, 20, 0},
        {"astm-f2620", "open_time", wall(4.5 * 25.4), true, 25, 0},
        {"astm-f2620", "cooling_time", wall(25.4), false, 11, 1e-9},
        {"astm-f2620", "interfacial_pressure", wall(10), false, 60, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.procedure) + " " + c.check +
                     " e=" + std::to_string(c.pipe.wallMm.value_or(0)));
        const AppliedLimit limit = builtIn(c.procedure).limit(QString::fromLatin1(c.check), c.pipe);
        ASSERT_TRUE(limit.applies()) << limit.reason.toStdString();
        const std::optional<double>& side = c.isMax ? limit.max : limit.min;
        ASSERT_TRUE(side);
        EXPECT_NEAR(*side, c.expected, c.tolerance);
        EXPECT_FALSE(limit.source.isEmpty());
    }
}

TEST(Procedure, LimitsThatCannotBeWorkedOutSayWhy) {
    struct Case {
        const char* procedure;
        const char* check;
        PipeGeometry pipe;
        const char* reason;
    } cases[] = {
        {"astm-f2620", "heat_soak_time", wall(20), "no time limit in this procedure"},
        {"astm-f2620", "build_up_time", wall(20), "no time limit"},
        {"astm-f2620", "open_time", wall(0.1 * 25.4), "outside every row"},
        {"astm-f2620", "open_time", wall(5 * 25.4), "outside every row"},
        {"astm-f2620", "open_time", PipeGeometry{}, "no wall thickness"},
        {"iso-21307-slp", "build_up_time", wall(10), "no outside diameter"},
        {"iso-21307-slp", "open_time", wall(10), "table this procedure file does not carry"},
        {"dvs-2207-1", "cooling_time", wall(80), "outside every row"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.procedure) + " " + c.check);
        const AppliedLimit limit = builtIn(c.procedure).limit(QString::fromLatin1(c.check), c.pipe);
        EXPECT_FALSE(limit.applies());
        EXPECT_FALSE(limit.min || limit.max);
        EXPECT_TRUE(limit.reason.contains(QLatin1String(c.reason))) << limit.reason.toStdString();
    }
    EXPECT_EQ(builtIn("astm-f2620").limit("open_time", wall(20)).status,
              LimitStatus::CommonPractice);

    // A formula of finite numbers that overflows for a very large joint gives no limit.
    const ProcedureLoad steep = parseProcedure(R"({"id": "x", "name": "X", "edition": "1",
        "limits": {"cooling_time": {"unit": "min", "source": "s", "status": "confirmed",
        "min": {"pieces": {"of": "e", "pieces": [{"from": 0, "poly": [0, 1e300, 1e300]}]}}}}})",
                                               QStringLiteral("x.json"));
    ASSERT_TRUE(steep.procedure) << steep.error.toStdString();
    EXPECT_TRUE(steep.procedure->limit("cooling_time", wall(0.5)).applies());
    const AppliedLimit overflow = steep.procedure->limit("cooling_time", wall(1e10));
    EXPECT_FALSE(overflow.min || overflow.max);
    EXPECT_TRUE(overflow.reason.contains(QLatin1String("out of range")))
        << overflow.reason.toStdString();
}

const char* kGood = R"({"id": "own", "name": "Own", "edition": "1",
  "limits": {"cooling_time": {"unit": "min", "min": 30, "source": "ours", "status": "one_source"}}})";

TEST(Procedure, MalformedFilesAreRefusedWithTheFileNameAndWhy) {
    struct Case {
        const char* text;
        const char* why;
    } cases[] = {
        {"{not json", "not JSON"},
        {"[1, 2]", "not a JSON object"},
        {R"({"name": "X", "edition": "1", "limits": {}})", "missing \"id\""},
        {R"({"id": "x", "name": 3, "edition": "1", "limits": {}})", "\"name\" must be a text"},
        {R"({"id": "x", "name": "X", "edition": "1"})", "missing \"limits\""},
        {R"({"id": "../x", "name": "X", "edition": "1", "limits": {}})", "\"id\" may hold only"},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"bead_height": {"reason": "r"}}})",
         "unknown check \"bead_height\""},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "s", "max": 5, "source": "s", "status": "sure"}}})",
         "\"status\" must be"},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "psi", "max": 5, "source": "s", "status": "confirmed"}}})",
         "unit \"psi\" does not fit"},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "s", "source": "s", "status": "confirmed"}}})",
         "needs \"min\", \"max\" or \"reason\""},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "s", "max": {"table": {"of": "e", "rows": [[5, 5, 8]]}}, "source": "s",
             "status": "confirmed"}}})",
         "limits.open_time: max: table row 1 has lo >= hi"},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "s", "max": {"table": {"of": "e", "rows": [[1, 5, 8], [4, 6, 9]]}},
             "source": "s", "status": "confirmed"}}})",
         "table row 2 overlaps"},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "s", "max": {"table": {"of": "e", "rows": [[1, 5, "8"]]}},
             "source": "s", "status": "confirmed"}}})",
         "not a number"},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "s", "max": {"linear": {"of": "w", "per": 1}}, "source": "s",
             "status": "confirmed"}}})",
         "\"of\" must be"},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "s", "max": {"linear": {"of": "e"}}, "source": "s", "status": "confirmed"}}})",
         "missing number \"per\""},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"cooling_time":
            {"unit": "min", "min": {"pieces": {"of": "e", "pieces": [{"from": 18, "to": 10,
             "poly": [1]}]}}, "source": "s", "status": "confirmed"}}})",
         "piece 1 has from >= to"},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"cooling_time":
            {"unit": "min", "min": {"spline": {"of": "e"}}, "source": "s", "status": "confirmed"}}})",
         "unknown form \"spline\""},
        {R"({"id": "x", "name": "X", "edition": "1", "limits": {"open_time":
            {"unit": "s", "max": 1e999, "source": "s", "status": "confirmed"}}})",
         "illegal number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ProcedureLoad load = parseProcedure(QByteArray(c.text), QStringLiteral("x.json"));
        EXPECT_FALSE(load.procedure);
        EXPECT_TRUE(load.error.startsWith(QLatin1String("x.json: "))) << load.error.toStdString();
        EXPECT_TRUE(load.error.contains(QLatin1String(c.why))) << load.error.toStdString();
    }
    EXPECT_TRUE(parseProcedure(QByteArray(kGood), QStringLiteral("own.json")).procedure);
}

TEST(Procedure, OwnFileIsFoundByIdAndWinsOverABuiltInOne) {
    ProcedureFolder folder;
    folder.write(QStringLiteral("own.json"), QByteArray(kGood));
    QByteArray mine(kGood);
    mine.replace("\"own\"", "\"dvs-2207-1\"");
    folder.write(QStringLiteral("dvs-2207-1.json"), mine);
    folder.write(QStringLiteral("wrong-id.json"), QByteArray(kGood));
    folder.write(QStringLiteral("broken.json"), QByteArray("{"));

    const ProcedureLoad own = loadProcedure(QStringLiteral("own"));
    ASSERT_TRUE(own.procedure) << own.error.toStdString();
    EXPECT_EQ(*own.procedure->limit("cooling_time", {}).min, 30);
    EXPECT_EQ(own.procedure->limit("cooling_time", {}).status, LimitStatus::OneSource);
    EXPECT_EQ(own.procedure->limit("open_time", {}).reason, "not part of this procedure");

    const ProcedureLoad dvs = loadProcedure(QStringLiteral("dvs-2207-1"));
    ASSERT_TRUE(dvs.procedure);
    EXPECT_EQ(dvs.procedure->info.name, "Own");

    const ProcedureLoad wrong = loadProcedure(QStringLiteral("wrong-id"));
    EXPECT_FALSE(wrong.procedure);
    EXPECT_TRUE(wrong.error.contains(QLatin1String("wrong-id.json"))) << wrong.error.toStdString();
    EXPECT_TRUE(wrong.error.contains(QLatin1String("does not match")));
    EXPECT_TRUE(
        loadProcedure(QStringLiteral("broken")).error.startsWith(QLatin1String("broken.json: ")));
    EXPECT_FALSE(loadProcedure(QStringLiteral("nowhere")).procedure);
    EXPECT_FALSE(loadProcedure(QStringLiteral("../own")).procedure);

    // The chooser: built-in IDs first (here the user's DVS), then the user's own that load.
    QStringList ids;
    for (const ProcedureInfo& info : availableProcedures()) ids << info.id;
    EXPECT_EQ(ids, (QStringList{"astm-f2620", "iso-21307-slp", "dvs-2207-1", "own"}));
}

}  // namespace
}  // namespace vr5
