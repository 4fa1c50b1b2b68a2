#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "program_state.h"
#include "prompter.h"
#include "text/typed_limit.h"

namespace vr5 {

class CVR5XPDoc;
struct FileContents;

// Notes appended to a stored report: they are joined to the notes already there and can never
// be changed or removed afterwards.
namespace notes {

// The old notes and the new text together; the " + " between them is not counted, so stored
// notes reach at most 203 characters.
inline constexpr int kLimit = 200;
inline constexpr const char* kSeparator = " + ";
// How a report's empty notes read; they count as no notes at all.
inline constexpr const char* kNoNotes = "---";

inline constexpr const char* kDialogCaption = "Append Notes to Report";
inline constexpr const char* kPrompt =
    "Once appended, notes cannot be changed or deleted.\n(Up to %d characters)";
inline constexpr const char* kQuestionCaption = "Notes";
inline constexpr const char* kConfirmAppend =
    "Are you sure you want to append new notes?  Once appended, notes cannot be changed or "
    "removed!";
inline constexpr const char* kConfirmDiscard =
    "Are you sure you want to discard newly entered notes?";
inline constexpr const char* kNotesFull = "Notes area full.";
inline constexpr const char* kCannotOpen = "Could not open file to append notes!";
inline constexpr const char* kCannotWrite = "Could not write the report with the new notes!";
inline constexpr const char* kDamaged =
    "The report is damaged before its notes, so notes cannot be appended to it.";
inline constexpr const char* kNotOnShow =
    "The report is not the one on show. Open it again to append notes to it.";
inline constexpr const char* kLeftUnchanged = "The report was left unchanged.";
inline constexpr const char* kNotAppended = "Your notes were not appended.";
inline constexpr const char* kChangedSinceOpened =
    "The report was changed since it was opened: notes may have been appended to it from "
    "another window or another computer.";
inline constexpr const char* kReadAgain =
    "It is read again now, with everything it holds. Then use Append Notes again to add your "
    "notes to it.";

}  // namespace notes

// What the Append Notes dialog decides: the count-down prompt, the edit's limit and the answers
// to OK and Cancel. After OK with new text, notes() holds the joined notes.
class RemarksModel {
public:
    // How the dialog ends after OK or Cancel was pressed.
    enum class Close { StayOpen, Ok, Cancel };

    explicit RemarksModel(const QString& reportNotes);

    // The report's notes, empty when they read "---".
    const QString& oldNotes() const { return oldNotes_; }
    // Characters left for the new text; the edit takes no more.
    int remaining() const { return remaining_; }
    // The prompt with the characters still left once `typed` characters are in the edit.
    QString prompt(qsizetype typed = 0) const;
    // The prompt with the characters still left once the edit holds `editText`; each line break
    // takes two, as it does in the stored notes.
    QString promptFor(const QString& editText) const;

    // A part of a text: where it starts and how many code units it has.
    using Span = TextSpan;
    // The edit's text went from `before` to `after`. When that makes it longer than the
    // characters left (a line break counts two), the end of what was typed or pasted that does not
    // fit, to be removed again: typing stops at the limit and a pasted text is cut to what fits.
    std::optional<Span> overflow(const QString& before, const QString& after) const;

    // OK with the edit's text: new text is joined to the old notes once the operator confirms,
    // its line breaks as the logger's own notes have them ("\r\n").
    Close accept(const QString& editText, Prompter& prompter);
    // Cancel with the edit's text: typed text is only dropped once the operator confirms.
    Close cancel(const QString& editText, Prompter& prompter);

    // The report's notes, or after OK with new text the old notes, " + " and the new text.
    const QString& notes() const { return notes_; }
    // True once OK joined new text to the notes.
    bool appended() const { return appended_; }

private:
    QString notes_;
    QString oldNotes_;
    int remaining_ = notes::kLimit;
    bool appended_ = false;
};

// The report image with its notes string (from notesPos up to notesEnd) replaced by `notes`:
// a count word, then each UTF-16 unit high byte first. Every other byte stays as it is.
QByteArray imageWithNotes(const QByteArray& image, qsizetype notesPos, qsizetype notesEnd,
                          const QString& notes);

// Why a report file was not replaced; the file is as it was.
struct ReplaceFailure {
    // The file no longer held the bytes expected of it; nothing was written over it.
    bool changed = false;
    // What the operator is told when it could not be written.
    QString message;
};

// Writes the bytes as the file at `path`, whole or not at all: into a hidden temporary file
// beside it that replaces the file only once everything is written, so that not even a killed
// program leaves a half-written file in sight. The file keeps its permissions and, where the
// program may give them, its owner and group; a symbolic link at `path` stays a link to the
// file it names. With `expected`, the file must still hold those bytes at the moment of
// replacing it. On failure the file is untouched.
std::optional<ReplaceFailure> replaceReportFile(const QString& path, const QByteArray& bytes,
                                                const FileContents* expected = nullptr);

enum class AppendNotesResult {
    Appended,    // the report holds the joined notes; the reload flag is set
    NotesFull,   // the notes already hold 200 characters or more
    NothingNew,  // Cancel, or OK without new text
    Refused,     // no report on show, or one damaged before its notes
    Changed,     // the report changed on disk since it was read; it was read again, unchanged
    Failed,      // the report could not be rewritten; it is unchanged
};

// Runs the Append Notes dialog for the report's notes and gives the joined notes after OK with
// new text, nothing otherwise.
using RemarksRunner = std::function<std::optional<QString>(const QString& reportNotes)>;

// The Append Notes command on the report at the current report path. The report is rewritten
// from the document's image with the joined notes, only while the file still holds what the
// document read from it: notes appended meanwhile from another window or computer would
// otherwise be lost. A changed report is read again instead, and the operator appends again.
// The document's notes change only once the new file is in place, and then the reload flag
// asks the view to read it again.
AppendNotesResult AppendNotes(CVR5XPDoc& doc, ProgramState& state, Prompter& prompter,
                              const RemarksRunner& runDialog);

}  // namespace vr5
