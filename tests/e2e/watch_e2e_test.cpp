#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "app/headless.h"
#include "app/headless_watch.h"
#include "emulator_process.h"
#include "settings/settings_keys.h"

// `vr5xp --watch` against the emulator logging a joint at a raised time scale: the phases it
// announces, in order, and the run's end.
namespace vr5 {
namespace {

struct Watched {
    int status = -1;
    QString out, err;
    QStringList phases;
    QStringList reports;
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
        if (o.value(QStringLiteral("event")) == QStringLiteral("phase"))
            w.phases << o.value(QStringLiteral("phase")).toString();
    }
    w.reports = QDir(folder.path()).entryList(QDir::Files);
    return w;
}

TEST(WatchE2eTest, PhasesOfAJointAsTheLoggerLogsIt) {
    const Watched w =
        watch({"--state", "logging", "--time-scale", "2", "--joint-seconds", "60"}, false);
    EXPECT_EQ(w.status, kExitOk) << w.err.toStdString();
    EXPECT_EQ(w.phases, (QStringList{"bead_up", "heat_soak", "open", "build_up", "cooling"}))
        << w.out.toStdString();
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
