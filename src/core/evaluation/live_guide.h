#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "evaluation/evaluation.h"
#include "evaluation/live_phase_tracker.h"
#include "logger/protocol.h"
#include "settings/settings_store.h"

// The live guide while a joint is made: the pressure of every status reply, the joint's targets
// from the set-up, the phase now with its limit, and the cues that tell the operator when to
// open and when to release. Fed by the window and by `vr5xp --watch` alike; it never talks to
// the logger.
namespace vr5 {

// The set-up of the joint being made, as the set-up pages left it in the settings.
struct GuideSetup {
    PhaseGuides guides;  // psi
    // The four recommended gauge pressures (bead, soak, fuse, cool) in psi; empty when the set-up
    // gives none ("-----").
    std::array<std::optional<double>, 4> targetsPsi;
    // The procedure's interfacial fusion pressure range as gauge pressure (psi), through the
    // set-up's own formula; empty sides are open, both empty for a fitting or no pipe area.
    std::optional<double> bandLowPsi, bandHighPsi;
    std::array<PhaseLimit, kPhaseCount> limits;
    QString procedureName;  // "ISO 21307"
    PipeGeometry pipe;
    int pressureUnit = 0;  // the pressure unit of Settings
    bool demo = false;
};

// The remembered set-up pressures: bead and fusion gauge pressures and the drag pressure, in psi.
PhaseGuides rememberedGuides(const SettingsStore& settings);
// The pipe of the set-up, as the report of this joint will carry it, read by the evaluation.
PipeGeometry rememberedPipe(const SettingsStore& settings);
GuideSetup guideSetup(const SettingsStore& settings, const Procedure& procedure);

// What a status reply gives the guide while the logger logs a joint: its elapsed time (sample
// count x 0.2 s) and pressure; empty when it is not logging or the reply lacks either.
struct GuideReading {
    double timeS = 0;
    double psi = 0;
};
std::optional<GuideReading> guideReading(const protocol::StatusReply& reply);

// Which replies belong to which joint: a joint starts afresh when the logger starts logging, or
// when its elapsed time goes back while it logs (a new run). A finished or idle logger leaves the
// last joint as it was.
class GuideReplies {
public:
    struct Taken {
        std::optional<GuideReading> reading;  // empty: nothing to feed
        bool newJoint = false;                // a new guide takes this reading
    };
    // `lastTimeS` is the present guide's last reply time (negative: there is no guide).
    Taken take(const protocol::StatusReply& reply, double lastTimeS);

private:
    bool logging_ = false;
};

// "Bead-up", "Heat soak", "Changeover", "Pressure build-up", "Cooling".
QString guidePhaseName(Phase phase);

enum class GuideCue {
    OpenNow,           // the soak's minimum is reached: time to open
    ChangeoverEnding,  // two seconds before the changeover's maximum
    ReleaseNow,        // the cooling's minimum is reached: time to release
};
QString guideCueText(GuideCue cue);
inline constexpr double kChangeoverWarningS = 2.0;

class LiveGuide {
public:
    explicit LiveGuide(GuideSetup setup);

    // One status reply while logging: the logger's elapsed time and its pressure. Returns the
    // cue that falls due with it, if any; each cue sounds once per phase.
    std::optional<GuideCue> feed(double timeS, double psi);

    const GuideSetup& setup() const { return setup_; }
    const LivePhaseTracker& tracker() const { return tracker_; }
    const LivePhase& now() const { return tracker_.now(); }
    const std::vector<double>& times() const { return times_; }
    const std::vector<double>& pressures() const { return pressures_; }
    double lastTime() const { return times_.empty() ? -1 : times_.back(); }
    // The time between two replies (the mean of the last ones), in the logger's time; 0.3 s
    // before there are two.
    double pollPeriodS() const;

    // "Heat soak 2:41 — at least 3:59 (ISO 21307, e = 19.9 mm)", "Changeover 0:04 — at most
    // 0:10", "Bead-up 0:45 — no limit"; before the first bead-up "Waiting for the bead-up".
    QString phaseLine() const;
    // How the phase line is shown: neutral while running, green once met, red once exceeded.
    LimitState phaseLineState() const;
    // The phase that ended last, how long it lasted and how it stood: "Heat soak ended after
    // 3:10 — short of at least 3:59"; empty before any ended.
    QString endedLine() const;
    LimitState endedState() const;

    // How long each phase lasted by the guide (the last occurrence; the phase under way so far).
    std::array<std::optional<double>, kPhaseCount> phaseDurations() const;

private:
    GuideSetup setup_;
    LivePhaseTracker tracker_;
    std::vector<double> times_;
    std::vector<double> pressures_;
    qsizetype cuedEvent_ = -1;  // the phase occurrence whose cue has sounded
};

// One row of the closing summary: a phase as the guide timed it and as the downloaded report's
// evaluation found it.
struct GuideSummaryRow {
    Phase phase;
    std::optional<double> guideS;
    std::optional<double> reportS;
    QString limit;       // "at least 3:59", "no limit"
    bool agrees = true;  // within the tolerance, or nothing to compare
};
// `toleranceS` is one poll period in logger time.
QList<GuideSummaryRow> guideSummary(const LiveGuide& guide, const Evaluation& evaluation,
                                    double toleranceS);

}  // namespace vr5
