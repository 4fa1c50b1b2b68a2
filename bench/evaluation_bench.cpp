// How long the evaluation of a full logger's report (10,000 samples) takes: the phases found on
// the curve and every check of each built-in procedure. The figure carries the most it may take
// as its label and as the counter target_ms: compare that with the Time column.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "evaluation/evaluation.h"
#include "report/report_decoder.h"

namespace {

using namespace vr5;

JointRecord record;  // decoded once by main()

void BM_EvaluateJoint(benchmark::State& state, const char* id) {
    const ProcedureLoad load = loadProcedure(QString::fromLatin1(id));
    if (!load.procedure) {
        state.SkipWithError(("no procedure: " + load.error.toStdString()).c_str());
        return;
    }
    for (auto _ : state) {
        Evaluation e = evaluateJoint(record, *load.procedure);
        benchmark::DoNotOptimize(e);
    }
    state.counters["target_ms"] = 2;
    state.SetLabel("target < 2 ms");
}
BENCHMARK_CAPTURE(BM_EvaluateJoint, astm_f2620, "astm-f2620")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EvaluateJoint, iso_21307_slp, "iso-21307-slp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EvaluateJoint, dvs_2207_1, "dvs-2207-1")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!bench::useBenchHome("evaluation_bench", home)) return 1;
    const QByteArray image =
        bench::fixtureImage("evaluation_bench", QStringLiteral(VR5_BENCH_REPORT_DESCRIPTION));
    if (image.isEmpty()) return 1;
    decodeReport(image, record);
    // Figures of a report that did not decode whole would measure the wrong thing.
    if (record.problem.isDamaged() || record.sampleCount != 10000) {
        std::fprintf(stderr, "evaluation_bench: the report decodes as %d samples\n",
                     record.sampleCount);
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
