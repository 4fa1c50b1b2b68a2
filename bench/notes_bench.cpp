// How long the operator waits after confirming new notes on a full logger's report (10,000
// samples): the report rewritten whole beside itself and put in place, and then read again for
// the view. Every figure carries the most it may take as its label and as the counter
// target_ms: compare that with the Time column.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>
#include <string>

#include "bench_support.h"
#include "fixture_description.h"
#include "program_state.h"
#include "prompter.h"
#include "report/appended_notes.h"
#include "report/report_decoder.h"
#include "report/vr5xp_doc.h"

namespace {

using namespace vr5;

QString reportPath;      // the report as a file
QByteArray reportImage;  // its bytes as made by main(), before any notes were appended

// Every run starts from the report as it was made, whatever the runs before it appended.
bool writeReport() {
    QFile file(reportPath);
    return file.open(QIODevice::WriteOnly) && file.write(reportImage) == reportImage.size();
}

// Nothing is asked of the operator here; anything shown is a failed benchmark.
class QuietPrompter : public Prompter {
public:
    void show(const QString& text, const QString&, Icon) override { shown = text; }
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Yes; }
    QString shown;
};

void setTarget(benchmark::State& state, double milliseconds) {
    state.counters["target_ms"] = milliseconds;
    state.SetLabel("target < " + std::to_string(static_cast<int>(milliseconds)) + " ms");
}

// The same joined notes every time, so that every iteration writes the same file.
std::optional<QString> joinedNotes(const QString& reportNotes) {
    RemarksModel model(reportNotes);
    QuietPrompter yes;
    model.accept(QStringLiteral("Cut-out sample sent for bend test"), yes);
    return model.notes();
}

void appendNotes(benchmark::State& state, bool reload) {
    ProgramState programState;
    QuietPrompter prompter;
    CVR5XPDoc doc(programState, prompter);
    if (!writeReport()) {
        state.SkipWithError("the report could not be written");
        return;
    }
    if (doc.Open(reportPath) != CVR5XPDoc::OpenResult::Opened) {
        state.SkipWithError(("the report did not open: " + prompter.shown.toStdString()).c_str());
        return;
    }
    const QString notes = *joinedNotes(doc.record().fields.notes);
    const RemarksRunner runner = [&notes](const QString&) { return std::optional<QString>(notes); };
    for (auto _ : state) {
        if (AppendNotes(doc, programState, prompter, runner) != AppendNotesResult::Appended) {
            state.SkipWithError(
                ("the notes were not appended: " + prompter.shown.toStdString()).c_str());
            break;
        }
        if (reload && doc.ReloadIfFlagged() != CVR5XPDoc::OpenResult::Opened) {
            state.SkipWithError("the report did not read again");
            break;
        }
        programState.reloadFlag = false;
    }
    setTarget(state, 20);
}

// The rewrite alone: the new file written whole and renamed over the report.
void BM_AppendNotes(benchmark::State& state) {
    appendNotes(state, false);
}
BENCHMARK(BM_AppendNotes)->Unit(benchmark::kMillisecond);

// What the operator waits for: the rewrite, then the report read and decoded again.
void BM_AppendNotesAndReload(benchmark::State& state) {
    appendNotes(state, true);
}
BENCHMARK(BM_AppendNotesAndReload)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!bench::useBenchHome("notes_bench", home)) return 1;
    reportImage = bench::fixtureImage("notes_bench", QStringLiteral(VR5_BENCH_REPORT_DESCRIPTION));
    if (reportImage.isEmpty()) return 1;
    reportPath = home.filePath(QStringLiteral("long_10000.tjr"));

    // Figures of a report that did not decode whole would measure the wrong thing.
    JointRecord rec;
    decodeReport(reportImage, rec);
    if (rec.problem.isDamaged() || rec.sampleCount != 10000) {
        std::fprintf(stderr, "notes_bench: the report decodes as %d samples\n", rec.sampleCount);
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
