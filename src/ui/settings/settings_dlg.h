#pragma once

#include <QDialog>
#include <QLabel>

#include "settings/settings_page.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vr5 {

// A label that reports a click of the left button, as a button does: pressed and released on
// it.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The Settings dialog: port, demo mode, units and temperature offset.
class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // The port list shows the ports folder as it is now and the serial devices present now.
    CSettingsDlg(SetupContext context, QWidget* parent = nullptr);
    // The same with the serial devices given (tests).
    CSettingsDlg(SetupContext context, const QStringList& presentDevices,
                 QWidget* parent = nullptr);

    SettingsPage& page() { return page_; }
    ClickableLabel* portLabel() const { return portLabel_; }
    QComboBox* portBox() const { return port_; }
    QCheckBox* demoBox() const { return demo_; }
    QButtonGroup* pressureUnits() const { return pressure_; }
    QButtonGroup* temperatureUnits() const { return temperature_; }
    QLineEdit* offsetBox() const { return offset_; }
    QPushButton* okButton() const;
    QPushButton* cancelButton() const;
    QTimer* gestureTimer() const { return timer_; }

    // OK: the page checks and stores the entries; a refused offset keeps the dialog open with
    // the offset box in focus.
    void accept() override;

Q_SIGNALS:
    // The operator clicked "Port:" four times quickly and agreed to connect: whoever opened
    // the dialog shows Diagnostics above it.
    void diagnosticsRequested();

private:
    void display(const SettingsPage& page);
    void onPortLabelClicked();

    SettingsPage page_;
    QStringList presentDevices_;
    ClickableLabel* portLabel_;
    QComboBox* port_;
    QCheckBox* demo_;
    QButtonGroup* pressure_;
    QButtonGroup* temperature_;
    QLineEdit* offset_;
    QDialogButtonBox* buttons_;
    QTimer* timer_;
};

}  // namespace vr5
