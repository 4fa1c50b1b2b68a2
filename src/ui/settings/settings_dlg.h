#pragma once

#include <QDialog>
#include <QLabel>
#include <functional>

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

// The Settings dialog: port, demo mode, units, temperature offset and the archive.
class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // The port list shows the ports folder and the serial devices present as they are when
    // the dialog opens, each time it opens.
    CSettingsDlg(SetupContext context, QWidget* parent = nullptr);
    // The same with the serial devices listDevices gives (tests).
    CSettingsDlg(SetupContext context, std::function<QStringList()> listDevices,
                 QWidget* parent = nullptr);
    // The same with these serial devices present, always (tests).
    CSettingsDlg(SetupContext context, const QStringList& presentDevices,
                 QWidget* parent = nullptr);

    SettingsPage& page() { return page_; }
    ClickableLabel* portLabel() const { return portLabel_; }
    QComboBox* portBox() const { return port_; }
    QCheckBox* demoBox() const { return demo_; }
    QCheckBox* guideSoundBox() const { return guideSound_; }
    QButtonGroup* pressureUnits() const { return pressure_; }
    QButtonGroup* temperatureUnits() const { return temperature_; }
    QLineEdit* offsetBox() const { return offset_; }
    // The archive: every download archived, where it lives, and where it lives now.
    QCheckBox* archiveDownloadsBox() const { return archiveDownloads_; }
    QLineEdit* archiveLocationBox() const { return archiveLocation_; }
    QLabel* archiveWhereLabel() const { return archiveWhere_; }
    // What the label says for a location typed: the archive it names, VR5XP_ARCHIVE's when set.
    static QString archiveWhereText(const QString& typed);
    QPushButton* okButton() const;
    QPushButton* cancelButton() const;
    QTimer* gestureTimer() const { return timer_; }
    // The "COM Port" value an entry of the port list stands for; -1 for a device without a COM
    // name yet, and for a row that is no entry.
    int portIndexAt(int row) const;
    // The row of the port list that stands for a "COM Port" value, or -1.
    int rowOfPortIndex(int portIndex) const;

    // OK: the page checks and stores the entries; a refused offset keeps the dialog open with
    // the offset box in focus.
    void accept() override;

protected:
    // Each opening after the first shows the ports as they are then.
    void showEvent(QShowEvent* event) override;

Q_SIGNALS:
    // The operator clicked "Port:" four times quickly and agreed to connect: whoever opened
    // the dialog shows Diagnostics above it.
    void diagnosticsRequested();

private:
    void display(const SettingsPage& page);
    // Fills the port list afresh, keeping the entry chosen.
    void fillPortList();
    void onPortLabelClicked();

    SettingsPage page_;
    std::function<QStringList()> listDevices_;
    QStringList presentDevices_;
    bool opened_ = false;
    ClickableLabel* portLabel_;
    QComboBox* port_;
    QCheckBox* demo_;
    QCheckBox* guideSound_ = nullptr;
    QButtonGroup* pressure_;
    QButtonGroup* temperature_;
    QLineEdit* offset_;
    QCheckBox* archiveDownloads_ = nullptr;
    QLineEdit* archiveLocation_ = nullptr;
    QLabel* archiveWhere_ = nullptr;
    QDialogButtonBox* buttons_;
    QTimer* timer_;
};

}  // namespace vr5
