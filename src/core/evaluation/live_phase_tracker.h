#pragma once

#include <QList>
#include <QString>
#include <array>
#include <deque>
#include <optional>
#include <vector>

#include "evaluation/evaluation.h"
#include "evaluation/joint_reading.h"
#include "evaluation/procedure.h"

// The phase of a joint while it is being made, from the pressure of each status reply: the
// phase finder's levels and boundary rules applied as the samples come, so that the operator
// sees the phase, its running time and this joint's limit for it.
namespace vr5 {

enum class LimitState { Running, Met, Exceeded, Short };
QString limitStateKey(LimitState state);  // "running", "met", "exceeded", "short"

// A phase's time limit for this joint, in seconds; empty sides are open.
struct PhaseLimit {
    std::optional<double> minS;
    std::optional<double> maxS;
    bool any() const { return minS || maxS; }
};

// The time limits of the procedure for the pipe, as the evaluation works them out (bead-up has
// none).
std::array<PhaseLimit, kPhaseCount> phaseTimeLimits(const Procedure& procedure,
                                                    const PipeGeometry& pipe);

// "at least 3:59", "at most 0:10", "3:59 to 4:30"; empty when there is no limit. A minimum is
// shown rounded up and a maximum rounded down, so the text never allows more than the limit.
QString phaseLimitText(const PhaseLimit& limit);
// "m:ss" (whole seconds, down).
QString minutesSeconds(double seconds);

struct PhaseEvent {
    Phase phase;
    double startS;
    // The phase it followed, how long that lasted and how it stood against its limit (empty for
    // the first, and when a second bead-up takes back what looked like a soak).
    std::optional<Phase> ended;
    double endedS = 0;
    LimitState endedState = LimitState::Met;
};

struct LivePhase {
    std::optional<Phase> phase;  // empty before the first bead-up
    double phaseS = 0;           // how long it has lasted (frozen once the pressure is released)
    PhaseLimit limit;
    LimitState state = LimitState::Running;
    bool released = false;  // the fusion pressure was released: the joint is done
};

class LivePhaseTracker {
public:
    // `guides` are the set-up's gauge pressures (psi) for this joint; `limits` from
    // phaseTimeLimits (or none).
    explicit LivePhaseTracker(const PhaseGuides& guides,
                              const std::array<PhaseLimit, kPhaseCount>& limits = {});

    // One status reply: the logger's elapsed time and its pressure. Times go forward; a reply
    // no later than the one before is ignored. Returns true when a phase began.
    bool feed(double timeS, double psi);

    const LivePhase& now() const { return now_; }
    // Each phase as it began, with the time it began at (found a little after, as the finder
    // would place it); a second bead-up starts the bead-up again.
    const QList<PhaseEvent>& events() const { return events_; }

private:
    struct Sample {
        double t;
        double p;
    };
    enum class Stage { Waiting, BeadUp, Soak, Open, BuildUp, Cooling, Released };

    void begin(Phase phase, double startS, bool endsPrevious = true);
    void step();
    // Where the curve crossed `level` just before sample k.
    double crossingBefore(size_t k, double level) const;
    double median(double fromS, double toS) const;
    // A pressure past the boundary that ends the present stage.
    bool beyond(double p) const;
    // The curve holds a working pressure the set-up's bead or fusion level would never count.
    bool guidesUnreachable() const;
    // Picks up a run past the new stage's boundary that was already under way.
    void rescanPending();
    LimitState stateOf(Phase phase, double seconds, bool ended, bool startSeen) const;
    void updateNow();

    PhaseGuides guides_;
    std::array<PhaseLimit, kPhaseCount> limits_;
    PhaseLevels levels_;
    std::vector<Sample> samples_;
    // The highest pressure held for kHeldS so far: a window of the last samples with their
    // running lows.
    std::deque<Sample> window_;
    double heldTop_ = 0;
    double heldTopRoseAt_ = 0;  // when the held top last went up by more than a little
    double heldTopAtRise_ = 0;
    bool guidesDropped_ = false;  // the set-up's pressures are not the joint's

    Stage stage_ = Stage::Waiting;
    double phaseStart_ = 0;
    double phaseEnd_ = -1;  // set when the cooling ended with the release
    // Where the pressure went to the other side of the present phase's boundary, while it
    // has not stayed there long enough to count (-1: it has not).
    double pendingSince_ = -1;
    size_t pendingIndex_ = 0;
    bool startSeen_ = true;  // false for a phase under way when the tracker began
    double beadStart_ = 0;
    bool fellToZero_ = false;
    bool openVisible_ = false;  // the soak stands clear of the open level
    double zeroSince_ = -1;     // since the last bead-up ended
    double soakLevel_ = 0, soakLow_ = 0, split_ = 0;
    QList<PhaseEvent> events_;
    LivePhase now_;
};

}  // namespace vr5
