#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <vector>

#include "app/headless.h"
#include "app/headless_download.h"
#include "emulator_process.h"
#include "report/report_decoder.h"
#include "settings/settings_keys.h"

extern char** environ;

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
        // A page cut short by noise is asked for again; one that stays cut ends the download.
        {"a page cut short once", finished + QStringList{"--fault", "cut@page:3"}, kExitOk, 1200},
        {"a page that stays cut", finished + QStringList{"--fault", "cut:10@page:3"}, kExitLinkLost,
         300},
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

// A page reply cut short on the line costs a second request, not a sample: the report is the same,
// byte for byte, as that of a clean link.
TEST(DownloadE2eTest, ACutPageGivesTheSameReportAsACleanLink) {
    const QStringList run{"--state",     "finished", "--samples",   "1200",
                          "--page-size", "100",      "--logged-at", "2026-12-07T09:05:03"};
    QByteArray reports[2];
    for (int i = 0; i < 2; ++i) {
        test::EmulatorProcess emulator;
        QTemporaryDir folder;
        const Outcome o = download(
            emulator, i == 0 ? run : run + QStringList{"--fault", "cut@page:3"}, folder.path());
        ASSERT_EQ(o.status, kExitOk) << o.err.toStdString();
        ASSERT_EQ(o.reports.size(), 1);
        QFile file(folder.filePath(o.reports[0]));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        reports[i] = file.readAll();
        if (i == 1) {
            EXPECT_EQ(emulator.log().count(QStringLiteral("< Wp12-0003")), 2)
                << "the cut page was asked for again";
        }
    }
    EXPECT_GT(reports[0].size(), 1200 * 4);
    EXPECT_EQ(reports[1], reports[0]);
}

// `vr5xp --download` stopped by the system (a terminal's Ctrl+C, a logout) keeps what arrived as
// a report and says where, as a lost link does.
TEST(DownloadE2eTest, ADownloadStoppedByTheSystemKeepsWhatArrived) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        test::EmulatorProcess emulator;
        ASSERT_TRUE(emulator.start({"--state", "finished", "--samples", "3000", "--page-size", "10",
                                    "--pace", "115200", "--fault", "slow:20"}));
        QTemporaryDir home;
        const QString out = home.filePath(QStringLiteral("out.txt"));
        std::vector<QByteArray> env;
        for (char** e = environ; *e; ++e) {
            const QByteArray entry(*e);
            if (!entry.startsWith("HOME=") && !entry.startsWith("XDG_")) env.push_back(entry);
        }
        env.push_back("HOME=" + QFile::encodeName(home.path()));
        env.push_back("XDG_CONFIG_HOME=" + QFile::encodeName(home.filePath(".config")));
        env.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(home.path()));
        std::vector<char*> envp;
        for (QByteArray& entry : env) envp.push_back(entry.data());
        envp.push_back(nullptr);
        QByteArray args[] = {VR5XP_PATH, "--download", "--port", "COM8"};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), nullptr};
        const QByteArray outName = QFile::encodeName(out);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const QByteArray errName = QFile::encodeName(home.filePath(QStringLiteral("err.txt")));
        posix_spawn_file_actions_addopen(&actions, 1, outName.constData(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errName.constData(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);

        for (int i = 0; i < 1000 && !emulator.log().contains(QStringLiteral("< Wp12-0005")); ++i) {
            QThread::msleep(10);
        }
        ASSERT_TRUE(emulator.log().contains(QStringLiteral("< Wp12-0005")));
        kill(pid, signal);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal, not by the program";
        EXPECT_EQ(WEXITSTATUS(status), kExitLinkLost);

        const QString reportFolder = home.filePath(QStringLiteral("Documents/Joint Reports"));
        const QStringList files = QDir(reportFolder).entryList(QDir::Files | QDir::Hidden);
        ASSERT_EQ(files, QStringList({QStringLiteral("VR Job 1000 Joint 1 by EMU.tjr")}));
        const int samples = samplesIn(QDir(reportFolder).filePath(files[0]));
        EXPECT_GE(samples, 50);
        EXPECT_LT(samples, 3000);
        QFile said(out);
        ASSERT_TRUE(said.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromLocal8Bit(said.readAll()).trimmed(),
                  QDir::toNativeSeparators(QDir(reportFolder).filePath(files[0])));
        QFile told(QString::fromLocal8Bit(errName));
        ASSERT_TRUE(told.open(QIODevice::ReadOnly));
        EXPECT_TRUE(told.readAll().contains("The joint report is incomplete"));
    }
}

}  // namespace
}  // namespace vr5
