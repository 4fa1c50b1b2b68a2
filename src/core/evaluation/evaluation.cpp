#include "evaluation/evaluation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vr5 {

namespace {

QJsonValue number(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

}  // namespace

QString phaseKey(Phase phase) {
    static const char* keys[] = {"bead_up", "heat_soak", "open", "build_up", "cooling"};
    return QString::fromLatin1(keys[static_cast<int>(phase)]);
}

QString phaseName(Phase phase) {
    static const char* names[] = {"Bead-up", "Heat soak", "Open/changeover", "Pressure build-up",
                                  "Fusion and cooling"};
    return QString::fromLatin1(names[static_cast<int>(phase)]);
}

QString resultKey(CheckResult result) {
    switch (result) {
        case CheckResult::Within: return QStringLiteral("within");
        case CheckResult::Outside: return QStringLiteral("outside");
        case CheckResult::NotChecked: break;
    }
    return QStringLiteral("not_checked");
}

QString verdictKey(Verdict verdict) {
    switch (verdict) {
        case Verdict::Within: return QStringLiteral("within");
        case Verdict::Outside: return QStringLiteral("outside");
        case Verdict::Incomplete: break;
    }
    return QStringLiteral("incomplete");
}

const QStringList& checkNames() {
    static const QStringList names{"heater_temperature", "interfacial_pressure", "heat_soak_time",
                                   "open_time",          "build_up_time",        "cooling_time",
                                   "fusion_pressure"};
    return names;
}

Evaluation evaluateJoint(const JointRecord& /*rec*/, const Procedure& procedure) {
    Evaluation e;
    e.procedure = procedure.info;
    for (const QString& name : checkNames()) {
        Check check;
        check.name = name;
        check.reason = QStringLiteral("not evaluated yet");
        e.checks << check;
    }
    e.note = QStringLiteral(
        "Estimated from the pressure record; does not replace inspecting the bead.");
    return e;
}

QByteArray evaluationToJson(const Evaluation& e, const QString& file) {
    QJsonObject o;
    o.insert(QStringLiteral("file"), file);
    o.insert(QStringLiteral("procedure"), e.procedure.id);
    o.insert(QStringLiteral("outside_diameter_mm"), number(e.pipe.diameterMm));
    o.insert(QStringLiteral("wall_thickness_mm"), number(e.pipe.wallMm));
    QJsonObject phases;
    for (int i = 0; i < kPhaseCount; ++i) {
        const auto& span = e.phases[static_cast<size_t>(i)];
        QJsonValue value(QJsonValue::Null);
        if (span) {
            value = QJsonObject{{QStringLiteral("start_s"), span->startS},
                                {QStringLiteral("end_s"), span->endS},
                                {QStringLiteral("mean_psi"), span->meanPsi}};
        }
        phases.insert(phaseKey(static_cast<Phase>(i)), value);
    }
    o.insert(QStringLiteral("phases"), phases);
    QJsonArray checks;
    for (const Check& c : e.checks) {
        checks.append(QJsonObject{{QStringLiteral("name"), c.name},
                                  {QStringLiteral("measured"), number(c.measured)},
                                  {QStringLiteral("unit"), c.unit},
                                  {QStringLiteral("min"), number(c.limit.min)},
                                  {QStringLiteral("max"), number(c.limit.max)},
                                  {QStringLiteral("result"), resultKey(c.result)},
                                  {QStringLiteral("source"), c.limit.source}});
    }
    o.insert(QStringLiteral("checks"), checks);
    o.insert(QStringLiteral("verdict"), verdictKey(e.verdict));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace vr5
