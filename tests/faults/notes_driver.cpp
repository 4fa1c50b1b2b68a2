// Appends notes to a report over and over, the way File > Append Notes does, so that a fault
// campaign can kill it at any moment (scripts/faults). Not a test: the campaign checks the
// folder after each kill.
//
//   notes_driver REPORT ORIGINAL [COUNT]   append to REPORT until killed (or COUNT appends);
//                                          once its notes are full, ORIGINAL's bytes are
//                                          written back over it the same way and it goes on
//   notes_driver --check REPORT ORIGINAL   exit 0 when REPORT decodes whole and is ORIGINAL
//                                          with notes appended (or ORIGINAL itself)
//
// "ready" is printed on stdout once the first append is about to start.
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

#include "report/appended_notes.h"
#include "report/report_decoder.h"
#include "report/vr5xp_doc.h"

namespace {

using namespace vr5;

// Says Yes to the question and keeps the last message for the error output.
class YesPrompter final : public Prompter {
public:
    void show(const QString& text, const QString&, Icon) override { last = text; }
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Yes; }
    QString last;
};

std::optional<QByteArray> readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
}

int fail(const QString& what) {
    std::fprintf(stderr, "notes_driver: %s\n", qPrintable(what));
    return 1;
}

// REPORT must be ORIGINAL's image with only the notes replaced, by notes that begin with
// ORIGINAL's own: what an append writes, whole.
int check(const QString& reportPath, const QString& originalPath) {
    const auto report = readAll(reportPath);
    const auto original = readAll(originalPath);
    if (!report || !original) return fail(QStringLiteral("cannot read the reports"));
    JointRecord rec, originalRec;
    decodeReport(*report, rec);
    decodeReport(*original, originalRec);
    if (rec.problem.isDamaged()) return fail(reportPath + QStringLiteral(" does not decode whole"));
    if (originalRec.problem.isDamaged())
        return fail(originalPath + QStringLiteral(" does not decode whole"));
    const QString& before = originalRec.fields.notes;
    const QString& after = rec.fields.notes;
    const bool grown = after == before || (before == QLatin1String(notes::kNoNotes) ||
                                           after.startsWith(before + QLatin1String(" + ")));
    if (!grown) return fail(reportPath + QStringLiteral(" lost notes: ") + after);
    if (imageWithNotes(*original, originalRec.notesPos, originalRec.notesEnd, after) != *report)
        return fail(reportPath + QStringLiteral(" differs from the original outside its notes"));
    return 0;
}

int appendForever(const QString& reportPath, const QString& originalPath, long count) {
    const auto original = readAll(originalPath);
    if (!original) return fail(QStringLiteral("cannot read ") + originalPath);
    ProgramState state;
    YesPrompter prompter;
    CVR5XPDoc doc(state, prompter);
    std::printf("ready\n");
    std::fflush(stdout);
    for (long n = 1; count == 0 || n <= count; ++n) {
        // The view reads the report again after every append; so does this.
        state.currentReportPath = reportPath;
        if (doc.Open(reportPath) != CVR5XPDoc::OpenResult::Opened)
            return fail(QStringLiteral("cannot open ") + reportPath + u' ' + prompter.last);
        const QString typed = QStringLiteral("Kill check %1").arg(n);
        const RemarksRunner dialog = [&](const QString& reportNotes) -> std::optional<QString> {
            RemarksModel model(reportNotes);
            if (model.accept(typed, prompter) != RemarksModel::Close::Ok || !model.appended())
                return std::nullopt;
            return model.notes();
        };
        switch (AppendNotes(doc, state, prompter, dialog)) {
            case AppendNotesResult::Appended:
                break;
            case AppendNotesResult::NotesFull:
            case AppendNotesResult::NothingNew:
                // Full: start again from the original, written back whole the same way.
                if (const auto why = replaceReportFile(reportPath, *original))
                    return fail(why->message);
                break;
            case AppendNotesResult::Refused:
            case AppendNotesResult::Changed:
            case AppendNotesResult::Failed:
                return fail(prompter.last);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == u"--check") return check(args[1], args[2]);
    if (args.size() == 2 || args.size() == 3) {
        bool ok = true;
        const long count = args.size() == 3 ? args[2].toLong(&ok) : 0;
        if (ok && count >= 0) return appendForever(args[0], args[1], count);
    }
    std::fprintf(stderr,
                 "usage: notes_driver REPORT ORIGINAL [COUNT]\n"
                 "       notes_driver --check REPORT ORIGINAL\n");
    return 1;
}
