// The logger link's figures: a 10,000-sample download (pages of 250 samples) from an emulated
// logger whose replies arrive at the real line rate of 115,200 baud, against the time the line
// itself needs for the bytes moved; and the longest stall of the Log/Status window's thread
// during such a download.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/headless_download.h"
#include "bench_support.h"
#include "settings/settings_keys.h"
#include "ui/logger/log_status_dlg.h"

namespace {

using namespace vr5;

constexpr int kSamples = 10000;
constexpr int kPageSize = 250;
constexpr double kBitsPerByte = 10;  // start, 8 data bits, stop
constexpr double kBaud = 115200;
constexpr unsigned kPort = 8;

// The emulator with a finished run waiting, paced at the line rate (or as `options` say).
class PacedLogger {
public:
    explicit PacedLogger(const QStringList& options = {
                             "--state", "finished", "--samples", QString::number(kSamples),
                             "--page-size", QString::number(kPageSize), "--pace", "115200"}) {
        qputenv("VR5XP_PORT_DIR", ports_.path().toLocal8Bit());
        process_.start(QStringLiteral(VR5EMU_PATH),
                       QStringList{"--link", ports_.filePath(QStringLiteral("COM8"))} + options);
        process_.waitForStarted();
        while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
        }
    }
    ~PacedLogger() {
        process_.terminate();
        process_.waitForFinished(3000);
    }

private:
    QTemporaryDir ports_;
    QProcess process_;
};

// The bytes the line carries for one download: every reply with its prefix, "eom" and CR LF,
// and every command, worked out from the report it became.
double lineSeconds(const QString& report) {
    const qint64 fileBytes = QFileInfo(report).size();
    // Each report word came as four hex digits; the summary line as itself; the preamble is ours.
    const double replyBytes = 2.0 * (fileBytes - 10) + 5 * 10;  // 5 reply framings before pages
    const int pages = (kSamples + kPageSize - 1) / kPageSize;
    const double pageFraming = pages * 10.0;
    const double commands = 4 * 6 + pages * 11.0 + 16;
    return (replyBytes + pageFraming + commands) * kBitsPerByte / kBaud;
}

void BM_DownloadAtLineRate(benchmark::State& state) {
    double ratio = 0;
    for (auto _ : state) {
        PacedLogger logger;
        QTemporaryDir folder;
        MemorySettingsStore settings;
        settings.write(keys::ComPort, static_cast<int>(kPort) - 1);
        CommandLine command;
        command.mode = CommandLine::Mode::Download;
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        QElapsedTimer clock;
        clock.start();
        const int status = runDownload(command, settings, folder.path(), outStream, errStream);
        const double seconds = clock.nsecsElapsed() / 1e9;
        if (status != 0) {
            state.SkipWithError(qPrintable(err));
            return;
        }
        ratio = seconds / lineSeconds(out.trimmed());
        state.SetIterationTime(seconds);
    }
    state.counters["time_per_line_time"] = ratio;
}
BENCHMARK(BM_DownloadAtLineRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Opens the window, presses Connect and waits for the window to close; the longest gap of a
// 5 ms heartbeat on the window's thread is its longest stall (-1: it did not close in time).
double longestStall(SettingsStore& settings, int timeoutMs) {
    ProgramState programState;
    struct Ok final : Prompter {
        void show(const QString&, const QString&, Icon) override {}
        using Prompter::ask;
        Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Ok; }
    } prompter;
    QTemporaryDir folder;
    CLogStatusDlg dialog({settings, programState, prompter}, folder.path());
    dialog.show();
    QElapsedTimer beat;
    qint64 worst = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout,
                     [&] { worst = std::max(worst, beat.restart()); });
    dialog.connectButton()->click();
    beat.start();
    heartbeat.start(5);
    if (!QTest::qWaitFor([&] { return !dialog.isVisible(); }, timeoutMs)) return -1;
    return static_cast<double>(worst);
}

void BM_WindowStallDuringDownload(benchmark::State& state) {
    double worstMs = 0;
    for (auto _ : state) {
        PacedLogger logger;
        MemorySettingsStore settings;
        settings.write(keys::ComPort, static_cast<int>(kPort) - 1);
        worstMs = longestStall(settings, 60000);
        if (worstMs < 0) return state.SkipWithError("the download did not end");
    }
    state.counters["longest_stall_ms"] = worstMs;
}
BENCHMARK(BM_WindowStallDuringDownload)->Iterations(1)->Unit(benchmark::kMillisecond);

// The window with the live guide shown while the logger logs a joint (a 20-minute joint at
// twenty times real time), then downloads it: the longest stall of its thread. Target: 50 ms.
void BM_WindowStallWhileLoggingWithTheGuide(benchmark::State& state) {
    double worstMs = 0;
    for (auto _ : state) {
        PacedLogger logger({"--state", "logging", "--time-scale", "20", "--joint-seconds", "1200",
                            "--pace", "115200"});
        MemorySettingsStore settings;
        settings.write(keys::ComPort, static_cast<int>(kPort) - 1);
        settings.write(keys::GuideShown, 1);
        settings.write(keys::GuideSound, 0);
        settings.write(keys::RecHeat, QStringLiteral("190"));
        settings.write(keys::RecFuse, QStringLiteral("190"));
        settings.write(keys::DragPressure, QStringLiteral("30 psi"));
        worstMs = longestStall(settings, 120000);
        if (worstMs < 0) return state.SkipWithError("the joint did not end");
    }
    state.counters["longest_stall_ms"] = worstMs;
    state.counters["target_ms"] = 50;
}
BENCHMARK(BM_WindowStallWhileLoggingWithTheGuide)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!bench::useBenchHome("download_bench", home)) return 1;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
