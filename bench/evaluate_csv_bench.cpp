// The job summary of a whole job's folder: `vr5xp --evaluate-csv OUT.csv` over 1,000 joint
// reports (copies of the field fixtures, a few hundred to 10,000 samples each), timed as the
// whole process an inspector's script would start.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "bench_support.h"

namespace {

using namespace vr5;

constexpr int kReports = 1000;

QStringList reports;
QString home;

void BM_EvaluateCsv1000Reports(benchmark::State& state) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    const QString output = home + QStringLiteral("/job summary.csv");

    // Returns the seconds taken, or a negative number after reporting the failure.
    auto runOnce = [&]() -> double {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.setProgram(QStringLiteral(VR5_BENCH_PROGRAM));
        program.setArguments(QStringList{QStringLiteral("--evaluate-csv"), output} + reports);
        QElapsedTimer timer;
        timer.start();
        program.start();
        const bool finished = program.waitForFinished(120000);
        const double seconds = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
        if (!finished) {
            program.kill();
            program.waitForFinished();
            state.SkipWithError("the program did not end within 2 minutes");
            return -1;
        }
        if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0) {
            const std::string text = program.readAll().left(2000).toStdString();
            state.SkipWithError(("the program failed: " + text).c_str());
            return -1;
        }
        return seconds;
    };

    // The first run of a new home fills the caches an inspector's machine has long had.
    if (runOnce() < 0) return;
    QFile summary(output);
    if (!summary.open(QIODevice::ReadOnly) || summary.readAll().count('\n') != kReports + 1) {
        state.SkipWithError("the summary does not hold one row per report");
        return;
    }
    for (auto _ : state) {
        const double seconds = runOnce();
        if (seconds < 0) break;
        state.SetIterationTime(seconds);
    }
    state.counters["target_ms"] = 5000;
    state.SetLabel("target < 5000 ms");
    state.counters["reports_per_second"] =
        benchmark::Counter(static_cast<double>(kReports) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EvaluateCsv1000Reports)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir folder;
    if (!bench::useBenchHome("evaluate_csv_bench", folder)) return 1;
    QCoreApplication app(argc, argv);
    home = folder.path();

    reports = bench::writeReportCopies("evaluate_csv_bench", QStringLiteral(VR5_BENCH_FIXTURE_DIR),
                                       folder.path(), kReports);
    if (reports.isEmpty()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
