#include "app/headless_download.h"

#include <QDir>
#include <QEventLoop>

#include "app/headless.h"
#include "app/stream_prompter.h"
#include "logger/logging_cycle.h"
#include "logger/protocol.h"
#include "platform/com_ports.h"
#include "platform/termination.h"
#include "program_state.h"
#include "settings/settings_keys.h"
#include "ui/logger/cycle_runner.h"

namespace vr5 {

namespace {

// A download that keeps being restarted (the logger answers the wrong record, or falls silent
// at the same place) is given up after this many starts.
constexpr int kMaxDownloadStarts = 5;

}  // namespace

int runDownload(const CommandLine& command, SettingsStore& settings, const QString& reportFolder,
                QTextStream& out, QTextStream& err) {
    ProgramState state;
    // A question is answered No: nothing is cleared unattended.
    StreamPrompter prompter(err, Prompter::Answer::No);
    state.currentMachineModelText = settings.read(keys::MachineModelText);
    LoggingCycle cycle({settings, state, prompter}, reportFolder);
    CycleRunner runner(cycle, prompter);

    const unsigned port = command.comPort != 0
                              ? command.comPort
                              : static_cast<unsigned>(settings.read(keys::ComPort, 7)) + 1u;
    cycle.beginConnect();
    if (!runner.open(port)) {
        err << "Could not open " << comName(port) << " ("
            << QDir::toNativeSeparators(comDevicePath(port)) << ")." << Qt::endl;
        return kExitNoPort;
    }
    cycle.connectFinished(true);

    QEventLoop loop;
    int status = kExitNoAnswer;
    int starts = 0;
    bool ended = false;
    const auto end = [&](int exitStatus) {
        ended = true;
        status = exitStatus;
        runner.close();
        loop.exit();
    };
    // What arrived of a download that ended early is kept; the cycle has said why.
    const auto keepWhatArrived = [&](const QString& why) {
        if (cycle.downloadUnfinished()) cycle.endDownloadIncomplete(why);
        if (!cycle.downloadedPath().isEmpty()) {
            out << QDir::toNativeSeparators(cycle.downloadedPath()) << Qt::endl;
        }
        end(kExitLinkLost);
    };
    QObject::connect(&runner, &CycleRunner::linkLost, &loop, [&] {
        if (!cycle.incompleteReason().isEmpty()) return keepWhatArrived({});
        err << "The link to the logger on " << comName(port) << " was lost." << Qt::endl;
        end(kExitLinkLost);
    });
    QObject::connect(
        &runner, &CycleRunner::stepped, &loop,
        [&](const LoggingCycle::StepResult& result, const std::optional<QByteArray>& line) {
            for (const QByteArray& sent : result.commands) {
                if (sent == protocol::kReadJointInfo) ++starts;
            }
            if (result.endDialog || result.alreadySaved) {
                if (cycle.downloadedPath().isEmpty()) {
                    err << "The run could not be stored in "
                        << QDir::toNativeSeparators(reportFolder) << "." << Qt::endl;
                    return end(kExitFile);
                }
                out << QDir::toNativeSeparators(cycle.downloadedPath()) << Qt::endl;
                return end(kExitOk);
            }
            // A download that ended early (a page that stayed damaged, a logger gone quiet).
            if (!cycle.incompleteReason().isEmpty()) return keepWhatArrived({});
            if (starts > kMaxDownloadStarts && cycle.downloadUnfinished()) {
                return keepWhatArrived(QStringLiteral("the logger began the run again %1 times")
                                           .arg(kMaxDownloadStarts));
            }
            if (!cycle.polling() || starts > kMaxDownloadStarts) {
                err << "No answer from the logger on " << comName(port) << "." << Qt::endl;
                return end(kExitNoAnswer);
            }
            // A status reply that does not announce a finished run ends the command.
            const auto reply = line ? protocol::parseStatusReply(*line) : std::nullopt;
            if (!reply || !reply->loggingState || *reply->loggingState == '2') return;
            if (cycle.downloadUnfinished()) {
                return keepWhatArrived(
                    QStringLiteral("the logger stopped offering the run during the download"));
            }
            if (*reply->loggingState == '1') {
                err << "The logger is still logging; stop the run first." << Qt::endl;
                return end(kExitStillLogging);
            }
            err << "The logger holds no finished run to download." << Qt::endl;
            end(kExitNothingToDownload);
        });
    runner.startSteps();
    setTerminationHandler([&loop] { loop.exit(); });
    loop.exec();
    setTerminationHandler({});
    if (!ended) {
        // The program was asked to end (Ctrl+C, a logout): what arrived is kept.
        runner.close();
        if (cycle.downloadUnfinished()) {
            keepWhatArrived(QStringLiteral("the program was stopped during the download"));
        } else {
            err << "Stopped." << Qt::endl;
        }
    }
    return status;
}

}  // namespace vr5
