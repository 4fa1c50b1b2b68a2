#include "evaluation/live_guide.h"

#include <QLocale>
#include <cmath>

#include "report/joint_record.h"
#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"
#include "text/machine_tests.h"
#include "text/number_text.h"
#include "units/units.h"

namespace vr5 {

namespace {

// A remembered pressure ("337 psi", "23.2 bar") in psi; a text without a unit is in the
// pressure unit of Settings.
std::optional<double> rememberedPsi(const QString& text, int settingsUnit) {
    const std::optional<double> value = leadingNumber(text);
    if (!value) return std::nullopt;
    QString label = text.trimmed();
    const qsizetype space = label.indexOf(u' ');
    const int unit = space < 0 ? -1 : pressureUnitIndexOfLabel(label.mid(space + 1).trimmed());
    return *value * psiPerUnit(unit >= 0 ? unit : settingsUnit);
}

std::optional<double> procedurePsi(const std::optional<double>& value, const QString& unit) {
    if (!value) return std::nullopt;
    const int index = pressureUnitIndexOfLabel(unit);
    return *value * psiPerUnit(index < 0 ? 0 : index);
}

}  // namespace

PhaseGuides rememberedGuides(const SettingsStore& settings) {
    const int unit = settings.read(keys::PressUnitInx, 0);
    PhaseGuides guides;
    guides.beadPsi = rememberedPsi(settings.read(keys::RecHeat), unit);
    guides.fusePsi = rememberedPsi(settings.read(keys::RecFuse), unit);
    guides.dragPsi = rememberedPsi(settings.read(keys::DragPressure), unit);
    if (!guides.dragPsi) guides.dragPsi = rememberedPsi(settings.read(keys::RecSoak), unit);
    return guides;
}

PipeGeometry rememberedPipe(const SettingsStore& settings) {
    // The pipe fields as the report of this joint will carry them, read by the evaluation's
    // own rules.
    JointRecord rec;
    ReportFields& f = rec.fields;
    f.modelText = settings.read(keys::MachineModelText);
    f.pipeSize = settings.read(keys::PipeSize);
    f.pipeSizeUnit = settings.read(keys::PipeSizeUnit, 0);
    f.wall = settings.read(keys::WallThickness);
    f.wallUnit = settings.read(keys::WallThicknessUnit, 0);
    return pipeGeometry(rec);
}

GuideSetup guideSetup(const SettingsStore& settings, const Procedure& procedure) {
    GuideSetup s;
    s.pressureUnit = settings.read(keys::PressUnitInx, 0);
    s.demo = settings.read(keys::DemoMode, 0) != 0;
    s.guides = rememberedGuides(settings);
    const StringKey recommended[] = {keys::RecHeat, keys::RecSoak, keys::RecFuse, keys::RecCool};
    for (size_t i = 0; i < 4; ++i)
        s.targetsPsi[i] = rememberedPsi(settings.read(recommended[i]), s.pressureUnit);
    s.pipe = rememberedPipe(settings);
    s.limits = phaseTimeLimits(procedure, s.pipe);
    s.procedureName = procedure.info.name;

    // A fitting's set-up gives label pressures, not interfacial ones: no band for it.
    const QString model = settings.read(keys::MachineModelText);
    if (!isMechanicalModelText(model)) {
        const AppliedLimit ifp = procedure.limit(QStringLiteral("interfacial_pressure"), s.pipe);
        if (ifp.applies()) {
            const auto gauge = [&](const std::optional<double>& side) -> std::optional<double> {
                const auto psi = procedurePsi(side, ifp.unit);
                if (!psi) return std::nullopt;
                return gaugePsiOfInterfacial(*psi, settings, model, s.pressureUnit);
            };
            s.bandLowPsi = gauge(ifp.min);
            s.bandHighPsi = gauge(ifp.max);
        }
    }
    return s;
}

std::optional<GuideReading> guideReading(const protocol::StatusReply& reply) {
    if (!reply.loggingState || *reply.loggingState != '1') return std::nullopt;
    if (!reply.sampleCount || !reply.pressurePsi) return std::nullopt;
    bool counted = false;
    const int samples = reply.sampleCount->trimmed().toInt(&counted);
    if (!counted || samples < 0) return std::nullopt;
    return GuideReading{samples * kPhaseSecondsPerTick, double(*reply.pressurePsi)};
}

GuideReplies::Taken GuideReplies::take(const protocol::StatusReply& reply, double lastTimeS) {
    Taken taken;
    taken.reading = guideReading(reply);
    if (!taken.reading) {
        // A logging reply without a readable count or pressure is passed over; only a logger
        // that says it is not logging ends the joint.
        if (reply.loggingState && *reply.loggingState != '1') logging_ = false;
        return taken;
    }
    taken.newJoint = lastTimeS < 0 || !logging_ || taken.reading->timeS < lastTimeS;
    logging_ = true;
    return taken;
}

QString guidePhaseName(Phase phase) {
    switch (phase) {
        case Phase::BeadUp:
            return QStringLiteral("Bead-up");
        case Phase::HeatSoak:
            return QStringLiteral("Heat soak");
        case Phase::Open:
            return QStringLiteral("Changeover");
        case Phase::BuildUp:
            return QStringLiteral("Pressure build-up");
        case Phase::Cooling:
            break;
    }
    return QStringLiteral("Cooling");
}

QString guideCueText(GuideCue cue) {
    switch (cue) {
        case GuideCue::OpenNow:
            return QStringLiteral("Soak time reached: open the machine and take the heater out.");
        case GuideCue::ChangeoverEnding:
            return QStringLiteral("Close the joint now: the changeover ends in 2 seconds.");
        case GuideCue::ReleaseNow:
            break;
    }
    return QStringLiteral("Cooling time reached: the pressure may be released.");
}

LiveGuide::LiveGuide(GuideSetup setup)
    : setup_(std::move(setup)), tracker_(setup_.guides, setup_.limits) {}

std::optional<GuideCue> LiveGuide::feed(double timeS, double psi) {
    if (!std::isfinite(timeS) || !std::isfinite(psi)) return std::nullopt;
    if (!times_.empty() && timeS <= times_.back()) return std::nullopt;
    times_.push_back(timeS);
    pressures_.push_back(psi);
    tracker_.feed(timeS, psi);

    const LivePhase& now = tracker_.now();
    const qsizetype occurrence = tracker_.events().size() - 1;
    if (!now.phase || now.released || occurrence == cuedEvent_) return std::nullopt;
    std::optional<GuideCue> cue;
    if (*now.phase == Phase::HeatSoak && now.limit.minS && now.phaseS >= *now.limit.minS) {
        cue = GuideCue::OpenNow;
    } else if (*now.phase == Phase::Open && now.limit.maxS &&
               now.phaseS >= *now.limit.maxS - kChangeoverWarningS) {
        cue = GuideCue::ChangeoverEnding;
    } else if (*now.phase == Phase::Cooling && now.limit.minS && now.phaseS >= *now.limit.minS) {
        cue = GuideCue::ReleaseNow;
    }
    if (cue) cuedEvent_ = occurrence;
    return cue;
}

double LiveGuide::pollPeriodS() const {
    if (times_.size() < 2) return 0.3;
    // Over the last minute or so: polls every 300 ms take one or two samples of 0.2 s in turn,
    // which only their mean tells.
    const size_t from = times_.size() > 200 ? times_.size() - 200 : 0;
    return (times_.back() - times_[from]) / double(times_.size() - 1 - from);
}

QString LiveGuide::phaseLine() const {
    const LivePhase& now = tracker_.now();
    if (!now.phase) return QStringLiteral("Waiting for the bead-up");
    QString line =
        guidePhaseName(*now.phase) + u' ' + minutesSeconds(now.phaseS) + QStringLiteral(" \u2014 ");
    const QString limit = phaseLimitText(now.limit);
    if (limit.isEmpty()) return line + QStringLiteral("no limit");
    line += limit;
    if (*now.phase == Phase::HeatSoak) {
        // Where the soak's limit comes from: it grows with the wall.
        line += QStringLiteral(" (") + setup_.procedureName;
        if (setup_.pipe.wallMm) {
            line += QStringLiteral(", e = ") + QLocale::c().toString(*setup_.pipe.wallMm, 'f', 1) +
                    QStringLiteral(" mm");
        }
        line += u')';
    }
    if (now.released) line += QStringLiteral(" (released)");
    return line;
}

LimitState LiveGuide::phaseLineState() const {
    return tracker_.now().phase ? tracker_.now().state : LimitState::Running;
}

QString LiveGuide::endedLine() const {
    const QList<PhaseEvent>& events = tracker_.events();
    for (qsizetype i = events.size() - 1; i >= 0; --i) {
        const PhaseEvent& e = events[i];
        if (!e.ended) continue;
        const PhaseLimit& limit = setup_.limits[static_cast<size_t>(*e.ended)];
        QString line =
            guidePhaseName(*e.ended) + QStringLiteral(" lasted ") + minutesSeconds(e.endedS);
        const QString limitText = phaseLimitText(limit);
        if (!limitText.isEmpty()) {
            line += QStringLiteral(" \u2014 ");
            line += e.endedState == LimitState::Short      ? QStringLiteral("short, ")
                    : e.endedState == LimitState::Exceeded ? QStringLiteral("too long, ")
                                                           : QStringLiteral("met, ");
            line += limitText;
        }
        return line;
    }
    return {};
}

LimitState LiveGuide::endedState() const {
    const QList<PhaseEvent>& events = tracker_.events();
    for (qsizetype i = events.size() - 1; i >= 0; --i) {
        if (events[i].ended) {
            const PhaseLimit& limit = setup_.limits[static_cast<size_t>(*events[i].ended)];
            return limit.any() ? events[i].endedState : LimitState::Running;
        }
    }
    return LimitState::Running;
}

std::array<std::optional<double>, kPhaseCount> LiveGuide::phaseDurations() const {
    std::array<std::optional<double>, kPhaseCount> durations;
    for (const PhaseEvent& e : tracker_.events()) {
        if (e.ended) durations[static_cast<size_t>(*e.ended)] = e.endedS;
    }
    const LivePhase& now = tracker_.now();
    if (now.phase) durations[static_cast<size_t>(*now.phase)] = now.phaseS;
    return durations;
}

QList<GuideSummaryRow> guideSummary(const LiveGuide& guide, const Evaluation& evaluation,
                                    double toleranceS) {
    QList<GuideSummaryRow> rows;
    const auto durations = guide.phaseDurations();
    for (int i = 0; i < kPhaseCount; ++i) {
        GuideSummaryRow row;
        row.phase = static_cast<Phase>(i);
        row.guideS = durations[static_cast<size_t>(i)];
        if (const auto& span = evaluation.phases[static_cast<size_t>(i)])
            row.reportS = span->endS - span->startS;
        const QString limit = phaseLimitText(guide.setup().limits[static_cast<size_t>(i)]);
        row.limit = limit.isEmpty() ? QStringLiteral("no limit") : limit;
        if (row.guideS && row.reportS)
            row.agrees = std::fabs(*row.guideS - *row.reportS) <= toleranceS + 1e-9;
        rows << row;
    }
    return rows;
}

}  // namespace vr5
