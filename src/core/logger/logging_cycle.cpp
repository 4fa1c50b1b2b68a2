#include "logger/logging_cycle.h"

#include <QDir>
#include <QFileInfo>
#include <limits>

#include "app_info.h"
#include "settings/settings_keys.h"
#include "setup/gauge_pressure.h"
#include "text/machine_tests.h"
#include "text/number_text.h"

namespace vr5 {

namespace {

constexpr const char* kReadyCaption = "Ready";
constexpr const char* kLoggingCaption = "Logging...";
constexpr const char* kSetupButton = "Setup...";
constexpr const char* kStopButton = "Stop";
constexpr const char* kUnknownIdentity = "------";

QString downloadingText(const QString& step) {
    return QStringLiteral("Downloading joint report... (") + step + u')';
}

QString reportName(const QString& path) {
    return QFileInfo(path).fileName();
}

}  // namespace

LoggingCycle::LoggingCycle(SetupContext context, QString reportFolder,
                           std::function<QDateTime()> clock)
    : c_(context), reportFolder_(std::move(reportFolder)), clock_(std::move(clock)) {
    RefreshUnitLabels(c_.settings, c_.state);
    temperatureUnit_ = c_.settings.read(keys::TempUnitInx, 0);
    display_.pressureCaption = c_.state.pressureUnitLabel;
    display_.temperatureCaption = c_.state.temperatureUnitLabel;
    showReadyDisplay();
}

bool LoggingCycle::confirmConnect() {
    return c_.prompter.ask(QString::fromUtf8(kConnectQuestion), QString::fromUtf8(kConnectCaption),
                           Prompter::Buttons::OkCancel,
                           Prompter::Icon::Information) == Prompter::Answer::Ok;
}

void LoggingCycle::beginConnect() {
    loadCurrentUnits(c_.settings, c_.state);
    temperatureUnit_ = c_.settings.read(keys::TempUnitInx, 0);
    display_.connectButtonEnabled = false;
}

void LoggingCycle::connectFinished(bool opened, const PortTried& port) {
    if (opened) {
        link_ = Link::Connected;
        display_.connectButtonText = QStringLiteral("Disconn.");
        if (lost_) {
            // The port is open again after it failed: polling starts afresh.
            lost_ = false;
            polling_ = true;
            display_.statusText = QString::fromUtf8(kReadyText);
            state_ = 0;
            silentA_ = 0;
            silentB_ = 0;
        }
    } else {
        disconnect();
        c_.prompter.show(connectFailedText(port), QStringLiteral("Error"), Prompter::Icon::Error);
    }
    display_.connectButtonEnabled = true;
}

void LoggingCycle::disconnect() {
    const bool setUp = setUpUnderWay() || build_ != Build::None;
    state_ = 0;
    battery_ = 100;
    // Another logger may be there at the next connect: its run is looked at afresh.
    holdsRun_ = false;
    savedRun_.clear();
    clearPending_ = false;
    link_ = Link::NotConnected;
    display_.pressureCaption = c_.state.pressureUnitLabel;
    display_.batteryPicture = false;
    display_.pressureReading = QStringLiteral("---");
    display_.connectButtonText = QStringLiteral("Connect");
    showReadyDisplay();
    if (setUp) abandonSetUp();
}

void LoggingCycle::abandonSetUp() {
    build_ = Build::None;
    outgoing_.clear();
    display_.statusText = QString::fromUtf8(kSetUpInterrupted);
}

void LoggingCycle::showReadyDisplay() {
    if (!display_.statusCaption.startsWith(QLatin1String(kReadyCaption))) {
        display_.statusCaption = QString::fromLatin1(kReadyCaption);
        display_.setupButtonText = QString::fromLatin1(kSetupButton);
        display_.statusText = QString::fromUtf8(kReadyText);
        display_.stopwatchVisible = false;
    }
    display_.loggingPanelVisible = false;
    display_.readingsVisible = true;
}

void LoggingCycle::showLoggingDisplay() {
    if (!display_.statusCaption.startsWith(QLatin1String("Logging"))) {
        display_.statusCaption = QString::fromLatin1(kLoggingCaption);
        display_.setupButtonText = QString::fromLatin1(kStopButton);
        display_.stopwatchVisible = true;

        using namespace keys;
        QString values[4];
        if (isMechanicalModelText(c_.state.currentMachineModelText)) {
            values[0] = c_.settings.read(FittingHeatPressure);
            values[1] = QString::fromLatin1(kNoGaugePressure);
            values[2] = c_.settings.read(FittingFusePressure);
            values[3] = QString::fromLatin1(kNoGaugePressure);
        } else {
            const StringKey interfacial[] = {HeatIfp, SoakIfp, FuseIfp, CoolIfp};
            for (int i = 0; i < 4; ++i) {
                values[i] = GetRecommendedGaugePressure(c_.settings.read(interfacial[i]),
                                                        c_.settings, c_.state);
            }
        }
        const StringKey recommended[] = {RecHeat, RecSoak, RecFuse, RecCool};
        for (int i = 0; i < 4; ++i) {
            c_.settings.write(recommended[i], values[i]);
            const QByteArray latin = values[i].toLatin1();
            c_.settings.write(demoPsi(i + 1), readLeadingInt(latin.constData(), latin.size()));
        }
        c_.settings.write(DemoPsiInx, 1);
        display_.recommendedPressures =
            values[0] + u'\n' + values[1] + u'\n' + values[2] + u'\n' + values[3];
    }
    display_.loggingPanelVisible = true;
    display_.readingsVisible = false;
}

void LoggingCycle::batteryBlink() {
    if (display_.pressureCaption != c_.state.pressureUnitLabel) {
        display_.batteryPicture = false;
        display_.pressureCaption = c_.state.pressureUnitLabel;
    } else if (battery_ <= 20) {
        display_.pressureCaption = c_.state.pressureUnitLabel + QStringLiteral(" [BAT!]");
        display_.batteryPicture = true;
    }
}

QByteArray LoggingCycle::nextStatusPoll() {
    const int demo = c_.settings.read(keys::DemoMode, 0);
    const int stored = c_.settings.read(keys::DemoPsiInx, 1);
    int index = stored + (stopwatchReset_ != 0 ? 1 : 0);
    if (index < 1 || index > 4) index = 1;
    if (index != stored) c_.settings.write(keys::DemoPsiInx, index);
    const int pressure = c_.settings.read(keys::demoPsi(index), 0);
    const QByteArray poll = protocol::statusPoll(loggingRequest_, stopwatchReset_, demo, pressure);
    loggingRequest_ = 0;
    stopwatchReset_ = 0;
    return poll;
}

bool LoggingCycle::handleStatusReply(const protocol::StatusReply& reply, StepResult& out) {
    bool started = false;
    if (reply.loggingState) {
        const char logging = *reply.loggingState;
        holdsRun_ = logging == '2';
        // A saved run stays known only while the logger keeps offering it.
        if (!holdsRun_) savedRun_.clear();
        if (logging == '1' && loggingRequest_ != 2) {
            showLoggingDisplay();
            link_ = Link::Logging;
        } else if (logging == '2' && !savedRun_.isEmpty()) {
            // Downloaded and found saved on this connection: not downloaded again.
            link_ = Link::Connected;
            showReadyDisplay();
            if (!clearPending_) {
                display_.statusText = QString::fromUtf8(kSavedRunText).arg(reportName(savedRun_));
            }
        } else if (logging == '2') {
            display_.setupButtonEnabled = false;
            display_.statusText = downloadingText(QStringLiteral("A"));
            link_ = Link::Connected;
            showReadyDisplay();
            started = true;
        } else {
            link_ = Link::Connected;
            showReadyDisplay();
        }
    }
    if (reply.battery) battery_ = *reply.battery;
    if (reply.hasInfo) {
        probeIdentity_ = reply.probeIdentity;
        display_.probeVersion = reply.probeVersion;
    } else {
        probeIdentity_.clear();
        display_.probeVersion.clear();
    }

    const bool celsius = temperatureUnit_ == 1;
    const int offset = keys::readTempOffset(c_.settings);
    QString temperature;
    if (reply.temperatureF == 777) {
        temperature = QStringLiteral("ERR");
    } else if (reply.temperatureF == 0) {
        temperature = QStringLiteral("-0-");
    } else {
        const int value = celsius ? (reply.temperatureF - 32) * 5 / 9 : reply.temperatureF;
        temperature = QString::number(value + offset);
    }
    if (reply.temperaturePresent) {
        if (c_.settings.read(keys::DemoMode, 0) != 0) {
            temperature = celsius ? QStringLiteral("230") : QStringLiteral("440");
        }
        display_.temperatureReading = temperature;
        heaterText_ = temperature + u' ' + c_.state.temperatureUnitLabel;
    } else {
        display_.temperatureReading = QStringLiteral("---");
    }
    if (wizardPage_ != 6) heaterText_.clear();
    if (wizardPage_ == 6 && !heaterText_.isEmpty()) {
        display_.temperatureCaption = display_.temperatureCaption == c_.state.temperatureUnitLabel
                                          ? QStringLiteral("* Log ") + heaterText_
                                          : c_.state.temperatureUnitLabel;
    } else {
        display_.temperatureCaption = c_.state.temperatureUnitLabel;
    }

    if (reply.pressurePsi) {
        display_.pressureReading =
            FormatPressureReading(*reply.pressurePsi, c_.state.currentPressureUnitIndex);
    }
    if (reply.stopwatch) display_.stopwatch = QString::fromLatin1(*reply.stopwatch);
    if (reply.sampleCount && reply.elapsed && link_ == Link::Logging) {
        display_.statusText = QString::fromLatin1(reply.sampleCount->trimmed()) +
                              QStringLiteral(" data points\n\nElapsed ") +
                              QString::fromLatin1(*reply.elapsed);
    }
    if (started) out.commands.append(protocol::kReadJointInfo);
    return started;
}

bool LoggingCycle::takesLineAtOnce(const QByteArray& line) const {
    if (link_ == Link::NotConnected || !polling_) return false;
    if (state_ == 1) return protocol::isRecord(line, "Pw02:");
    return downloading();
}

LoggingCycle::StepResult LoggingCycle::step(std::optional<QByteArray> line) {
    StepResult out;
    if (link_ == Link::NotConnected) {
        silentA_ = 0;
        silentB_ = 0;
        return out;
    }
    // Once polling has ended, nothing the logger still sends starts anything.
    if (!polling_) return out;
    bool recognised = true;
    switch (state_) {
        case 0:
            display_.setupButtonEnabled = true;
            out.commands.append(nextStatusPoll());
            state_ = 1;
            break;
        case 1:
            if (!line) break;
            if (const auto reply = protocol::parseStatusReply(*line)) {
                if (handleStatusReply(*reply, out)) break;
                if (clearPending_) {
                    sendClear(out);
                } else if (build_ == Build::JointInformationReady) {
                    out.commands.append(outgoing_);
                    display_.setupButtonEnabled = false;
                    display_.statusText = QStringLiteral("Setting up to log data. (1)");
                    display_.pressureReading = QStringLiteral("--");
                    const auto notes =
                        protocol::buildNotesRecord(c_.settings, c_.state, c_.prompter);
                    outgoing_ = notes.value_or(QByteArray());
                    build_ = notes ? Build::NotesReady : Build::None;
                    c_.settings.write(keys::ParameterEntered, 1);
                    state_ = 7;
                } else {
                    out.commands.append(nextStatusPoll());
                }
                downloadFailures_ = 0;
            } else if (protocol::isRecord(*line, "Pw02:")) {
                beginDownload(*line, out);
            } else {
                recognised = false;
            }
            break;
        case 2:
            if (!line) break;
            {
                QByteArray notes = *line;
                if (protocol::isRecord(notes, "Pw03:")) {
                    display_.statusText = downloadingText(QStringLiteral("C"));
                } else {
                    notes = protocol::kEmptyNotesReply;
                }
                writer_.appendSection(notes);
            }
            out.commands.append(protocol::kReadReserve);
            state_ = 3;
            break;
        case 3:
            if (!line || !protocol::isRecord(*line, "Pw04:")) break;
            writer_.appendSection(*line);
            display_.statusText = downloadingText(QStringLiteral("D"));
            out.commands.append(protocol::kReadSummary);
            state_ = 4;
            break;
        case 4:
            if (!line || !protocol::isRecord(*line, "Pw11:")) break;
            if (writer_.isOpen()) {
                writer_.appendSummary(*line);
                remaining_ =
                    std::min(protocol::fieldNumber(*line, 20, line->size()), kMaxDownloadSamples);
            }
            display_.statusText = downloadingText(QStringLiteral("E"));
            out.commands.append(protocol::readPage(0));
            pageCounter_ = 0;
            pageRetries_ = 0;
            state_ = 5;
            break;
        case 5:
            if (line) downloadPage(*line, out);
            break;
        case 6:
            polling_ = false;
            break;
        case 7:
        case 8:
            if (line) sendSetUpRecord(out);
            break;
        case 9:
            if (!line) break;
            out.commands.append(nextStatusPoll());
            display_.setupButtonEnabled = true;
            state_ = 1;
            break;
        case 10:
            // The logger's answer to the memory clear, not examined.
            if (!line) break;
            display_.statusText = QString::fromUtf8(kCleared);
            out.commands.append(nextStatusPoll());
            display_.setupButtonEnabled = true;
            state_ = 1;
            break;
        default:
            state_ = 0;
            break;
    }
    if (!recognised) polling_ = false;
    if (!line) {
        if (++silentA_ > 1) {
            if (setUpUnderWay()) abandonSetUp();
            state_ = 0;
            silentA_ = 0;
        }
        if (++silentB_ > 4) polling_ = false;
    } else {
        batteryBlink();
        silentA_ = 0;
        silentB_ = 0;
    }
    if (!polling_ && writer_.isOpen()) {
        endDownloadIncomplete(recognised ? QStringLiteral("the logger stopped answering")
                                         : QStringLiteral("the logger sent a line that is not "
                                                          "an answer"));
    }
    return out;
}

void LoggingCycle::downloadPage(const QByteArray& line, StepResult& out) {
    // A page damaged on the way is asked for again before anything of it is written.
    if (writer_.isOpen() && !protocol::isWholePage(line)) {
        if (pageRetries_ < kPageRetries) {
            ++pageRetries_;
            out.commands.append(protocol::readPage(pageCounter_));
        } else {
            endDownloadIncomplete(QStringLiteral("page %1 of the run arrived damaged %2 times")
                                      .arg(pageCounter_)
                                      .arg(kPageRetries + 1));
        }
        return;
    }
    pageRetries_ = 0;
    display_.statusText = downloadingText(QString::number(pageCounter_));
    ++pageCounter_;
    if (writer_.isOpen()) {
        // Never more samples than the summary announced, however many pages the logger gives;
        // a page without samples means it has no more, whatever its summary said.
        const qsizetype written = writer_.appendPage(line, remaining_);
        remaining_ = protocol::pageSamples(line) > 0 ? remaining_ - static_cast<int>(written) : 0;
    }
    if (remaining_ < 1) {
        polling_ = false;
        state_ = 6;
        finishDownload(out);
    } else {
        out.commands.append(protocol::readPage(pageCounter_));
    }
}

void LoggingCycle::sendSetUpRecord(StepResult& out) {
    // Only the record this state sends, and only once.
    if (build_ != (state_ == 7 ? Build::NotesReady : Build::ReserveReady)) {
        // A record could not be built: nothing more of this set-up is sent.
        abandonSetUp();
        out.commands.append(nextStatusPoll());
        display_.setupButtonEnabled = true;
        state_ = 1;
        return;
    }
    out.commands.append(outgoing_);
    display_.setupButtonEnabled = false;
    if (state_ == 7) {
        display_.statusText = QStringLiteral("Setting up to log data.. (2)");
        const auto reserve = protocol::buildReserveRecord(c_.settings, probeIdentity_, c_.prompter);
        outgoing_ = reserve.value_or(QByteArray());
        build_ = reserve ? Build::ReserveReady : Build::None;
        state_ = 8;
    } else {
        display_.statusText = QStringLiteral("Setting up to log data.. (3)");
        build_ = Build::None;
        outgoing_.clear();
        state_ = 9;
    }
}

void LoggingCycle::beginDownload(const QByteArray& line, StepResult& out) {
    c_.state.resetRangeFlag = true;
    remaining_ = 0;
    incompleteReason_.clear();
    // Only a file that cannot be made in an existing folder counts: without a folder the run
    // can be stored nowhere, and the logger's copy is the only one.
    if (writer_.begin(reportFolder_, line, c_.prompter) == DownloadWriter::Begun::NoFile) {
        if (++downloadFailures_ >= 2 &&
            c_.prompter.ask(QString::fromUtf8(kDeleteQuestion), QString::fromUtf8(kDeleteCaption),
                            Prompter::Buttons::YesNo,
                            Prompter::Icon::Error) == Prompter::Answer::Yes) {
            out.commands.append(protocol::kClearMemory);
        }
    }
    display_.statusText = downloadingText(QStringLiteral("B"));
    display_.pressureReading = QStringLiteral("--");
    out.commands.append(protocol::kReadNotes);
    display_.setupButtonEnabled = false;
    state_ = 2;
}

void LoggingCycle::finishDownload(StepResult& out) {
    if (!keepReport()) {
        out.endDialog = true;
        return;
    }
    // The logger offers a run it gave before, so closing the window would only bring it back at
    // the next connect: the window stays and offers to clear it.
    out.alreadySaved = true;
    savedRun_ = downloadedPath_;
    polling_ = true;
    state_ = 0;
    display_.setupButtonEnabled = true;
    display_.statusText = QString::fromUtf8(kSavedRunText).arg(reportName(savedRun_));
    if (askClear()) sendClear(out);
}

bool LoggingCycle::askClear() {
    return c_.prompter.ask(QString::fromUtf8(kClearQuestion).arg(reportName(savedRun_)),
                           QString::fromUtf8(kClearCaption), Prompter::Buttons::YesNo,
                           Prompter::Icon::Question) == Prompter::Answer::Yes;
}

void LoggingCycle::sendClear(StepResult& out) {
    clearPending_ = false;
    out.commands.append(protocol::kClearMemory);
    display_.statusText = QString::fromUtf8(kClearing);
    state_ = 10;
}

bool LoggingCycle::keepReport() {
    if (writer_.isOpen()) {
        display_.statusText = QStringLiteral("Saving data to file...");
        downloadedPath_ = writer_.finish(c_.prompter);
        loggingRequest_ = 0;
        if (!downloadedPath_.isEmpty()) {
            c_.state.currentReportPath = downloadedPath_;
            c_.state.reloadFlag = true;
        }
        // The same run again: its joint number was moved on when it was first saved.
        if (writer_.alreadySaved()) return true;
    }
    // The next joint's number; a number at the top of the range (a file edited by hand) stays.
    const int joint = c_.settings.read(keys::JointNumber, 1);
    c_.settings.write(keys::JointNumber,
                      joint < std::numeric_limits<int>::max() ? joint + 1 : joint);
    return false;
}

void LoggingCycle::stopRequested() {
    if (c_.prompter.ask(QString::fromUtf8(kStopQuestion), QString::fromUtf8(kStopCaption),
                        Prompter::Buttons::YesNo) != Prompter::Answer::Yes) {
        return;
    }
    loggingRequest_ = 2;
    showReadyDisplay();
    display_.statusText = QStringLiteral("Logging stopped.");
    display_.setupButtonEnabled = false;
}

void LoggingCycle::resetProbeIdentity() {
    probeIdentity_ = kUnknownIdentity;
}

bool LoggingCycle::startLogging() {
    build_ = Build::None;
    const auto refuse = [this](const QString& why) {
        display_.statusText = why;
        c_.prompter.show(why, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
        return false;
    };
    if (link_ != Link::NotConnected && !polling_) {
        return refuse(QString::fromUtf8(kNotSentSilent));
    }
    if (link_ != Link::NotConnected && holdsRun_) {
        // The logger takes no new joint while it holds one; only a run saved whole may go.
        if (savedRun_.isEmpty()) return refuse(QString::fromUtf8(kNotSentUnsaved));
        if (!askClear()) {
            return refuse(QString::fromUtf8(kNotSentHeld).arg(reportName(savedRun_)));
        }
        clearPending_ = true;
    }
    const auto record =
        protocol::buildJointInformation(c_.settings, c_.state, clock_(), c_.prompter);
    if (!record) {
        build_ = Build::None;
        return false;
    }
    outgoing_ = *record;
    build_ = Build::JointInformationReady;
    if (link_ == Link::NotConnected) display_.statusText = QString::fromUtf8(kWaitsForConnect);
    return true;
}

void LoggingCycle::windowClosing() {
    // Also a download that silence interrupted: the logger keeps the run for a fresh one.
    if (!writer_.isOpen()) return;
    endDownloadIncomplete(QStringLiteral("the window was closed during the download"));
}

void LoggingCycle::endDownloadIncomplete(const QString& why) {
    state_ = 6;
    polling_ = false;
    if (!writer_.isOpen()) return;
    incompleteReason_ = why;
    keepReport();
    display_.statusText = QStringLiteral("Joint report incomplete:\n") + why + u'.';
    QString text = QStringLiteral("The joint report is incomplete: ") + why + u'.';
    if (!downloadedPath_.isEmpty()) {
        text += QStringLiteral("\n\nWhat arrived is kept in\n") +
                QDir::toNativeSeparators(downloadedPath_) +
                QStringLiteral(
                    "\n\nThe logger still holds the joint: download it again to "
                    "have it whole.");
    }
    c_.prompter.show(text, QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
}

void LoggingCycle::linkLost() {
    lost_ = true;
    const bool downloading = writer_.isOpen();
    if (downloading) endDownloadIncomplete(QStringLiteral("the link to the logger was lost"));
    if (link_ == Link::NotConnected) return;
    const bool setUp = setUpUnderWay() || build_ != Build::None;
    const QString incomplete = downloading ? display_.statusText : QString();
    disconnect();
    if (setUp) {
        display_.statusText = QString::fromUtf8(kSetUpLinkLost);
    } else if (!incomplete.isEmpty()) {
        display_.statusText = incomplete + QStringLiteral("\nPress \"Connect\" to connect again.");
    } else {
        display_.statusText = QString::fromUtf8(kLinkLost);
    }
}

}  // namespace vr5
