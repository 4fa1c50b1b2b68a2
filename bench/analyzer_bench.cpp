// How long one step of an Analyzer slider takes on a full logger's report (10,000 samples): the
// slider moves one point, the document takes the new points and readout, and the screen page is
// laid out again and painted into an image at screen size. The most it may take is the label
// and the counter target_ms: compare that with the Time column.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QSlider>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "fixture_description.h"
#include "program_state.h"
#include "prompter.h"
#include "report/vr5xp_doc.h"
#include "ui/analyzer_dlg.h"
#include "ui/page_output.h"

namespace {

using namespace vr5;

constexpr int kSamples = 10000;
constexpr double kTargetMs = 16;  // one frame at 60 Hz: the view keeps up with the slider

QString reportPath;

class QuietPrompter : public Prompter {
public:
    void show(const QString& text, const QString&, Icon) override { shown = text; }
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Cancel; }
    QString shown;
};

// Slider 1 steps back and forth between two neighbouring points, slider 2 held at `point2`
// (0: the last point), so every iteration changes the page.
void BM_AnalyzerSliderStep(benchmark::State& state, int point1, int point2) {
    ProgramState programState;
    QuietPrompter prompter;
    CVR5XPDoc doc(programState, prompter);
    if (doc.Open(reportPath) != CVR5XPDoc::OpenResult::Opened ||
        doc.record().sampleCount != kSamples) {
        state.SkipWithError(
            ("the report did not open whole: " + prompter.shown.toStdString()).c_str());
        return;
    }
    CDlgAnalyzer dlg(doc, {});
    if (point2 != 0) dlg.slider2()->setValue(point2);
    dlg.slider1()->setValue(point1);
    bool forward = true;
    for (auto _ : state) {
        dlg.slider1()->setValue(forward ? point1 + 1 : point1);
        forward = !forward;
        const QImage image = renderPageImage(buildDocumentPage(doc, Medium::Screen), 96);
        benchmark::DoNotOptimize(image.constBits());
    }
    if (!doc.analyzer().active || doc.analyzer().readout.isEmpty()) {
        state.SkipWithError("the slider did not reach the page");
        return;
    }
    state.counters["target_ms"] = kTargetMs;
    state.SetLabel("target < " + std::to_string(static_cast<int>(kTargetMs)) + " ms");
}
// The whole record in the stretch plot, the most it can hold.
BENCHMARK_CAPTURE(BM_AnalyzerSliderStep, whole_record, 1, 0)->Unit(benchmark::kMillisecond);
// A short stretch in the middle.
BENCHMARK_CAPTURE(BM_AnalyzerSliderStep, short_stretch, 5000, 5050)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!bench::useBenchHome("analyzer_bench", home)) return 1;
    QApplication app(argc, argv);

    const QByteArray image =
        bench::fixtureImage("analyzer_bench", QStringLiteral(VR5_BENCH_REPORT_DESCRIPTION));
    reportPath = home.path() + QStringLiteral("/long_10000.tjr");
    if (image.isEmpty() || !bench::writeBenchFile("analyzer_bench", reportPath, image)) return 1;
    pageMetrics();  // measured once per program, as in the window

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
