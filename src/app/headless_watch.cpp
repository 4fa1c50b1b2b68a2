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

// A remembered pressure ("337 psi", "23.2 bar") in psi; a text without a unit is in the
// pressure unit of Settings.
std::optional<double> rememberedPsi(const QString& text, int settingsUnit) {
    const std::optional<double> value = leadingNumber(text);
    if (!value) return std::nullopt;
    QString label = text.trimmed();
    const qsizetype space = label.indexOf(u' ');
    const int unit = space < 0 ? -1 : pressureUnitIndexOfLabel(label.mid(space + 1).trimmed());
    return *value * psiPerUnit(unit >= 0 ? unit : settingsUnit);
}

// Seconds to a tenth, as the logger counts them.
double tenths(double seconds) {
    return std::round(seconds * 10) / 10;
}

QJsonValue phaseValue(const std::optional<Phase>& phase) {
    return phase ? QJsonValue(phaseKey(*phase)) : QJsonValue(QJsonValue::Null);
}

}  // namespace

PhaseGuides rememberedGuides(const SettingsStore& settings) {
    const int unit = settings.read(keys::PressUnitInx, 0);
    PhaseGuides guides;
    guides.beadPsi = rememberedPsi(settings.read(keys::RecHeat), unit);
    guides.fusePsi = rememberedPsi(settings.read(keys::RecFuse), unit);
    guides.dragPsi = rememberedPsi(settings.read(keys::DragPressure), unit);
    if (!guides.dragPsi) guides.dragPsi = rememberedPsi(settings.read(keys::RecSoak), unit);
    return guides;
}

PipeGeometry rememberedPipe(const SettingsStore& settings) {
    // The pipe fields as the report of this joint will carry them, read by the evaluation's
    // own rules.
    JointRecord rec;
    ReportFields& f = rec.fields;
    f.modelText = settings.read(keys::MachineModelText);
    f.pipeSize = settings.read(keys::PipeSize);
    f.pipeSizeUnit = settings.read(keys::PipeSizeUnit, 0);
    f.wall = settings.read(keys::WallThickness);
    f.wallUnit = settings.read(keys::WallThicknessUnit, 0);
    return pipeGeometry(rec);
}

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
    LivePhaseTracker tracker(rememberedGuides(settings),
                             phaseTimeLimits(*load.procedure, rememberedPipe(settings)));

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
            bool counted = false;
            const int samples =
                reply->sampleCount ? reply->sampleCount->trimmed().toInt(&counted) : 0;
            if (!counted || !reply->pressurePsi) return;
            const double t = samples * kPhaseSecondsPerTick;
            const qsizetype before = tracker.events().size();
            tracker.feed(t, *reply->pressurePsi);
            for (qsizetype i = before; i < tracker.events().size(); ++i)
                out << QString::fromUtf8(watchEventJson(tracker.events()[i], t)) << '\n';
            out << QString::fromUtf8(watchReplyJson(t, *reply->pressurePsi, tracker.now()))
                << Qt::endl;
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
