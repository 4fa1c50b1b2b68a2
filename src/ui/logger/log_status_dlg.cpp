#include "ui/logger/log_status_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app_info.h"
#include "evaluation/job_summary.h"
#include "logger/setup_summary.h"
#include "platform/termination.h"
#include "settings/settings_keys.h"
#include "ui/archive/archive_on_store.h"
#include "ui/logger/guide_panel.h"
#include "ui/logger/guide_summary_dlg.h"
#include "ui/logger/port_tried.h"
#include "ui/setup/setup_pages.h"

namespace vr5 {

namespace {

QFont largeFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(50);
    font.setBold(true);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QLabel* largeReading(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(largeFont());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the widest reading: a pressure in MPa, a stopwatch.
    label->setMinimumWidth(
        QFontMetrics(label->font()).horizontalAdvance(QStringLiteral("00:00.00")));
    return label;
}

// The low-battery picture: an outlined battery with a short red charge, 32 by 16 screen pixels
// drawn at twice the size for sharp scaled screens.
QPixmap lowBatteryPicture() {
    constexpr int kRatio = 2;
    QPixmap picture(32 * kRatio, 16 * kRatio);
    picture.setDevicePixelRatio(kRatio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(1, 2, 26, 12);
    p.fillRect(28, 6, 3, 5, Qt::black);
    p.fillRect(3, 4, 6, 9, Qt::red);
    return picture;
}

}  // namespace

CLogStatusDlg::CLogStatusDlg(SetupContext context, QString reportFolder, QWidget* parent)
    : QDialog(parent),
      c_(context),
      prompter_(context.prompter, *this),
      cycle_({context.settings, context.state, prompter_}, std::move(reportFolder)),
      runner_(cycle_, prompter_) {
    setWindowTitle(QStringLiteral("Log/Status"));

    pressureBox_ = new QGroupBox(this);
    pressure_ = largeReading(pressureBox_);
    battery_ = new QLabel(pressureBox_);
    battery_->setPixmap(lowBatteryPicture());
    battery_->hide();
    auto* pressureLayout = new QHBoxLayout(pressureBox_);
    pressureLayout->addWidget(battery_);
    pressureLayout->addWidget(pressure_, 1);

    temperatureBox_ = new QGroupBox(this);
    temperature_ = largeReading(temperatureBox_);
    auto* temperatureLayout = new QHBoxLayout(temperatureBox_);
    temperatureLayout->addWidget(temperature_);

    probeVersion_ = new QLabel(this);
    probeVersion_->setAlignment(Qt::AlignCenter);

    loggingPanel_ = new QFrame(this);
    static_cast<QFrame*>(loggingPanel_)->setFrameShape(QFrame::StyledPanel);
    auto* labels = new QLabel(QStringLiteral("Bead:\nSoak:\nFuse:\nCool:"), loggingPanel_);
    recommended_ = new QLabel(loggingPanel_);
    recommended_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QFont panelFont = font();
    panelFont.setPointSizeF(panelFont.pointSizeF() * 1.4);
    panelFont.setBold(true);
    labels->setFont(panelFont);
    recommended_->setFont(panelFont);
    auto* panelLayout = new QHBoxLayout(loggingPanel_);
    panelLayout->addWidget(labels);
    panelLayout->addWidget(recommended_, 1);

    statusBox_ = new QGroupBox(this);
    statusText_ = new QLabel(statusBox_);
    statusText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    statusText_->setMinimumHeight(statusText_->fontMetrics().lineSpacing() * 4);
    statusText_->setWordWrap(true);
    auto* statusLayout = new QVBoxLayout(statusBox_);
    statusLayout->addWidget(statusText_);

    stopwatchBox_ = new QGroupBox(QStringLiteral("Stopwatch"), this);
    stopwatch_ = largeReading(stopwatchBox_);
    reset_ = new QPushButton(QStringLiteral("Reset"), stopwatchBox_);
    auto* stopwatchLayout = new QHBoxLayout(stopwatchBox_);
    stopwatchLayout->addWidget(stopwatch_, 1);
    stopwatchLayout->addWidget(reset_);

    setup_ = new QPushButton(this);
    connect_ = new QPushButton(this);
    setup_->setAutoDefault(false);
    connect_->setAutoDefault(false);
    reset_->setAutoDefault(false);

    auto* readings = new QGridLayout;
    readings->addWidget(pressureBox_, 0, 0);
    readings->addWidget(temperatureBox_, 0, 1);
    readings->addWidget(loggingPanel_, 0, 1);
    guideBox_ = new QCheckBox(QStringLiteral("Guide"), this);
    guideBox_->setToolTip(
        QStringLiteral("Show the live guide: the joint's curve, its phase and "
                       "the procedure's limits"));
    guidePanel_ = new GuidePanel(c_.settings, this);
    guidePanel_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(guideBox_);
    buttons->addStretch(1);
    buttons->addWidget(setup_);
    buttons->addWidget(connect_);
    auto* layout = new QVBoxLayout;
    layout->addLayout(readings);
    layout->addWidget(probeVersion_);
    layout->addWidget(statusBox_);
    layout->addWidget(stopwatchBox_);
    layout->addLayout(buttons);
    // The guide widens the window to the right; the window's own column stays as it is.
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(layout);
    outer->addWidget(guidePanel_, 1);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    guideBox_->setChecked(c_.settings.read(keys::GuideShown, 0) != 0);
    showGuide(guideBox_->isChecked());
    QObject::connect(guideBox_, &QCheckBox::toggled, this, [this](bool shown) {
        c_.settings.write(keys::GuideShown, shown ? 1 : 0);
        showGuide(shown);
    });

    QObject::connect(connect_, &QPushButton::clicked, this, &CLogStatusDlg::onConnectButton);
    QObject::connect(setup_, &QPushButton::clicked, this, &CLogStatusDlg::onSetupButton);
    QObject::connect(reset_, &QPushButton::clicked, this, [this] { cycle_.resetStopwatch(); });

    QObject::connect(
        &runner_, &CycleRunner::stepped, this,
        [this](const LoggingCycle::StepResult& result, const std::optional<QByteArray>& line) {
            // The guide reads the replies the cycle has handled; it answers none.
            if (line) {
                if (const auto reply = protocol::parseStatusReply(*line))
                    guidePanel_->reply(*reply);
            }
            setWindowTitle(c_.settings.read(keys::DemoMode, 0) != 0
                               ? QStringLiteral("Log/Status (DEMO)")
                               : QStringLiteral("Log/Status"));
            render();
            // The archive holds what the logger gave before anyone could change it.
            if ((result.endDialog || result.alreadySaved) && !cycle_.downloadedPath().isEmpty())
                archiveStoredReport(c_.settings, cycle_.downloadedPath(), parentWidget(),
                                    QStringLiteral("downloaded report"));
            if (result.endDialog) {
                showGuideSummary();
                reject();
            }
        });
    QObject::connect(&runner_, &CycleRunner::linkLost, this, [this] { render(); });
    built_ = true;
    render();
    runner_.startSteps();
}

void CLogStatusDlg::ShownFirst::show(const QString& text, const QString& caption, Icon icon) {
    if (window_.built_) window_.render();
    inner_.show(text, caption, icon);
}

Prompter::Answer CLogStatusDlg::ShownFirst::ask(const QString& text, const QString& caption,
                                                Buttons buttons, Icon icon) {
    if (window_.built_) window_.render();
    return inner_.ask(text, caption, buttons, icon);
}

CLogStatusDlg::~CLogStatusDlg() {
    built_ = false;
    // The program quits with the window open: a download under way is kept as closing would.
    if (!closing_) {
        closing_ = true;
        runner_.close();
        closeCycle();
    }
}

void CLogStatusDlg::render() {
    const LogStatusDisplay& d = cycle_.display();
    pressureBox_->setTitle(d.pressureCaption);
    pressure_->setText(d.pressureReading);
    battery_->setVisible(d.batteryPicture);
    temperatureBox_->setTitle(d.temperatureCaption);
    temperature_->setText(d.temperatureReading);
    probeVersion_->setText(d.probeVersion);
    temperatureBox_->setVisible(d.readingsVisible);
    probeVersion_->setVisible(d.readingsVisible);
    loggingPanel_->setVisible(d.loggingPanelVisible);
    recommended_->setText(d.recommendedPressures);
    statusBox_->setTitle(d.statusCaption);
    statusText_->setText(d.statusText);
    stopwatchBox_->setVisible(d.stopwatchVisible);
    stopwatch_->setText(d.stopwatch);
    setup_->setText(d.setupButtonText);
    setup_->setEnabled(d.setupButtonEnabled);
    connect_->setText(d.connectButtonText);
    connect_->setEnabled(d.connectButtonEnabled);
}

void CLogStatusDlg::showGuide(bool shown) {
    guidePanel_->setVisible(shown);
}

void CLogStatusDlg::showGuideSummary() {
    const LiveGuide* guide = guidePanel_->guide();
    const QString path = cycle_.downloadedPath();
    if (!guideBox_->isChecked() || !guide || guide->tracker().events().isEmpty() || path.isEmpty())
        return;
    const ProcedureLoad load = chooseProcedure(QString(), c_.settings);
    auto* summary =
        new GuideSummaryDlg(*guide, path, load.procedure.value_or(Procedure{}), parentWidget());
    summary->show();
}

void CLogStatusDlg::openPort() {
    cycle_.beginConnect();
    render();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Counted without a sign: a hand-edited index at the top of the int range names no port
    // rather than overflowing.
    const unsigned portNumber = static_cast<unsigned>(c_.settings.read(keys::ComPort, 7)) + 1u;
    const bool opened = runner_.open(portNumber);
    QApplication::restoreOverrideCursor();
    cycle_.connectFinished(opened, portTried(portNumber));
    if (opened) runner_.resumeSteps();
    render();
}

void CLogStatusDlg::onConnectButton() {
    if (connect_->text() == QStringLiteral("Connect")) {
        if (cycle_.confirmConnect()) openPort();
    } else {
        cycle_.disconnect();
        runner_.dropLine();
        render();
    }
}

void CLogStatusDlg::onSetupButton() {
    if (setup_->text() == QStringLiteral("Stop")) {
        cycle_.stopRequested();
    } else if (setup_->text() == QStringLiteral("Setup...")) {
        DialogSetupPages dialogs(c_, this);
        SetupRunner runner(c_, *this, pages_ ? *pages_ : static_cast<SetupPages&>(dialogs));
        runner.run();
    }
    render();
}

SetupHost::Link CLogStatusDlg::linkState() const {
    switch (cycle_.link()) {
        case LoggingCycle::Link::NotConnected:
            return Link::NotConnected;
        case LoggingCycle::Link::Connected:
            return Link::Connected;
        case LoggingCycle::Link::Logging:
            return Link::Logging;
    }
    return Link::NotConnected;
}

void CLogStatusDlg::connectLogger() {
    openPort();
}

QString CLogStatusDlg::setupSummary() const {
    return buildSetupSummary(c_.settings, QDateTime::currentDateTime());
}

QString CLogStatusDlg::loggedHeaterText() const {
    return cycle_.heaterText();
}
void CLogStatusDlg::clearLoggedHeaterText() {
    cycle_.clearHeaterText();
}
void CLogStatusDlg::setPageIndex(int index) {
    cycle_.setPageIndex(index);
}
void CLogStatusDlg::resetProbeIdentity() {
    cycle_.resetProbeIdentity();
}
void CLogStatusDlg::startLogging() {
    cycle_.startLogging();
}

void CLogStatusDlg::closeCycle() {
    // A download under way is kept as far as it came; the operator is told why it ended.
    if (terminationRequested() && cycle_.downloadUnfinished()) {
        cycle_.endDownloadIncomplete(QStringLiteral("the program was stopped during the download"));
    }
    cycle_.windowClosing();
}

void CLogStatusDlg::done(int result) {
    if (!closing_) {
        closing_ = true;
        runner_.close();
        // A download under way is kept as far as it came, and shown.
        closeCycle();
        cycle_.disconnect();
    }
    QDialog::done(result);
}

}  // namespace vr5
