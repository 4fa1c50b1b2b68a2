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

    const QStringList descriptions =
        QDir(QStringLiteral(VR5_BENCH_FIXTURE_DIR)).entryList({QStringLiteral("*.txt")});
    QList<QByteArray> images;
    for (const QString& name : descriptions) {
        if (name.startsWith(QStringLiteral("damaged"))) continue;
        const QByteArray image = bench::fixtureImage(
            "print_many_bench", QStringLiteral(VR5_BENCH_FIXTURE_DIR "/") + name);
        if (!image.isEmpty()) images << image;
    }
    if (images.isEmpty()) {
        std::fprintf(stderr, "print_many_bench: no fixtures\n");
        return 1;
    }
    for (int i = 0; i < kReports; ++i) {
        const QString path = home.filePath(QStringLiteral("report-%1.tjr").arg(i));
        if (!bench::writeBenchFile("print_many_bench", path, images[i % images.size()])) return 1;
        reports << path;
    }
    outputFolder = home.path();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
