#include "app/headless_watch.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "app/headless.h"
#include "app/headless_download.h"
#include "app/headless_link.h"
#include "evaluation/job_summary.h"
#include "logger/logging_cycle.h"
#include "logger/protocol.h"
#include "settings/settings_keys.h"
#include "units/units.h"

namespace vr5 {

namespace {

// Seconds to a tenth, as the logger counts them.
double tenths(double seconds) {
    return std::round(seconds * 10) / 10;
}

QJsonValue phaseValue(const std::optional<Phase>& phase) {
    return phase ? QJsonValue(phaseKey(*phase)) : QJsonValue(QJsonValue::Null);
}

}  // namespace

QByteArray watchReplyJson(double timeS, double pressurePsi, const LivePhase& now) {
    const QString limit = phaseLimitText(now.limit);
    const QJsonObject o{
        {QStringLiteral("t_s"), tenths(timeS)},
        {QStringLiteral("pressure_psi"), pressurePsi},
        {QStringLiteral("phase"), phaseValue(now.phase)},
        {QStringLiteral("phase_s"), now.phase ? QJsonValue(tenths(now.phaseS)) : QJsonValue()},
        {QStringLiteral("limit"), limit.isEmpty() ? QJsonValue() : QJsonValue(limit)},
        {QStringLiteral("state"), now.phase ? QJsonValue(limitStateKey(now.state)) : QJsonValue()}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray watchEventJson(const PhaseEvent& event, double timeS) {
    QJsonObject o{
        {QStringLiteral("event"), QStringLiteral("phase")},
        {QStringLiteral("phase"), phaseKey(event.phase)},
        {QStringLiteral("start_s"), tenths(event.startS)},
        {QStringLiteral("t_s"), tenths(timeS)},
        {QStringLiteral("ended"), phaseValue(event.ended)},
        {QStringLiteral("ended_s"), event.ended ? QJsonValue(tenths(event.endedS)) : QJsonValue()},
        {QStringLiteral("ended_state"),
         event.ended ? QJsonValue(limitStateKey(event.endedState)) : QJsonValue()}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

int runWatch(const CommandLine& command, SettingsStore& settings, const QString& reportFolder,
             QTextStream& out, QTextStream& err) {
    const ProcedureLoad load = chooseProcedure(command.procedure, settings);
    if (!load.procedure) {
        err << load.error << Qt::endl;
        return kExitFile;
    }
    LiveGuide guide(guideSetup(settings, *load.procedure));
    const LivePhaseTracker& tracker = guide.tracker();

    HeadlessLink link(command, settings, reportFolder, err);
    if (!link.open()) return link.status();
    LoggingCycle& cycle = link.cycle();
    const QString port = link.portName();
    const auto end = [&](int exitStatus) { link.end(exitStatus); };
    bool finished = false;
    QObject::connect(&link.runner(), &CycleRunner::linkLost, &link.loop(), [&] {
        err << "The link to the logger on " << port << " was lost." << Qt::endl;
        end(kExitLinkLost);
    });
    QObject::connect(
        &link.runner(), &CycleRunner::stepped, &link.loop(),
        [&](const LoggingCycle::StepResult&, const std::optional<QByteArray>& line) {
            if (!cycle.polling()) {
                err << "No answer from the logger on " << port << "." << Qt::endl;
                return end(kExitNoAnswer);
            }
            const auto reply = line ? protocol::parseStatusReply(*line) : std::nullopt;
            if (!reply || !reply->loggingState) return;
            if (*reply->loggingState == '2') {
                finished = true;
                return end(kExitOk);
            }
            if (*reply->loggingState != '1') {
                err << "The logger is not logging." << Qt::endl;
                return end(kExitNothingToDownload);
            }
            const std::optional<GuideReading> reading = guideReading(*reply);
            if (!reading) return;
            const double t = reading->timeS;
            const qsizetype before = tracker.events().size();
            guide.feed(t, reading->psi);
            for (qsizetype i = before; i < tracker.events().size(); ++i)
                out << QString::fromUtf8(watchEventJson(tracker.events()[i], t)) << '\n';
            out << QString::fromUtf8(watchReplyJson(t, reading->psi, tracker.now())) << Qt::endl;
        });
    if (!link.run()) {
        err << "Stopped." << Qt::endl;
        return link.status();
    }
    // The run is finished: the download polls the logger afresh and fetches it.
    if (finished && command.download) return runDownload(command, settings, reportFolder, out, err);
    return link.status();
}

}  // namespace vr5
