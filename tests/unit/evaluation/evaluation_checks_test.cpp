#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

#include "evaluation/evaluation.h"
#include "evaluation/joint_reading.h"
#include "evaluation/procedure_limits.h"
#include "test_support.h"

// Checks that hold on records as the field makes them: heater texts that are no reading, demo
// records, the bead-up and soak pressures, how sure each limit is, and the pipe's material.
namespace vr5 {
namespace {

Procedure procedure(const char* id) {
    return loadProcedure(QString::fromLatin1(id)).procedure.value_or(Procedure{});
}

const Check& checkOf(const Evaluation& e, const char* name) {
    for (const Check& c : e.checks) {
        if (c.name == QLatin1String(name)) return c;
    }
    static const Check none;
    ADD_FAILURE() << "no check " << name;
    return none;
}

// A 110 mm x 10 mm joint sampled every 0.2 s: bead-up at `bead` psi gauge for 30 s, heat soak at
// `soak` psi for 200 s, open 6 s, build-up 5 s, fusing and cooling at 337 psi for 830 s. Drag
// 30 psi; the recommended fuse gauge pressure 337 psi stands for `fuseMpa` interfacial.
JointRecord joint(double bead, double soak, double fuseMpa) {
    struct Step {
        double to, seconds;
    };
    const std::vector<Step> steps{{30, 2}, {bead, 4}, {bead, 30}, {soak, 2}, {soak, 200}, {0, 1},
                                  {0, 6},  {337, 5},  {337, 830}, {0, 3},    {0, 10}};
    JointRecord rec;
    double level = 0;
    int tick = 0;
    for (const Step& s : steps) {
        const int ticks = static_cast<int>(s.seconds * 5 + 0.5);
        for (int k = 0; k < ticks; ++k, ++tick) {
            rec.time.push_back(tick + 1);
            rec.pressure.push_back(
                static_cast<int>(level + (s.to - level) * (k + 1) / ticks + 0.5));
        }
        level = s.to;
    }
    rec.sampleCount = static_cast<int>(rec.time.size());
    rec.pressure.push_back(0);
    ReportFields& f = rec.fields;
    f.drag = QStringLiteral("30 psi");
    f.recommended = {QStringLiteral("337"), QStringLiteral("30"), QStringLiteral("337"),
                     QStringLiteral("337")};
    const QString fuse = QString::number(fuseMpa * 145.0377, 'f', 3);
    f.interfacial = {fuse, QStringLiteral("0"), fuse, fuse};
    f.pipeSize = QStringLiteral("110");
    f.pipeSizeUnit = 3;  // mm O.D.
    f.wall = QStringLiteral("10");
    f.wallUnit = 2;  // mm WT
    f.tempUnitIndex = 1;
    f.heaterTemp = QStringLiteral("212");
    f.material = QStringLiteral("PE100");
    return rec;
}

TEST(EvaluationChecks, HeaterTextsThatAreNoReading) {
    const struct {
        const char* heater;
        const char* external;
        CheckResult result;
        const char* reason;
    } cases[] = {
        // "-0-" is the logger's text for a probe that read nothing, not 0 degrees.
        {"-0-", "---", CheckResult::NotChecked,
         "the heater probe gave no reading (\"-0-\") and there is no external probe reading"},
        {"ERR", "", CheckResult::NotChecked,
         "the heater probe gave no reading (\"ERR\") and there is no external probe reading"},
        {"---", "---", CheckResult::NotChecked, "no heater temperature in the report"},
        {"", "", CheckResult::NotChecked, "no heater temperature in the report"},
        {"-0-", "-0-", CheckResult::NotChecked,
         "the heater probe gave no reading (\"-0-\") and there is no external probe reading"},
        {"-0-", "427", CheckResult::Within, ""},
        {"ERR", "470", CheckResult::Outside, ""},
        {"428", "", CheckResult::Within, ""},
        {"428 °F", "", CheckResult::Within, ""},
        {"380", "428", CheckResult::Outside, ""},  // the heater's own probe comes first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.heater) + " / " + c.external);
        JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
        rec.fields.heaterTemp = QString::fromUtf8(c.heater);
        rec.fields.extHeaterTemp = QString::fromUtf8(c.external);
        const Evaluation e = evaluateJoint(rec, procedure("astm-f2620"));
        const Check& heater = checkOf(e, "heater_temperature");
        EXPECT_EQ(heater.result, c.result);
        EXPECT_EQ(heater.reason, QString::fromUtf8(c.reason));
        if (c.result == CheckResult::NotChecked) {
            EXPECT_FALSE(heater.measured);
            EXPECT_EQ(e.verdict, Verdict::Incomplete) << "a good joint is never called outside";
        }
    }
}

TEST(EvaluationChecks, ADemoRecordIsNoJoint) {
    const Evaluation demo =
        evaluateJoint(test::decodeFixture(QStringLiteral("demo")), procedure("astm-f2620"));
    EXPECT_TRUE(demo.demo);
    EXPECT_EQ(demo.verdict, Verdict::Demo);

    // The same good joint, logged in demo mode: never "within", and never "outside" either.
    for (const char* heater : {"428", "520"}) {
        JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
        rec.fields.heaterTemp = QLatin1String(heater);
        EXPECT_NE(evaluateJoint(rec, procedure("astm-f2620")).verdict, Verdict::Demo);
        rec.fields.demo = 1;
        const Evaluation e = evaluateJoint(rec, procedure("astm-f2620"));
        EXPECT_EQ(e.verdict, Verdict::Demo) << heater;
        const QJsonObject o = QJsonDocument::fromJson(evaluationToJson(e, "d.tjr")).object();
        EXPECT_EQ(o["demo"], QJsonValue(true));
        EXPECT_EQ(o["verdict"].toString(), "demo");
    }
    const Evaluation plain = evaluateJoint(test::decodeFixture(QStringLiteral("plain_hydraulic")),
                                           procedure("astm-f2620"));
    EXPECT_EQ(QJsonDocument::fromJson(evaluationToJson(plain, "p.tjr")).object()["demo"],
              QJsonValue(false));
}

TEST(EvaluationChecks, BeadUpAndHeatSoakPressures) {
    const struct {
        const char* name;
        const char* procedure;
        JointRecord rec;
        CheckResult bead, soak;
    } cases[] = {
        // ISO: bead-up 0.15-0.19 MPa over drag, soak 0 up to drag.
        {"iso held as asked", "iso-21307-slp", joint(337, 30, 0.17), CheckResult::Within,
         CheckResult::Within},
        {"iso soak under drag", "iso-21307-slp", joint(337, 24, 0.17), CheckResult::Within,
         CheckResult::Within},
        {"iso heating under pressure", "iso-21307-slp", joint(337, 80, 0.17), CheckResult::Within,
         CheckResult::Outside},
        {"iso bead-up too high", "iso-21307-slp", joint(420, 30, 0.17), CheckResult::Outside,
         CheckResult::Within},
        {"iso bead-up too low", "iso-21307-slp", joint(250, 30, 0.17), CheckResult::Outside,
         CheckResult::Within},
        // DVS: bead-up 0.15 MPa, soak at most 0.02 MPa.
        {"dvs held as asked", "dvs-2207-1", joint(337, 30, 0.15), CheckResult::Within,
         CheckResult::Within},
        {"dvs heating under pressure", "dvs-2207-1", joint(337, 100, 0.15), CheckResult::Within,
         CheckResult::Outside},
        {"dvs bead-up too high", "dvs-2207-1", joint(380, 30, 0.15), CheckResult::Outside,
         CheckResult::Within},
        // F2620 gives neither.
        {"astm", "astm-f2620", joint(337, 100, 0.52), CheckResult::NotChecked,
         CheckResult::NotChecked},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Evaluation e = evaluateJoint(c.rec, procedure(c.procedure));
        const Check& bead = checkOf(e, "bead_up_pressure");
        const Check& soak = checkOf(e, "heat_soak_pressure");
        EXPECT_EQ(bead.result, c.bead) << (bead.measured ? *bead.measured : -1);
        EXPECT_EQ(soak.result, c.soak) << (soak.measured ? *soak.measured : -1);
        EXPECT_EQ(bead.unit, c.procedure[0] == 'a' ? "psi" : "MPa");
    }
    const Evaluation astm = evaluateJoint(joint(337, 30, 0.52), procedure("astm-f2620"));
    EXPECT_EQ(checkOf(astm, "bead_up_pressure").reason,
              "this procedure gives no limit for the bead-up pressure");
    EXPECT_EQ(checkOf(astm, "heat_soak_pressure").reason,
              "this procedure gives no limit for the heat soak pressure");
    EXPECT_FALSE(procedureHasLimit(procedure("astm-f2620"), "heat_soak_pressure"));

    // Without the set-up pressures to read the gauge by, the phases' pressures are not checked.
    JointRecord bare = joint(337, 30, 0.17);
    bare.fields.interfacial = {"---", "---", "---", "---"};
    const Evaluation b = evaluateJoint(bare, procedure("iso-21307-slp"));
    EXPECT_EQ(checkOf(b, "heat_soak_pressure").result, CheckResult::NotChecked);
    EXPECT_EQ(
        checkOf(b, "heat_soak_pressure").reason,
        "the report gives no interfacial and recommended fuse pressures to read the gauge by");
    EXPECT_NE(b.verdict, Verdict::Within);
}

TEST(EvaluationChecks, EveryCheckSaysHowSureItIsInTheJson) {
    JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    rec.fields.heaterTemp = QStringLiteral("-0-");
    rec.fields.extHeaterTemp = QStringLiteral("---");
    const Evaluation e = evaluateJoint(rec, procedure("astm-f2620"));
    const QJsonObject o = QJsonDocument::fromJson(evaluationToJson(e, "a.tjr")).object();
    const QJsonArray checks = o["checks"].toArray();
    ASSERT_EQ(checks.size(), checkNames().size());
    const struct {
        const char* name;
        QJsonValue status, reason;
    } expected[] = {
        {"heater_temperature", "confirmed",
         "the heater probe gave no reading (\"-0-\") and there is no external probe reading"},
        {"interfacial_pressure", "common_practice", QJsonValue::Null},
        {"heat_soak_time", QJsonValue::Null,
         "no time limit in this procedure: the heat soak ends when the melt bead against the "
         "heater reaches its size"},
        {"open_time", "common_practice", QJsonValue::Null},
        {"build_up_time", QJsonValue::Null,
         "no time limit in this procedure for reaching the fusion pressure"},
        {"cooling_time", "common_practice", QJsonValue::Null},
        {"fusion_pressure", "common_practice", QJsonValue::Null},
        {"bead_up_pressure", QJsonValue::Null,
         "this procedure gives no limit for the bead-up pressure"},
        {"heat_soak_pressure", QJsonValue::Null,
         "this procedure gives no limit for the heat soak pressure"},
    };
    for (qsizetype i = 0; i < checks.size(); ++i) {
        const QJsonObject c = checks[i].toObject();
        SCOPED_TRACE(qPrintable(c["name"].toString()));
        EXPECT_EQ(c["name"].toString(), QLatin1String(expected[i].name));
        EXPECT_EQ(c["status"], expected[i].status);
        EXPECT_EQ(c["reason"], expected[i].reason);
    }
    const Evaluation dvs = evaluateJoint(joint(337, 30, 0.15), procedure("dvs-2207-1"));
    EXPECT_EQ(checkOf(dvs, "heat_soak_pressure").limit.status, LimitStatus::OneSource);
    EXPECT_EQ(limitStatusKey(LimitStatus::OneSource), "one_source");
}

TEST(EvaluationChecks, MaterialFamilies) {
    const struct {
        const char* text;
        const char* family;
    } cases[] = {
        {"HDPE PE4710", "PE"},
        {"PE100", "PE"},
        {"PE-RT", "PE"},
        {"MDPE", "PE"},
        {"PA 12", "PA12"},
        {"PA11", "PA11"},
        {"pa-12", "PA12"},
        {"PP", "PP"},
        {"PP-R", "PP"},
        {"PVDF", "PVDF"},
        {"PVC", "PVC"},
        {"---", ""},
        {"", ""},
        {"Steel", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(materialFamily(QString::fromUtf8(c.text)), QLatin1String(c.family)) << c.text;
}

// A PE procedure holds nothing against a PA 12 or PP joint; a procedure for PA 12 does.
TEST(EvaluationChecks, AnotherMaterialIsNotHeldAgainstAPeProcedure) {
    const Procedure astm = procedure("astm-f2620");
    EXPECT_EQ(astm.info.materials, QStringList{"PE"});
    for (const char* material : {"PA 12", "PA11", "PP-R"}) {
        SCOPED_TRACE(material);
        JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
        rec.fields.material = QLatin1String(material);
        rec.fields.heaterTemp = QStringLiteral("520");  // outside for PE
        const Evaluation e = evaluateJoint(rec, astm);
        EXPECT_EQ(e.verdict, Verdict::Incomplete);
        const QString why =
            QStringLiteral("the pipe material %1 is not one this procedure is for (PE)")
                .arg(QLatin1String(material));
        EXPECT_EQ(e.materialProblem, why);
        for (const Check& c : e.checks) {
            EXPECT_EQ(c.result, CheckResult::NotChecked) << qPrintable(c.name);
            if (c.limit.applies()) {
                EXPECT_EQ(c.reason, why);
            }
        }
        const QJsonObject o = QJsonDocument::fromJson(evaluationToJson(e, "a.tjr")).object();
        EXPECT_EQ(o["material_problem"].toString(), why);
    }
    // PE by any name, or no material at all, is held against it.
    for (const char* material : {"HDPE PE3408", "PE100", "---", ""}) {
        JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
        rec.fields.material = QLatin1String(material);
        EXPECT_EQ(evaluateJoint(rec, astm).verdict, Verdict::Within) << material;
    }

    QByteArray own = astm.json;
    own.insert(1,
               "\"id\":\"pa\",\"name\":\"PA 12 own\",\"edition\":\"1\","
               "\"materials\":[\"PA 12\"],");
    const ProcedureLoad pa = parseProcedure(own, "pa.json");
    ASSERT_TRUE(pa.procedure) << qPrintable(pa.error);
    JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    EXPECT_FALSE(evaluateJoint(rec, *pa.procedure).materialProblem.isEmpty());
    rec.fields.material = QStringLiteral("PA12");
    EXPECT_EQ(evaluateJoint(rec, *pa.procedure).verdict, Verdict::Within);

    for (const char* bad : {"\"materials\":\"PE\",", "\"materials\":[],", "\"materials\":[1],",
                            "\"materials\":[\" \"],"}) {
        QByteArray text = own;
        text.replace("\"materials\":[\"PA 12\"],", bad);
        const ProcedureLoad load = parseProcedure(text, "pa.json");
        EXPECT_FALSE(load.procedure) << bad;
        EXPECT_EQ(load.error, "pa.json: \"materials\" must be a list of texts");
    }
}

}  // namespace
}  // namespace vr5
