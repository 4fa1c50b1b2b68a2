// Print Many's figure: 100 joint reports (the field-length fixtures, a few hundred samples each)
// to one PDF, a page each, as `vr5xp --export-pdf OUT FILE...` and the window's job make it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "fixture_description.h"
#include "ui/print_many.h"

namespace {

using namespace vr5;

constexpr int kReports = 100;

QStringList reports;
QString outputFolder;

void BM_PrintManyToPdf(benchmark::State& state) {
    for (auto _ : state) {
        QStringList problems;
        QString error;
        if (!writeFilesPdf(reports, outputFolder + QStringLiteral("/many.pdf"), &problems,
                           &error) ||
            !problems.isEmpty()) {
            state.SkipWithError(qPrintable(error + problems.join(u' ')));
            return;
        }
    }
    state.counters["pages_per_second"] =
        benchmark::Counter(static_cast<double>(kReports) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintManyToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!bench::useBenchHome("print_many_bench", home)) return 1;
    QApplication app(argc, argv);

    reports = bench::writeReportCopies("print_many_bench", QStringLiteral(VR5_BENCH_FIXTURE_DIR),
                                       home.path(), kReports);
    if (reports.isEmpty()) return 1;
    outputFolder = home.path();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
