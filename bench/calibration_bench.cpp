// A calibration file of 10 MB, nearly all of it the station's log (5,000,000 characters, two
// bytes each as the station stores them) with 5,000 checks and a summary of 2,000 lines: opened,
// dumped as JSON, its certificate laid out and printed to a PDF. The goal: opened in under
// 200 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "calibration_description.h"
#include "page/certificate_page.h"
#include "program_state.h"
#include "prompter.h"
#include "report/report_json.h"
#include "report/vr5xp_doc.h"
#include "station_log.h"
#include "ui/page_output.h"

namespace {

using namespace vr5;

constexpr qsizetype kLogCharacters = 5'000'000;
constexpr int kChecks = 5000;
constexpr int kSummaryLines = 2000;

QString calibrationPath;
QString outputFolder;

class SilentPrompter final : public Prompter {
public:
    void show(const QString&, const QString&, Icon) override {}
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Cancel; }
};

// Opens the file as the window does, or stops the benchmark with why not.
bool open(CVR5XPDoc& doc, benchmark::State& state) {
    if (doc.Open(calibrationPath) != CVR5XPDoc::OpenResult::Opened || !doc.hasCalibration()) {
        state.SkipWithError("the calibration file did not open");
        return false;
    }
    return true;
}

void BM_OpenCalibration(benchmark::State& state) {
    for (auto _ : state) {
        ProgramState program;
        SilentPrompter prompter;
        CVR5XPDoc doc(program, prompter);
        if (!open(doc, state)) return;
        benchmark::DoNotOptimize(doc.calibration().summaryLines.size());
    }
    state.counters["file_MB"] = static_cast<double>(QFileInfo(calibrationPath).size()) / 1e6;
}
BENCHMARK(BM_OpenCalibration)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DumpCalibration(benchmark::State& state) {
    ProgramState program;
    SilentPrompter prompter;
    CVR5XPDoc doc(program, prompter);
    if (!open(doc, state)) return;
    for (auto _ : state) {
        benchmark::DoNotOptimize(calibrationToJson(doc.calibration(), calibrationPath).size());
    }
}
BENCHMARK(BM_DumpCalibration)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CertificateToPdf(benchmark::State& state) {
    ProgramState program;
    SilentPrompter prompter;
    CVR5XPDoc doc(program, prompter);
    if (!open(doc, state)) return;
    for (auto _ : state) {
        QString error;
        if (!writePdfFile(buildDocumentPage(doc, Medium::Paper),
                          outputFolder + QStringLiteral("/certificate.pdf"), "bench", &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
}
BENCHMARK(BM_CertificateToPdf)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!bench::useBenchHome("calibration_bench", home)) return 1;
    QApplication app(argc, argv);

    fixtures::CalibrationDescription d = fixtures::defaultCalibration();
    d.fields[CalibrationRecord::CalibrationText] =
        fixtures::longStationLog(kLogCharacters, kChecks, kSummaryLines);
    calibrationPath = home.path() + QStringLiteral("/long_log.tdc");
    if (!bench::writeBenchFile("calibration_bench", calibrationPath, fixtures::buildCalibration(d)))
        return 1;
    outputFolder = home.path();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
