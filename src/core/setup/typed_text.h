#pragma once

#include <QString>
#include <optional>

#include "text/typed_limit.h"

namespace vr5 {

// The text cut to at most `length` UTF-16 units; a character of two units is never cut in half
// (it goes whole). A negative length keeps the whole text.
QString leftWhole(const QString& text, qsizetype length);

// A value from a one-line box of a set-up page as it is stored: at most `length` units, every
// control character (a line break or a tab pasted into the box) turned into a blank, then the
// stored-text rule. The value is a single line of the report, the set-up summary and the
// Log/Status window.
QString storedLine(const QString& typed, qsizetype length = -1);

// The same without the stored-text rule: control characters as blanks, blanks around it kept.
QString oneLine(const QString& typed);

// Notes typed into a multi-line box (the Notes page, Append Notes) are stored with the line
// breaks the logger's own notes use, "\r\n", so each break takes two characters of the notes'
// room, as it does in a Windows edit box. A "\r\n" already there stays one break; a lone "\r"
// or "\n" becomes one.
QString notesAsStored(const QString& typed);
// Stored notes as a multi-line box shows them: one "\n" for each line break.
QString notesAsShown(const QString& stored);
// How many characters the notes take once stored.
qsizetype storedNotesLength(const QString& typed);
// Stored notes cut to at most `length` characters, never between the two of a line break nor
// inside a character of two code units.
QString leftWholeNotes(const QString& stored, qsizetype length);
// A multi-line box holding notes of at most `limit` stored characters has just changed from
// `before` to `after`: what to take out of `after` so that it fits, as overflowingPart() does,
// with each line break counting two.
std::optional<TextSpan> notesOverflow(const QString& before, const QString& after, qsizetype limit);

}  // namespace vr5
