#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "logger/connect_failure.h"
#include "logger/download_writer.h"
#include "logger/line_assembler.h"
#include "logger/protocol.h"
#include "setup/setup_context.h"

namespace vr5 {

// What the Log/Status window shows; the cycle keeps it, the window copies it to its widgets.
struct LogStatusDisplay {
    QString windowCaption = QStringLiteral("Log/Status");
    QString pressureCaption;  // the pressure unit label, " [BAT!]" added while low
    QString pressureReading;
    bool batteryPicture = false;  // the low-battery picture
    QString temperatureCaption;   // the temperature unit label, or "* Log " and the reading
    QString temperatureReading;
    QString probeVersion;
    bool readingsVisible = true;       // temperature reading, its caption and the probe version
    bool loggingPanelVisible = false;  // "Bead:\nSoak:\nFuse:\nCool:" and the four pressures
    QString recommendedPressures;
    QString statusCaption;  // "Ready" or "Logging..."
    QString statusText;
    bool stopwatchVisible = false;  // the stopwatch group, its reading and "Reset"
    QString stopwatch;
    QString setupButtonText;  // "Setup..." or "Stop"
    bool setupButtonEnabled = true;
    QString connectButtonText = QStringLiteral("Connect");
    bool connectButtonEnabled = true;
};

// The logging cycle of the Log/Status window: every step it takes at most one reply line from
// the logger and answers with at most one command (the one exception, a memory clear the
// operator agreed to, goes out just before the next read). It watches the logger, sends the
// set-up records of a new joint, and downloads a finished run into a report file. The window,
// the headless download and the tests all drive this one class.
class LoggingCycle {
public:
    enum class Link { NotConnected = 0, Connected = 1, Logging = 2 };
    // Which set-up record the outgoing buffer holds, ready to be sent.
    enum class Build { None = 0, JointInformationReady = 2, NotesReady = 3, ReserveReady = 4 };

    // A page that arrives damaged is asked for again this many times before the download ends.
    static constexpr int kPageRetries = 3;
    // Sample times are 16-bit: no run holds more samples than this.
    static constexpr int kMaxDownloadSamples = 65536;

    static constexpr int kFirstStepMs = 100;
    static constexpr int kStepMs = 300;

    static constexpr const char* kConnectQuestion = "Please make sure Fusilog\u00AE is turned on.";
    static constexpr const char* kConnectCaption = "Check Fusilog\u00AE";
    static constexpr const char* kConnectFailed =
        "Could not connect to Fusilog\u00AE.  Please make sure Bluetooth\u00AE is turned on.";
    static constexpr const char* kStopQuestion = "Are you sure you want to stop logging?";
    static constexpr const char* kStopCaption = "Stop Logging?";
    static constexpr const char* kReadyText =
        "Turn on Fusilog\u00AE\nand connect to\ncheck status.";
    static constexpr const char* kDeleteQuestion =
        "There is a corrupted report that must be deleted to proceed.\nDelete report?";
    static constexpr const char* kDeleteCaption = "Delete Corrupted Report";
    static constexpr const char* kSetUpInterrupted =
        "Set-up interrupted: the joint is not set up.\nRun \"Setup...\" again.";
    static constexpr const char* kLinkLost =
        "The link to the logger was lost.\nPress \"Connect\" to connect again.";
    // A finished run that the logger keeps offering after it was saved.
    static constexpr const char* kSavedRunText =
        "The joint is saved as %1.\nThe logger still holds it: \"Setup...\" offers to clear it.";
    static constexpr const char* kClearQuestion =
        "The joint is saved as %1. Clear it from the logger to log the next joint?";
    static constexpr const char* kClearCaption = "Clear Logger?";
    static constexpr const char* kClearing = "Clearing the joint from the logger...";
    static constexpr const char* kCleared =
        "The logger is cleared.\nRun \"Setup...\" to log the next joint.";
    // "Start" on the last set-up page when the set-up cannot go to the logger.
    static constexpr const char* kNotSentUnsaved =
        "The joint is not set up: the logger holds a finished joint that is not saved yet.\nIt "
        "is downloaded first; then run \"Setup...\" again.";
    static constexpr const char* kNotSentHeld =
        "The joint is not set up: the logger still holds the joint saved as %1.\nRun "
        "\"Setup...\" again and clear it to log the next joint.";
    static constexpr const char* kNotSentSilent =
        "The joint is not set up: the logger stopped answering.\nClose Log/Status, open it "
        "again and press \"Connect\".";
    static constexpr const char* kWaitsForConnect =
        "The set-up is sent once Fusilog\u00AE is connected: press \"Connect\".";
    static constexpr const char* kSetUpLinkLost =
        "The link to the logger was lost: the joint is not set up.\nPress \"Connect\", then run "
        "\"Setup...\" again.";

    struct StepResult {
        QList<QByteArray> commands;  // to be written in this order
        bool endDialog = false;      // a download has finished: the window closes
        // A download has finished and found the run saved before: nothing new was stored, the
        // window stays open to offer clearing the logger.
        bool alreadySaved = false;
    };

    // `reportFolder` is where downloads are stored; `clock` gives the computer's local time.
    LoggingCycle(SetupContext context, QString reportFolder,
                 std::function<QDateTime()> clock = &QDateTime::currentDateTime);

    const LogStatusDisplay& display() const { return display_; }
    Link link() const { return link_; }
    int state() const { return state_; }
    bool polling() const { return polling_; }
    bool downloading() const { return state_ >= 2 && state_ <= 5; }

    // Connect: the operator's confirmation, then the outcome of opening the port (`port` names
    // the port tried, for the failure message).
    bool confirmConnect();
    void beginConnect();
    void connectFinished(bool opened, const PortTried& port = {});
    void disconnect();

    // One step of the cycle, with the line taken since the last step, if any.
    StepResult step(std::optional<QByteArray> line);
    // True when a completed line is to be handled at once rather than at the next timer step:
    // during a download each reply is answered as soon as it is complete.
    bool takesLineAtOnce(const QByteArray& line) const;

    // "Stop": asks, then the next status poll asks the logger to stop.
    void stopRequested();
    // "Reset": the stopwatch is reset with the next status poll.
    void resetStopwatch() { stopwatchReset_ = 1; }

    // What the set-up pages use.
    QString heaterText() const { return heaterText_; }
    void clearHeaterText() { heaterText_.clear(); }
    void setPageIndex(int index) { wizardPage_ = index; }
    void resetProbeIdentity();
    QByteArray probeIdentity() const { return probeIdentity_; }
    // Builds the joint information; the next status reply starts sending the set-up. A logger
    // that still holds a finished run takes no set-up: the operator is told why, or, when the
    // run is saved, asked to clear it first.
    bool startLogging();

    // A download has begun and not ended (it may be waiting for the logger to answer again).
    bool downloadUnfinished() const { return writer_.isOpen(); }
    // The window closes: a download under way is kept as far as it came and shown.
    void windowClosing();
    // Ends a download under way before its last page: what arrived is kept as a report, the
    // operator is told why it is incomplete, and nothing more is sent.
    void endDownloadIncomplete(const QString& why);
    // The port failed for good (the device went away): a download under way is kept as far as
    // it came, a set-up under way ends, and "Connect" opens the port again.
    void linkLost();
    bool lost() const { return lost_; }

    // Where the last download was stored (empty when none was).
    QString downloadedPath() const { return downloadedPath_; }
    // The report that holds the finished run the logger still offers (empty when it offers none
    // or the run was not found saved).
    QString savedRun() const { return savedRun_; }
    // Why the last download ended before its last page (empty when it did not).
    QString incompleteReason() const { return incompleteReason_; }

private:
    void showReadyDisplay();
    void showLoggingDisplay();
    void batteryBlink();
    // True when the reply started a download.
    bool handleStatusReply(const protocol::StatusReply& reply, StepResult& out);
    QByteArray nextStatusPoll();
    // States 7 and 8: the notes record, then the reserve record, each after the logger's reply.
    void sendSetUpRecord(StepResult& out);
    // A set-up has sent a record and not yet had the logger's answer to its last one.
    bool setUpUnderWay() const { return state_ >= 7 && state_ <= 9; }
    // Nothing more of a set-up under way is sent; the operator is told to run it again.
    void abandonSetUp();
    void beginDownload(const QByteArray& line, StepResult& out);
    void downloadPage(const QByteArray& line, StepResult& out);
    void finishDownload(StepResult& out);
    // Moves the report into place and moves the joint number on; true when the run was found
    // saved before (nothing stored, the joint number left alone).
    bool keepReport();
    // Asks to clear the saved run from the logger; true on Yes.
    bool askClear();
    // The memory clear goes out; state 10 waits for its reply.
    void sendClear(StepResult& out);

    SetupContext c_;
    QString reportFolder_;
    std::function<QDateTime()> clock_;
    LogStatusDisplay display_;

    Link link_ = Link::NotConnected;
    int state_ = 0;
    bool polling_ = true;
    int loggingRequest_ = 0;
    int stopwatchReset_ = 0;
    int temperatureUnit_ = 0;
    int battery_ = 100;
    int wizardPage_ = 0;
    int downloadFailures_ = 0;
    int silentA_ = 0;
    int silentB_ = 0;
    int pageCounter_ = 0;
    int pageRetries_ = 0;
    int remaining_ = 0;
    bool lost_ = false;
    Build build_ = Build::None;
    QByteArray outgoing_;
    QByteArray probeIdentity_;
    QString heaterText_;
    DownloadWriter writer_;
    QString downloadedPath_;
    QString incompleteReason_;
    // The last status reply said the logger holds a finished run.
    bool holdsRun_ = false;
    // That run's report, found byte for byte in the report folder on this connection.
    QString savedRun_;
    // The operator agreed to clear the saved run before the set-up goes out.
    bool clearPending_ = false;
};

}  // namespace vr5
