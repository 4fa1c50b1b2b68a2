#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/headless.h"
#include "app/headless_download.h"
#include "emulator_process.h"
#include "report/report_decoder.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

struct Outcome {
    int status = -1;
    QString out, err;
    QStringList reports;
};

// `vr5xp --download` against an emulator started with `options`, into a fresh report folder.
Outcome download(test::EmulatorProcess& emulator, const QStringList& options,
                 const QString& folder) {
    Outcome o;
    if (!options.isEmpty() && !emulator.start(options)) return o;
    MemorySettingsStore settings;
    settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
    CommandLine command;
    command.mode = CommandLine::Mode::Download;
    QTextStream out(&o.out);
    QTextStream err(&o.err);
    o.status = runDownload(command, settings, folder, out, err);
    o.reports = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    return o;
}

int samplesIn(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    JointRecord rec;
    decodeReport(file.readAll(), rec);
    return static_cast<int>(rec.time.size());
}

TEST(DownloadE2eTest, EveryOutcomeOfTheCommandLineDownload) {
    const QStringList finished{"--state",    "finished", "--job",     "12",   "--joint",     "7",
                               "--employee", "A5",       "--samples", "1200", "--page-size", "100"};
    const struct {
        const char* what;
        QStringList options;
        int status;
        int samples;  // of the report kept; 0 = none kept
    } cases[] = {
        {"a finished run", finished, kExitOk, 1200},
        {"paced at the line rate", finished + QStringList{"--pace", "115200"}, kExitOk, 1200},
        {"slow replies", finished + QStringList{"--fault", "slow:60"}, kExitOk, 1200},
        {"a first byte 0xFF", finished + QStringList{"--fault", "ff@cmd:3"}, kExitOk, 1200},
        {"a wrong record once", finished + QStringList{"--fault", "wrong-record@cmd:4"}, kExitOk,
         1200},
        // One command lost: two silent steps, the status poll again, the download afresh.
        {"one lost command within a download",
         finished + QStringList{"--fault", "silence:1@page:3"}, kExitOk, 1200},
        // Five silent steps in a row end the polling: what arrived is kept.
        {"a logger gone quiet within a download",
         finished + QStringList{"--fault", "silence:1000@page:3"}, kExitLinkLost, 300},
        {"an idle logger", {"--state", "idle"}, kExitNothingToDownload, 0},
        {"a logger that logs", {"--state", "logging", "--time-scale", "1"}, kExitStillLogging, 0},
        {"silence", {"--fault", "silence:1000"}, kExitNoAnswer, 0},
        {"garbage", {"--fault", "garbage"}, kExitNoAnswer, 0},
        {"a 42-character status", {"--fault", "short-status"}, kExitNoAnswer, 0},
        {"the link dropped mid-download", finished + QStringList{"--fault", "drop@page:5"},
         kExitLinkLost, 500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::EmulatorProcess emulator;
        QTemporaryDir folder;
        const Outcome o = download(emulator, c.options, folder.path());
        EXPECT_EQ(o.status, c.status) << o.err.toStdString();
        if (c.samples == 0) {
            EXPECT_TRUE(o.reports.isEmpty()) << o.reports.join(u',').toStdString();
            EXPECT_TRUE(o.out.isEmpty());
            continue;
        }
        ASSERT_EQ(o.reports.size(), 1) << o.reports.join(u',').toStdString();
        EXPECT_EQ(o.out.trimmed(), QDir::toNativeSeparators(folder.filePath(o.reports[0])));
        EXPECT_EQ(samplesIn(folder.filePath(o.reports[0])), c.samples);
        if (c.status == kExitOk) {
            EXPECT_EQ(o.reports[0], "VR Job 12 Joint 7 by A5.tjr");
        }
    }
}

TEST(DownloadE2eTest, APortThatCannotBeOpened) {
    test::EmulatorProcess noEmulator;  // a ports folder with nothing in it
    QTemporaryDir folder;
    const Outcome o = download(noEmulator, {}, folder.path());
    EXPECT_EQ(o.status, kExitNoPort);
    EXPECT_TRUE(o.err.contains(QStringLiteral("COM8"))) << o.err.toStdString();
}

}  // namespace
}  // namespace vr5
