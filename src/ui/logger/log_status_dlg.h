#pragma once

#include <QDialog>

#include "logger/logging_cycle.h"
#include "setup/setup_runner.h"
#include "ui/logger/cycle_runner.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vr5 {

class GuidePanel;

// The Log/Status window: live readings from the logger, the set-up of a new joint, and the
// download of a finished run. The logging cycle decides everything; this window binds it to
// widgets, the step timer and the serial port.
class CLogStatusDlg : public QDialog, public SetupHost {
    Q_OBJECT
public:
    CLogStatusDlg(SetupContext context, QString reportFolder, QWidget* parent = nullptr);
    ~CLogStatusDlg() override;

    // The pages "Setup..." shows; the window's own dialogs unless a test gives others.
    void setSetupPages(SetupPages* pages) { pages_ = pages; }

    LoggingCycle& cycle() { return cycle_; }
    QPushButton* connectButton() const { return connect_; }
    QPushButton* setupButton() const { return setup_; }
    QPushButton* resetButton() const { return reset_; }
    QLabel* pressureReading() const { return pressure_; }
    QLabel* temperatureReading() const { return temperature_; }
    QLabel* statusText() const { return statusText_; }
    QLabel* recommendedPressures() const { return recommended_; }
    QGroupBox* statusBox() const { return statusBox_; }
    // The live guide beside the window, shown while its box is ticked.
    QCheckBox* guideBox() const { return guideBox_; }
    GuidePanel* guidePanel() const { return guidePanel_; }

    // SetupHost: what the set-up pages use.
    Link linkState() const override;
    void connectLogger() override;
    QString setupSummary() const override;
    QString loggedHeaterText() const override;
    void clearLoggedHeaterText() override;
    void setPageIndex(int index) override;
    void resetProbeIdentity() override;
    void startLogging() override;

    void done(int result) override;

private:
    void onConnectButton();
    void onSetupButton();
    void openPort();
    void closeCycle();
    void render();
    void showGuide(bool shown);
    // After a download with the guide shown: its phase times beside the report's.
    void showGuideSummary();

    // Shows the window as the cycle left it before any message, so that the status text behind a
    // box already says what the box is about.
    class ShownFirst final : public Prompter {
    public:
        ShownFirst(Prompter& inner, CLogStatusDlg& window) : inner_(inner), window_(window) {}
        void show(const QString& text, const QString& caption, Icon icon) override;
        using Prompter::ask;
        Answer ask(const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override;

    private:
        Prompter& inner_;
        CLogStatusDlg& window_;
    };

    SetupContext c_;
    bool built_ = false;
    ShownFirst prompter_;
    LoggingCycle cycle_;
    CycleRunner runner_;
    bool closing_ = false;
    SetupPages* pages_ = nullptr;

    QGroupBox* pressureBox_;
    QLabel* pressure_;
    QLabel* battery_;
    QGroupBox* temperatureBox_;
    QLabel* temperature_;
    QLabel* probeVersion_;
    QWidget* loggingPanel_;
    QLabel* recommended_;
    QGroupBox* statusBox_;
    QLabel* statusText_;
    QGroupBox* stopwatchBox_;
    QLabel* stopwatch_;
    QPushButton* reset_;
    QPushButton* setup_;
    QPushButton* connect_;
    QCheckBox* guideBox_;
    GuidePanel* guidePanel_;
};

}  // namespace vr5
