#pragma once

#include <QString>

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

}  // namespace vr5
