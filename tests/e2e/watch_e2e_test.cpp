#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "app/headless.h"
#include "app/headless_watch.h"
#include "emulator_process.h"
#include "evaluation/job_summary.h"
#include "settings/settings_keys.h"

// `vr5xp --watch` against the emulator logging a joint at a raised time scale: the phases it
// announces, in order, and the run's end.
namespace vr5 {
namespace {

struct Watched {
    int status = -1;
    QString out, err;
    QStringList phases;
    QList<double> starts;  // of each phase, in the logger's time
    QStringList reports;
    std::optional<Evaluation> evaluation;
};

Watched watch(const QStringList& options, bool download) {
    Watched w;
    test::EmulatorProcess emulator;
    if (!emulator.start(options)) return w;
    QTemporaryDir folder;
    MemorySettingsStore settings;
    settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
    // The set-up of the joint being logged, as the emulator's stored run has it.
    settings.write(keys::RecHeat, QStringLiteral("211 psi"));
    settings.write(keys::RecFuse, QStringLiteral("211 psi"));
    settings.write(keys::DragPressure, QStringLiteral("30 psi"));
    CommandLine command;
    command.mode = CommandLine::Mode::Watch;
    command.download = download;
    QTextStream out(&w.out);
    QTextStream err(&w.err);
    w.status = runWatch(command, settings, folder.path(), out, err);
    out.flush();
    for (const QString& line : w.out.split(u'\n', Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (o.value(QStringLiteral("event")) == QStringLiteral("phase")) {
            w.phases << o.value(QStringLiteral("phase")).toString();
            w.starts << o.value(QStringLiteral("start_s")).toDouble();
        }
    }
    w.reports = QDir(folder.path()).entryList(QDir::Files);
    // What --evaluate finds on the downloaded report, while the folder is still there.
    for (const QString& name : w.reports) {
        JointReader reader;
        if (reader.open(folder.filePath(name)) == JointReader::Opened::Report) {
            const ProcedureLoad load = chooseProcedure(QString(), settings);
            if (load.procedure) w.evaluation = evaluateJoint(reader.record(), *load.procedure);
        }
    }
    return w;
}

// The phases as they begin, then the download: each phase began where the evaluation of the
// downloaded report finds it, within one poll period (300 ms at twice real time).
TEST(WatchE2eTest, PhasesOfAJointAsTheLoggerLogsIt) {
    const Watched w =
        watch({"--state", "logging", "--time-scale", "2", "--joint-seconds", "60"}, true);
    EXPECT_EQ(w.status, kExitOk) << w.err.toStdString();
    ASSERT_EQ(w.phases, (QStringList{"bead_up", "heat_soak", "open", "build_up", "cooling"}))
        << w.out.toStdString();
    ASSERT_TRUE(w.evaluation) << w.reports.join(u' ').toStdString();
    for (int i = 0; i < kPhaseCount; ++i) {
        const auto& span = w.evaluation->phases[size_t(i)];
        ASSERT_TRUE(span) << w.phases[i].toStdString();
        EXPECT_NEAR(w.starts[i], span->startS, 0.6 + 0.2) << w.phases[i].toStdString();
    }
}

TEST(WatchE2eTest, ExitStatusesOfTheLogger) {
    EXPECT_EQ(watch({"--state", "idle"}, false).status, kExitNothingToDownload);
    EXPECT_EQ(watch({"--state", "logging", "--fault", "silence:1000"}, false).status,
              kExitNoAnswer);
    const Watched downloaded =
        watch({"--state", "logging", "--time-scale", "20", "--joint-seconds", "20"}, true);
    EXPECT_EQ(downloaded.status, kExitOk) << downloaded.err.toStdString();
    EXPECT_EQ(downloaded.reports.size(), 1);
}

}  // namespace
}  // namespace vr5
