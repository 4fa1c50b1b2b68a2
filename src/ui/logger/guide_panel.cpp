#include "ui/logger/guide_panel.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include "evaluation/job_summary.h"
#include "page/guide_plot.h"
#include "settings/settings_keys.h"
#include "ui/page_painter.h"

namespace vr5 {

namespace {

constexpr double kScreenScale = 0.096;  // pixels per page unit at 96 dots per inch
constexpr int kFlashes = 6;
constexpr int kFlashMs = 250;

QString lineStyle(LimitState state, bool flash) {
    const char* colours = flash                      ? "background: #fff176; color: black;"
                          : state == LimitState::Met ? "background: #c8e6c9; color: #1b5e20;"
                          : state == LimitState::Exceeded || state == LimitState::Short
                              ? "background: #ffcdd2; color: #b71c1c;"
                              : "background: #eeeeee; color: black;";
    return QStringLiteral("QLabel { %1 border: 1px solid #9e9e9e; padding: 4px; }")
        .arg(QString::fromLatin1(colours));
}

}  // namespace

GuidePlot::GuidePlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(600, 320);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GuidePlot::setGuide(const LiveGuide* guide) {
    guide_ = guide;
    changed();
}

void GuidePlot::changed() {
    stale_ = true;
    update();
}

const PageDrawing& GuidePlot::drawing() {
    if (stale_) {
        static const PageMetrics metrics = measurePageMetrics();
        const PageRect box{0, 0, static_cast<int>(width() / kScreenScale),
                           -static_cast<int>(height() / kScreenScale)};
        drawing_ = guide_ ? buildGuidePlot(*guide_, box, metrics) : PageDrawing{};
        stale_ = false;
    }
    return drawing_;
}

void GuidePlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintPage(painter, drawing(), PageTransform{kScreenScale, {}});
}

void GuidePlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    stale_ = true;
}

GuidePanel::GuidePanel(SettingsStore& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    phase_ = new QLabel(this);
    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    phase_->setFont(big);
    phase_->setWordWrap(true);
    ended_ = new QLabel(this);
    ended_->setWordWrap(true);
    cue_ = new QLabel(this);
    cue_->setWordWrap(true);
    QFont bold = font();
    bold.setBold(true);
    cue_->setFont(bold);
    plot_ = new GuidePlot(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(phase_);
    layout->addWidget(ended_);
    layout->addWidget(cue_);
    layout->addWidget(plot_, 1);

    flash_ = new QTimer(this);
    flash_->setInterval(kFlashMs);
    connect(flash_, &QTimer::timeout, this, [this] {
        --flashesLeft_;
        paintPhaseLine(flashesLeft_ > 0 && flashesLeft_ % 2 == 1);
        if (flashesLeft_ <= 0) flash_->stop();
    });
    showState();
}

GuidePanel::~GuidePanel() = default;

void GuidePanel::startJoint() {
    // The set-up and the procedure as they are when the joint starts: the set-up pages wrote
    // the joint's gauge pressures before logging began.
    const ProcedureLoad load = chooseProcedure(QString(), settings_);
    GuideSetup setup;
    if (load.procedure) {
        setup = guideSetup(settings_, *load.procedure);
    } else {
        // A procedure file that no longer loads: the phases without limits.
        Procedure none;
        setup = guideSetup(settings_, none);
    }
    guide_ = std::make_unique<LiveGuide>(std::move(setup));
    plot_->setGuide(guide_.get());
    cue_->clear();
}

void GuidePanel::reply(const protocol::StatusReply& reply) {
    const GuideReplies::Taken taken = replies_.take(reply, guide_ ? guide_->lastTime() : -1);
    if (!taken.reading) return;  // finished or idle: the joint stays on show
    if (taken.newJoint) startJoint();
    const std::optional<GuideCue> cue = guide_->feed(taken.reading->timeS, taken.reading->psi);
    showState();
    plot_->changed();
    if (cue) giveCue(*cue);
}

void GuidePanel::showState() {
    phase_->setText(guide_ ? guide_->phaseLine()
                           : QStringLiteral("The guide follows the joint once logging starts."));
    ended_->setText(guide_ ? guide_->endedLine() : QString());
    if (!flash_->isActive()) paintPhaseLine(false);
}

void GuidePanel::paintPhaseLine(bool flash) {
    phase_->setStyleSheet(
        lineStyle(guide_ ? guide_->phaseLineState() : LimitState::Running, flash));
}

void GuidePanel::giveCue(GuideCue cue) {
    cues_ << cue;
    cue_->setText(guideCueText(cue));
    if (settings_.read(keys::GuideSound, 1) != 0) QApplication::beep();
    flashesLeft_ = kFlashes;
    paintPhaseLine(true);
    flash_->start();
    Q_EMIT cued(cue);
}

}  // namespace vr5
