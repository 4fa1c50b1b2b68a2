#include "ui/logger/diagnostics_dlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app_info.h"
#include "settings/settings_keys.h"
#include "ui/logger/port_tried.h"

namespace vr5 {

CDiagnosticsDlg::CDiagnosticsDlg(SetupContext context, QWidget* parent)
    : QDialog(parent), c_(context), session_(context) {
    setWindowTitle(QString::fromLatin1(DiagnosticsSession::kCaption));

    probe_ = new QGroupBox(this);
    button_ = new QLabel(probe_);
    battery_ = new QLabel(probe_);
    temperature_ = new QLabel(probe_);
    temperatureReported_ = new QLabel(probe_);
    temperatureOffset_ = new QLineEdit(probe_);
    pressure_ = new QLabel(probe_);
    pressureReported_ = new QLabel(probe_);
    pressureOffset_ = new QLineEdit(probe_);
    for (QLineEdit* box : {temperatureOffset_, pressureOffset_}) {
        box->setMaxLength(6);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    }
    change_ = new QPushButton(QStringLiteral("Change Offset"), probe_);
    clear_ = new QPushButton(QStringLiteral("Clear..."), probe_);
    // Present as they always were, without an action.
    auto* last = new QPushButton(QStringLiteral("Last..."), probe_);
    auto* dump = new QPushButton(QStringLiteral("Dump..."), probe_);
    for (QPushButton* b : {change_, clear_, last, dump}) b->setAutoDefault(false);

    auto* grid = new QGridLayout(probe_);
    grid->addWidget(button_, 0, 0);
    grid->addWidget(battery_, 0, 2);
    grid->addWidget(temperature_, 1, 0);
    grid->addWidget(temperatureReported_, 1, 1);
    grid->addWidget(temperatureOffset_, 1, 2);
    grid->addWidget(pressure_, 2, 0);
    grid->addWidget(pressureReported_, 2, 1);
    grid->addWidget(pressureOffset_, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(change_);
    buttons->addWidget(clear_);
    buttons->addWidget(last);
    buttons->addWidget(dump);
    grid->addLayout(buttons, 3, 0, 1, 3);
    grid->setColumnMinimumWidth(0, 130);
    grid->setColumnMinimumWidth(1, 110);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(probe_);

    connect(change_, &QPushButton::clicked, this,
            [this] { session_.changeOffset(pressureOffset_->text(), temperatureOffset_->text()); });
    connect(clear_, &QPushButton::clicked, this, [this] { session_.clearRequested(); });

    render();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Counted without a sign: a hand-edited index at the top of the int range names no port
    // rather than overflowing.
    const unsigned portNumber = static_cast<unsigned>(c_.settings.read(keys::ComPort, 7)) + 1u;
    const bool opened = port_.Open(this, portNumber);
    if (opened) port_.StartReader();
    QApplication::restoreOverrideCursor();
    if (!opened) port_.Close();
    session_.opened(opened, portTried(portNumber));

    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &CDiagnosticsDlg::step);
    timer_.start(DiagnosticsSession::kStepMs);
}

CDiagnosticsDlg::~CDiagnosticsDlg() {
    timer_.stop();
    port_.Close();
}

void CDiagnosticsDlg::render() {
    const DiagnosticsDisplay& d = session_.display();
    probe_->setTitle(d.probeCaption);
    button_->setText(d.button);
    battery_->setText(d.battery);
    temperature_->setText(d.temperature);
    temperatureReported_->setText(d.temperatureOffset);
    pressure_->setText(d.pressure);
    pressureReported_->setText(d.pressureOffset);
    if (session_.takeOffsetsShown()) {
        temperatureOffset_->setText(QString::number(session_.temperatureOffset()));
        pressureOffset_->setText(QString::number(session_.pressureOffset()));
    }
}

void CDiagnosticsDlg::onSerialByte(unsigned char byte, unsigned /*portNumber*/) {
    if (lines_.feed(byte) == LineAssembler::Fed::LineRepaired) {
        c_.prompter.show(QString::fromLatin1(LineAssembler::kFirstByteRepaired),
                         QString::fromUtf8(kAppTitle), Prompter::Icon::None);
    }
}

void CDiagnosticsDlg::onSerialError(const QString& text, bool linkLost) {
    c_.prompter.show(text, QStringLiteral("Application Error"), Prompter::Icon::Error);
    if (linkLost && !closing_) {
        lines_.clear();
        session_.linkLost();
        render();
    }
}

void CDiagnosticsDlg::step() {
    if (closing_) return;
    const auto result =
        session_.step(lines_.takeLine() ? std::optional<QByteArray>(lines_.line()) : std::nullopt);
    if (result.endDialog) {
        port_.Close();
        reject();
        return;
    }
    QByteArray out;
    for (const QByteArray& command : result.commands) out += command;
    if (!out.isEmpty()) port_.Write(out);
    render();
    timer_.start(DiagnosticsSession::kStepMs);
}

void CDiagnosticsDlg::done(int result) {
    if (!closing_) {
        closing_ = true;
        timer_.stop();
        session_.closed();
        port_.Close();
    }
    QDialog::done(result);
}

}  // namespace vr5
