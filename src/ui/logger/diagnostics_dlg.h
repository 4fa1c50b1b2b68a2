#pragma once

#include <QDialog>
#include <QTimer>

#include "logger/diagnostics_session.h"
#include "logger/line_assembler.h"
#include "logger/serial_link.h"
#include "platform/serial_port.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vr5 {

// The Diagnostics window, a service view of the logger: button, battery, sensors and offsets.
// It connects by itself when it opens and polls every 200 ms.
class CDiagnosticsDlg : public QDialog, public SerialByteSink {
    Q_OBJECT
public:
    explicit CDiagnosticsDlg(SetupContext context, QWidget* parent = nullptr);
    ~CDiagnosticsDlg() override;

    DiagnosticsSession& session() { return session_; }
    QLineEdit* temperatureOffsetBox() const { return temperatureOffset_; }
    QLineEdit* pressureOffsetBox() const { return pressureOffset_; }
    QPushButton* changeOffsetButton() const { return change_; }
    QPushButton* clearButton() const { return clear_; }
    QLabel* batteryLabel() const { return battery_; }
    QGroupBox* probeBox() const { return probe_; }

    void onSerialByte(unsigned char byte, unsigned portNumber) override;
    void onSerialError(const QString& text, bool linkLost) override;

    void done(int result) override;

private:
    void step();
    void render();

    SetupContext c_;
    DiagnosticsSession session_;
    LineAssembler lines_;
    CSerialPort port_;
    QTimer timer_;
    bool closing_ = false;

    QGroupBox* probe_;
    QLabel* button_;
    QLabel* battery_;
    QLabel* temperature_;
    QLabel* temperatureReported_;
    QLineEdit* temperatureOffset_;
    QLabel* pressure_;
    QLabel* pressureReported_;
    QLineEdit* pressureOffset_;
    QPushButton* change_;
    QPushButton* clear_;
};

}  // namespace vr5
