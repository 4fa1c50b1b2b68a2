// Print Many's figure: 100 joint reports (the field-length fixtures, a few hundred samples each)
// to one PDF, a page each, as `vr5xp --export-pdf OUT FILE...` and the window's job make it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
    QApplication app(argc, argv);

    const QStringList descriptions =
        QDir(QStringLiteral(VR5_BENCH_FIXTURE_DIR)).entryList({QStringLiteral("*.txt")});
    QList<QByteArray> images;
    for (const QString& name : descriptions) {
        fixtures::FixtureDescription fixture;
        QString error;
        if (!name.startsWith(QStringLiteral("damaged")) &&
            fixtures::readFixtureFile(QStringLiteral(VR5_BENCH_FIXTURE_DIR "/") + name, fixture,
                                      error)) {
            images << fixtures::buildFixture(fixture);
        }
    }
    if (images.isEmpty()) {
        std::fprintf(stderr, "print_many_bench: no fixtures\n");
        return 1;
    }
    for (int i = 0; i < kReports; ++i) {
        const QString path = home.filePath(QStringLiteral("report-%1.tjr").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write(images[i % images.size()]);
        reports << path;
    }
    outputFolder = home.path();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
