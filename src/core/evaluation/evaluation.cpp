#include "evaluation/evaluation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "evaluation/joint_reading.h"
#include "evaluation/procedure_limits.h"
#include "report/report_text.h"
#include "setup/pipe_catalogue.h"
#include "units/units.h"

namespace vr5 {

namespace {

QJsonValue number(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// A limit's status, or null when the check has no limit to hold.
QJsonValue limitStatus(const AppliedLimit& limit) {
    return limit.applies() ? QJsonValue(limitStatusKey(limit.status))
                           : QJsonValue(QJsonValue::Null);
}

QJsonValue checkReason(const Check& c) {
    if (c.result != CheckResult::NotChecked) return QJsonValue(QJsonValue::Null);
    return c.reason.isEmpty() ? c.limit.reason : c.reason;
}

std::optional<double> psiOf(const QString& valueText, double psiPerUnitOfReport) {
    const std::optional<double> v = leadingNumber(valueText);
    if (!v) return std::nullopt;
    return *v * psiPerUnitOfReport;
}

// psi in one unit of a procedure's pressure unit.
double psiPerProcedureUnit(const QString& unit) {
    const int index = pressureUnitIndexOfLabel(unit);
    return index < 0 ? 1.0 : psiPerUnit(index);
}

double reportPsiPerUnit(const JointRecord& rec) {
    return rec.psiPerUnit > 0 ? rec.psiPerUnit : psiPerUnit(rec.fields.pressureUnitIndex);
}

// A duration in seconds in the limit's unit.
double inTimeUnit(double seconds, const QString& unit) {
    return unit == u"min" ? seconds / 60.0 : seconds;
}

// The outcome of one check once its limit and measurement are known.
void judge(Check& check, const std::optional<double>& measured, const QString& missing) {
    // Shown even when there is nothing to hold it against.
    if (measured && std::isfinite(*measured)) check.measured = measured;
    if (!check.limit.applies()) {
        check.reason = check.limit.reason.isEmpty() ? QStringLiteral("not part of this procedure")
                                                    : check.limit.reason;
        return;
    }
    if (!measured || !std::isfinite(*measured)) {
        check.reason = missing;
        return;
    }
    // Limits and measurements are both decimals worked out in doubles: a hair's breadth on the
    // limit is on it.
    constexpr double kSlack = 1e-9;
    const bool low = check.limit.min && *measured < *check.limit.min - kSlack;
    const bool high = check.limit.max && *measured > *check.limit.max + kSlack;
    check.result = low || high ? CheckResult::Outside : CheckResult::Within;
}

QString soakUnclear() {
    return QStringLiteral("soak and changeover cannot be told apart in this record");
}

std::optional<double> duration(const std::optional<PhaseSpan>& span) {
    if (!span) return std::nullopt;
    return span->endS - span->startS;
}

// The interfacial pressure (psi) a mean gauge pressure stands for through the report's own
// set-up: gauge = interfacial x ratio + drag, the recommended fuse gauge pressure standing for
// the interfacial fuse pressure.
double interfacialOfGauge(double gaugePsi, double interfacialFusePsi, double fuseGaugePsi,
                          double dragPsi) {
    return (gaugePsi - dragPsi) * interfacialFusePsi / (fuseGaugePsi - dragPsi);
}

// Why the procedure's limits do not hold for the joint's material; empty when they do, or when
// the report does not say what the pipe is made of.
QString materialProblem(const QString& material, const ProcedureInfo& procedure) {
    const QString family = materialFamily(material);
    if (family.isEmpty()) return {};
    for (const QString& m : procedure.materials) {
        if (materialFamily(m) == family || m.compare(material.trimmed(), Qt::CaseInsensitive) == 0)
            return {};
    }
    return QStringLiteral("the pipe material %1 is not one this procedure is for (%2)")
        .arg(material.trimmed(), procedure.materials.join(QStringLiteral(", ")));
}

// A heater check that cannot be made says what the report holds instead of a reading.
QString heaterMissing(const ReportFields& f) {
    const QString probe = f.heaterTemp.trimmed();
    if (probe.isEmpty() || probe == u"---")
        return QStringLiteral("no heater temperature in the report");
    return QStringLiteral(
               "the heater probe gave no reading (\"%1\") and there is no external "
               "probe reading")
        .arg(probe);
}

}  // namespace

std::optional<double> heaterReading(const QString& text) {
    static const QRegularExpression reading(
        QStringLiteral("^\\s*[-+]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)\\s*(?:°?\\s*[FC])?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    // "-0-" is the logger's text for a probe that read nothing: no 0 degrees.
    if (!reading.match(text).hasMatch()) return std::nullopt;
    return leadingNumber(text);
}

QString materialFamily(const QString& material) {
    QString m = material.toUpper();
    m.remove(QRegularExpression(QStringLiteral("[\\s._/-]")));
    if (m.startsWith(u"PVDF")) return QStringLiteral("PVDF");
    if (m.startsWith(u"PVC") || m.startsWith(u"CPVC")) return QStringLiteral("PVC");
    if (m.startsWith(u"PA") || m.startsWith(u"NYLON")) {
        // PA 11 and PA 12 are fused by procedures of their own.
        static const QRegularExpression grade(QStringLiteral("^(?:PA|NYLON)(\\d+)"));
        const QRegularExpressionMatch g = grade.match(m);
        return g.hasMatch() ? QStringLiteral("PA") + g.captured(1) : QStringLiteral("PA");
    }
    if (m.startsWith(u"PP")) return QStringLiteral("PP");
    if (m.startsWith(u"PB")) return QStringLiteral("PB");
    if (m.contains(u"PE") || m.contains(u"POLYETHYLENE")) return QStringLiteral("PE");
    return {};
}

QString limitStatusKey(LimitStatus status) {
    switch (status) {
        case LimitStatus::OneSource:
            return QStringLiteral("one_source");
        case LimitStatus::CommonPractice:
            return QStringLiteral("common_practice");
        case LimitStatus::Confirmed:
            break;
    }
    return QStringLiteral("confirmed");
}

std::optional<double> leadingNumber(const QString& text) {
    static const QRegularExpression leading(
        QStringLiteral("^\\s*([-+]?(?:\\d+(?:\\.\\d*)?|\\.\\d+))"));
    const QRegularExpressionMatch m = leading.match(text);
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(m.captured(1), &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

PipeGeometry pipeGeometry(const JointRecord& rec) {
    PipeGeometry pipe;
    const ReportFields& f = rec.fields;
    if (reportMachineKind(f.modelText).mechanical) return pipe;
    const std::optional<double> size = leadingNumber(f.pipeSize);
    const std::optional<double> wall = leadingNumber(f.wall);
    if (!size || !wall || *size <= 0 || *wall <= 0) return pipe;
    // Only the whole text is a size or a wall: "4\" IPS x 2\" IPS" is a fitting's.
    if (f.pipeSize.trimmed().size() > 12 || f.wall.trimmed().contains(u' ')) return pipe;
    const double odIn = outsideDiameter(*size, f.pipeSizeUnit);
    if (!(odIn > 0)) return pipe;
    const double wallIn = wallThickness(odIn, *wall, f.wallUnit);
    if (!(wallIn > 0) || wallIn * 2 >= odIn || !std::isfinite(wallIn)) return pipe;
    pipe.diameterMm = odIn * kMillimetresPerInch;
    pipe.wallMm = wallIn * kMillimetresPerInch;
    return pipe;
}

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
        case CheckResult::Within:
            return QStringLiteral("within");
        case CheckResult::Outside:
            return QStringLiteral("outside");
        case CheckResult::NotChecked:
            break;
    }
    return QStringLiteral("not_checked");
}

QString verdictKey(Verdict verdict) {
    switch (verdict) {
        case Verdict::Within:
            return QStringLiteral("within");
        case Verdict::Outside:
            return QStringLiteral("outside");
        case Verdict::Demo:
            return QStringLiteral("demo");
        case Verdict::Incomplete:
            break;
    }
    return QStringLiteral("incomplete");
}

const QStringList& checkNames() {
    static const QStringList names{
        "heater_temperature", "interfacial_pressure", "heat_soak_time",
        "open_time",          "build_up_time",        "cooling_time",
        "fusion_pressure",    "bead_up_pressure",     "heat_soak_pressure"};
    return names;
}

Evaluation evaluateJoint(const JointRecord& rec, const Procedure& procedure) {
    Evaluation e;
    e.procedure = procedure.info;
    e.pipe = pipeGeometry(rec);
    const ReportFields& f = rec.fields;
    e.demo = rec.isDemo();
    e.material = f.material.trimmed();
    e.materialProblem = materialProblem(f.material, procedure.info);
    const double unitPsi = reportPsiPerUnit(rec);

    PhaseGuides guides;
    guides.beadPsi = psiOf(f.recommended[0], unitPsi);
    guides.fusePsi = psiOf(f.recommended[2], unitPsi);
    guides.dragPsi = psiOf(f.drag, unitPsi);
    if (!guides.dragPsi) guides.dragPsi = psiOf(f.recommended[1], unitPsi);
    const FoundPhases found = findPhases(rec, guides);
    e.phases = found.phases;

    const ReportMachineKind kind = reportMachineKind(f.modelText);
    const bool labelValues = kind.mechanical || reserveHasFittingLabelFlag(f.reserve);
    const auto& soak = e.phases[static_cast<size_t>(Phase::HeatSoak)];
    const auto& cooling = e.phases[static_cast<size_t>(Phase::Cooling)];

    for (const QString& name : checkNames()) {
        Check check;
        check.name = name;
        check.limit = procedure.limit(name, e.pipe);
        // Without a limit the measurement is still shown, in the report's or the usual unit.
        check.unit = check.limit.unit;
        if (check.unit.isEmpty()) {
            check.unit = name == u"heater_temperature" ? temperatureUnitLabel(f.tempUnitIndex)
                         : name.endsWith(u"_pressure") ? QStringLiteral("psi")
                                                       : QStringLiteral("s");
        }
        std::optional<double> measured;
        QString missing;
        if (name == u"heater_temperature") {
            std::optional<double> t = heaterReading(f.heaterTemp);
            if (!t) t = heaterReading(f.extHeaterTemp);
            if (t) {
                const bool celsius = f.tempUnitIndex == 1;
                const bool wantCelsius = check.unit == u"°C";
                if (celsius && !wantCelsius) *t = *t * 9.0 / 5.0 + 32.0;
                if (!celsius && wantCelsius) *t = (*t - 32.0) * 5.0 / 9.0;
            }
            measured = t;
            missing = heaterMissing(f);
        } else if (name == u"interfacial_pressure") {
            if (!labelValues) {
                if (const auto psi = psiOf(f.interfacial[2], unitPsi))
                    measured = *psi / psiPerProcedureUnit(check.unit);
            }
            missing = labelValues ? QStringLiteral(
                                        "the report holds a fitting's label values, "
                                        "not interfacial pressures")
                                  : QStringLiteral("no interfacial fuse pressure in the report");
        } else if (name == u"heat_soak_time") {
            if (found.soakEnded) measured = duration(soak);
            missing = found.soakUnclear ? soakUnclear()
                      : soak ? QStringLiteral("the record ends before the heater was taken out")
                             : QStringLiteral("no heat soak found on the pressure record");
            if (measured) *measured = inTimeUnit(*measured, check.unit);
        } else if (name == u"open_time" || name == u"build_up_time" || name == u"cooling_time") {
            const Phase phase = name == u"open_time"       ? Phase::Open
                                : name == u"build_up_time" ? Phase::BuildUp
                                                           : Phase::Cooling;
            measured = duration(e.phases[static_cast<size_t>(phase)]);
            if (measured) *measured = inTimeUnit(*measured, check.unit);
            // A record stopped before the release meets a minimum-only cooling limit once the
            // cooling it holds reaches it; shorter, it cannot tell.
            if (phase == Phase::Cooling && !found.released && measured &&
                !(check.limit.applies() && check.limit.min && !check.limit.max &&
                  *measured >= *check.limit.min)) {
                check.measured = measured;
                measured.reset();
            }
            missing = phase == Phase::Cooling && cooling
                          ? QStringLiteral("the record ends before the pressure was released")
                      : phase == Phase::Open && found.soakUnclear
                          ? soakUnclear()
                          : QStringLiteral("no %1 found on the pressure record")
                                .arg(phaseName(phase).toLower());
        } else if (name == u"fusion_pressure") {
            // The mean gauge pressure while fusing, as the interfacial pressure it stands for
            // through the report's own set-up: gauge = interfacial x ratio + drag.
            const auto ifp = psiOf(f.interfacial[2], unitPsi);
            const auto drag = guides.dragPsi.value_or(0);
            if (!labelValues && ifp && *ifp > 0 && guides.fusePsi && *guides.fusePsi > drag &&
                cooling) {
                const double interfacial =
                    interfacialOfGauge(cooling->meanPsi, *ifp, *guides.fusePsi, drag);
                measured = interfacial / psiPerProcedureUnit(check.unit);
            }
            missing = !cooling ? QStringLiteral("no fusion found on the pressure record")
                               : QStringLiteral(
                                     "the report gives no interfacial and recommended "
                                     "fuse pressures to read the gauge by");
        } else if (name == u"bead_up_pressure" || name == u"heat_soak_pressure") {
            // The pressure the phase held (not its mean, which its ramps pull down), read as
            // the fusion pressure is.
            const Phase phase = name == u"bead_up_pressure" ? Phase::BeadUp : Phase::HeatSoak;
            const auto& span = e.phases[static_cast<size_t>(phase)];
            const auto ifp = psiOf(f.interfacial[2], unitPsi);
            const auto drag = guides.dragPsi.value_or(0);
            if (!labelValues && ifp && *ifp > 0 && guides.fusePsi && *guides.fusePsi > drag &&
                span) {
                measured = interfacialOfGauge(span->heldPsi, *ifp, *guides.fusePsi, drag) /
                           psiPerProcedureUnit(check.unit);
            }
            missing = !span ? QStringLiteral("no %1 found on the pressure record")
                                  .arg(phaseName(phase).toLower())
                            : QStringLiteral(
                                  "the report gives no interfacial and recommended "
                                  "fuse pressures to read the gauge by");
        }
        judge(check, measured, missing);
        // The procedure's numbers are for its own materials: another material's joint is not
        // held against them. Every limit is bound to the material (see data/procedures).
        if (!e.materialProblem.isEmpty() && check.limit.applies()) {
            check.result = CheckResult::NotChecked;
            check.reason = e.materialProblem;
        }
        e.checks << check;
    }

    bool anyOutside = false, anyUnmeasured = false;
    for (const Check& c : e.checks) {
        anyOutside |= c.result == CheckResult::Outside;
        anyUnmeasured |=
            c.result == CheckResult::NotChecked && procedureHasLimit(procedure, c.name);
    }
    const bool phaseMissing =
        std::any_of(e.phases.begin(), e.phases.end(), [](const auto& p) { return !p.has_value(); });
    e.verdict = anyOutside                                                 ? Verdict::Outside
                : phaseMissing || anyUnmeasured || rec.problem.isDamaged() ? Verdict::Incomplete
                                                                           : Verdict::Within;
    // Pressures the logger played back are no joint, whatever they would pass.
    if (e.demo) e.verdict = Verdict::Demo;
    e.note =
        QStringLiteral("Estimated from the pressure record; does not replace inspecting the bead.");
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
                                  {QStringLiteral("source"), c.limit.source},
                                  {QStringLiteral("status"), limitStatus(c.limit)},
                                  {QStringLiteral("reason"), checkReason(c)}});
    }
    o.insert(QStringLiteral("checks"), checks);
    o.insert(QStringLiteral("verdict"), verdictKey(e.verdict));
    o.insert(QStringLiteral("demo"), e.demo);
    o.insert(QStringLiteral("material"), e.material);
    o.insert(QStringLiteral("material_problem"),
             e.materialProblem.isEmpty() ? QJsonValue(QJsonValue::Null) : e.materialProblem);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace vr5
