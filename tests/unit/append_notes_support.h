#pragma once

// What the Append Notes tests share: a report on disk opened in a document, and the dialog as
// the operator uses it.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "program_state.h"
#include "report/appended_notes.h"
#include "report/vr5xp_doc.h"
#include "scripted_prompter.h"
#include "test_support.h"

namespace vr5::test {

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// A report with the given notes text (empty: no notes) and a few samples.
inline QByteArray reportWithNotes(const QString& notes) {
    QString quoted = notes;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    quoted.replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
    return reportBytes(
        QStringLiteral("notes: \"%1\"\ninterval: 5\nramp: 300 50\nhold: 40\n").arg(quoted));
}

// The dialog as the operator would use it: types `typed`, presses OK and answers the question
// with `answer`.
inline RemarksRunner typing(const QString& typed, ScriptedPrompter& prompter,
                            Prompter::Answer answer, int* runs = nullptr) {
    return [typed, &prompter, answer, runs](const QString& reportNotes) -> std::optional<QString> {
        if (runs) ++*runs;
        RemarksModel model(reportNotes);
        prompter.answers = {answer};
        if (model.accept(typed, prompter) != RemarksModel::Close::Ok || !model.appended())
            return std::nullopt;
        return model.notes();
    };
}

class AppendNotesTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // Writes the report and opens it in the document.
    QString open(const QString& name, const QByteArray& bytes) {
        const QString path = write(name, bytes);
        EXPECT_NE(doc.Open(path), CVR5XPDoc::OpenResult::Failed);
        prompter.shown.clear();
        prompter.messages.clear();
        return path;
    }

    QTemporaryDir dir;
    ProgramState state;
    ScriptedPrompter prompter;
    CVR5XPDoc doc{state, prompter};
};

}  // namespace vr5::test
