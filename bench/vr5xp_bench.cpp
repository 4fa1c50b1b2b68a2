// How fast a full logger's report (10,000 samples) is decoded, laid out, painted, exported,
// re-ranged, and shown by a freshly started program. Every figure carries the most it may take
// as its label and as the counter target_ms: compare that with the Time column.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "fixture_description.h"
#include "page/report_page.h"
#include "program_state.h"
#include "prompter.h"
#include "report/report_decoder.h"
#include "report/vr5xp_doc.h"
#include "ui/page_output.h"

namespace {

using namespace vr5;

constexpr int kSamples = 10000;

// What the benchmarks work on, made once by main().
struct BenchInput {
    QString home;        // HOME of this run and of every program it starts
    QString reportPath;  // the report as a file, for the document and the program
    QByteArray image;    // the same report's bytes
};
const BenchInput* input = nullptr;

// A report that opens whole never asks anything; a damaged one is a failed benchmark, not a
// message box.
class QuietPrompter : public Prompter {
public:
    void show(const QString& text, const QString&, Icon) override { shown = text; }
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Cancel; }
    QString shown;
};

void setTarget(benchmark::State& state, double milliseconds) {
    state.counters["target_ms"] = milliseconds;
    state.SetLabel("target < " + std::to_string(static_cast<int>(milliseconds)) + " ms");
}

JointRecord decodedReport() {
    JointRecord rec;
    decodeReport(input->image, rec);
    return rec;
}

void BM_DecodeReport(benchmark::State& state) {
    for (auto _ : state) {
        JointRecord rec;
        decodeReport(input->image, rec);
        benchmark::DoNotOptimize(rec.heaterRemoval);
        benchmark::DoNotOptimize(rec.headerLines.size());
    }
    setTarget(state, 2);
}
BENCHMARK(BM_DecodeReport)->Unit(benchmark::kMillisecond);

void BM_BuildReportPage(benchmark::State& state, Medium medium) {
    const JointRecord rec = decodedReport();
    for (auto _ : state) {
        PageDrawing drawing = buildReportPage(rec, input->reportPath, pageMetrics(), medium);
        benchmark::DoNotOptimize(drawing.items.data());
    }
    setTarget(state, 2);
}
BENCHMARK_CAPTURE(BM_BuildReportPage, screen, Medium::Screen)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BuildReportPage, paper, Medium::Paper)->Unit(benchmark::kMillisecond);

void BM_PaintPageImage96Dpi(benchmark::State& state) {
    const PageDrawing drawing =
        buildReportPage(decodedReport(), input->reportPath, pageMetrics(), Medium::Screen);
    for (auto _ : state) {
        const QImage image = renderPageImage(drawing, 96);
        benchmark::DoNotOptimize(image.constBits());
    }
    setTarget(state, 20);
}
BENCHMARK(BM_PaintPageImage96Dpi)->Unit(benchmark::kMillisecond);

void BM_ExportPdf(benchmark::State& state) {
    const PageDrawing drawing =
        buildReportPage(decodedReport(), input->reportPath, pageMetrics(), Medium::Paper);
    const QString out = input->home + QStringLiteral("/long_10000.pdf");
    for (auto _ : state) {
        QString error;
        if (!writePdfFile(drawing, out, QStringLiteral("long_10000.tjr"), &error)) {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
    }
    setTarget(state, 100);
}
BENCHMARK(BM_ExportPdf)->Unit(benchmark::kMillisecond);

// What the search-range box does: decode again with the new range, lay out the screen page and
// paint it. Alternates between two ranges so that every iteration changes something.
void BM_SearchRangeChange(benchmark::State& state) {
    ProgramState programState;
    QuietPrompter prompter;
    CVR5XPDoc doc(programState, prompter);
    if (doc.Open(input->reportPath) != CVR5XPDoc::OpenResult::Opened) {
        state.SkipWithError(("the report did not open: " + prompter.shown.toStdString()).c_str());
        return;
    }
    bool half = true;
    for (auto _ : state) {
        doc.SetSearchRangePercent(half ? 50 : 100);
        half = !half;
        const QImage image = renderPageImage(buildDocumentPage(doc, Medium::Screen), 96);
        benchmark::DoNotOptimize(image.constBits());
    }
    setTarget(state, 16);
}
BENCHMARK(BM_SearchRangeChange)->Unit(benchmark::kMillisecond);

// The program started with the report, until its window has painted the page once (it quits
// there when VR5XP_EXIT_AFTER_PAINT is set). Each iteration is a whole process.
void BM_StartUpToFirstPaint(benchmark::State& state) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VR5XP_EXIT_AFTER_PAINT"), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), input->home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), input->home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), input->home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), input->home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), input->home);

    // Returns the seconds taken, or a negative number after reporting the failure.
    auto startOnce = [&state, &env]() -> double {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.setProgram(QStringLiteral(VR5_BENCH_PROGRAM));
        program.setArguments({input->reportPath});
        QElapsedTimer timer;
        timer.start();
        program.start();
        const bool finished = program.waitForFinished(30000);
        const double seconds = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
        if (!finished) {
            program.kill();
            program.waitForFinished();
            state.SkipWithError("the program did not quit within 30 s of starting");
            return -1;
        }
        if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0) {
            const std::string output = program.readAll().toStdString();
            state.SkipWithError(("the program failed: " + output).c_str());
            return -1;
        }
        return seconds;
    };

    // The first start of a new home writes its settings and fills the font caches; the figure
    // is for an operator's machine, where that has long happened.
    if (startOnce() < 0) return;
    for (auto _ : state) {
        const double seconds = startOnce();
        if (seconds < 0) break;
        state.SetIterationTime(seconds);
    }
    setTarget(state, 500);
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!bench::useBenchHome("vr5xp_bench", home)) return 1;
    QApplication app(argc, argv);

    BenchInput in;
    in.home = home.path();
    in.image = bench::fixtureImage("vr5xp_bench", QStringLiteral(VR5_BENCH_REPORT_DESCRIPTION));
    in.reportPath = in.home + QStringLiteral("/long_10000.tjr");
    if (in.image.isEmpty() || !bench::writeBenchFile("vr5xp_bench", in.reportPath, in.image))
        return 1;
    input = &in;

    // Figures of a report that did not decode whole would measure the wrong thing.
    const JointRecord rec = decodedReport();
    if (rec.problem.isDamaged() || rec.sampleCount != kSamples || rec.heaterRemoval == 0) {
        std::fprintf(stderr, "vr5xp_bench: the report decodes as %d samples (%s %s)\n",
                     rec.sampleCount, qPrintable(reportItemName(rec.problem.item)),
                     qPrintable(rec.problem.what));
        return 1;
    }
    pageMetrics();  // measured once per program, as in the window

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
