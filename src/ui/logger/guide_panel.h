#pragma once

#include <QWidget>
#include <memory>

#include "evaluation/live_guide.h"
#include "page/page_drawing.h"
#include "settings/settings_store.h"

class QLabel;
class QTimer;

namespace vr5 {

// The live plot of the guide: the core's guide plot, replayed by the page painter.
class GuidePlot : public QWidget {
public:
    explicit GuidePlot(QWidget* parent = nullptr);
    void setGuide(const LiveGuide* guide);
    // The guide has taken a reply: the plot is drawn afresh at the next paint.
    void changed();
    // The drawing as the plot shows it at its present size.
    const PageDrawing& drawing();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const LiveGuide* guide_ = nullptr;
    PageDrawing drawing_;
    bool stale_ = true;
};

// The live guide beside Log/Status: the phase now with its time and limit, the phase that ended
// last, the cue, and the plot. It reads the status replies the window already gets and never
// sends anything to the logger.
class GuidePanel : public QWidget {
    Q_OBJECT
public:
    GuidePanel(SettingsStore& settings, QWidget* parent = nullptr);
    ~GuidePanel() override;

    // Each status reply the window takes. A joint starts afresh when the logger starts logging
    // or its elapsed time goes back (a new run).
    void reply(const protocol::StatusReply& reply);

    const LiveGuide* guide() const { return guide_.get(); }
    QLabel* phaseLine() const { return phase_; }
    QLabel* endedLine() const { return ended_; }
    QLabel* cueLine() const { return cue_; }
    GuidePlot* plot() const { return plot_; }
    // The cues given so far, in order (also for tests).
    const QList<GuideCue>& cues() const { return cues_; }

Q_SIGNALS:
    void cued(vr5::GuideCue cue);

private:
    void startJoint();
    void showState();
    void giveCue(GuideCue cue);
    void paintPhaseLine(bool flash);

    SettingsStore& settings_;
    std::unique_ptr<LiveGuide> guide_;
    GuideReplies replies_;
    QLabel* phase_;
    QLabel* ended_;
    QLabel* cue_;
    GuidePlot* plot_;
    QTimer* flash_;
    int flashesLeft_ = 0;
    QList<GuideCue> cues_;
};

}  // namespace vr5
