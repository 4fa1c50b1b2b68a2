#include "app/headless_download.h"

#include <QDir>

#include "app/headless.h"
#include "app/headless_archive.h"
#include "app/headless_link.h"
#include "logger/protocol.h"

namespace vr5 {

namespace {

// A download that keeps being restarted (the logger answers the wrong record, or falls silent
// at the same place) is given up after this many starts.
constexpr int kMaxDownloadStarts = 5;

}  // namespace

int runDownload(const CommandLine& command, SettingsStore& settings, const QString& reportFolder,
                QTextStream& out, QTextStream& err) {
    HeadlessLink link(command, settings, reportFolder, err);
    if (!link.open()) return link.status();
    LoggingCycle& cycle = link.cycle();
    const QString port = link.portName();
    const auto end = [&](int exitStatus) { link.end(exitStatus); };
    int starts = 0;
    // What arrived of a download that ended early is kept; the cycle has said why.
    const auto keepWhatArrived = [&](const QString& why) {
        if (cycle.downloadUnfinished()) cycle.endDownloadIncomplete(why);
        if (!cycle.downloadedPath().isEmpty()) {
            out << QDir::toNativeSeparators(cycle.downloadedPath()) << Qt::endl;
        }
        end(kExitLinkLost);
    };
    QObject::connect(&link.runner(), &CycleRunner::linkLost, &link.loop(), [&] {
        if (!cycle.incompleteReason().isEmpty()) return keepWhatArrived({});
        err << "The link to the logger on " << port << " was lost." << Qt::endl;
        end(kExitLinkLost);
    });
    QObject::connect(
        &link.runner(), &CycleRunner::stepped, &link.loop(),
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
                // The archive holds what the logger gave before anyone could change it.
                archiveDownload(settings, cycle.downloadedPath(), err);
                return end(kExitOk);
            }
            // A download that ended early (a page that stayed damaged, a logger gone quiet).
            if (!cycle.incompleteReason().isEmpty()) return keepWhatArrived({});
            if (starts > kMaxDownloadStarts && cycle.downloadUnfinished()) {
                return keepWhatArrived(QStringLiteral("the logger began the run again %1 times")
                                           .arg(kMaxDownloadStarts));
            }
            if (!cycle.polling() || starts > kMaxDownloadStarts) {
                err << "No answer from the logger on " << port << "." << Qt::endl;
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
    if (!link.run()) {
        // The program was asked to end (Ctrl+C, a logout): what arrived is kept.
        if (cycle.downloadUnfinished()) {
            keepWhatArrived(QStringLiteral("the program was stopped during the download"));
        } else {
            err << "Stopped." << Qt::endl;
        }
    }
    return link.status();
}

}  // namespace vr5
