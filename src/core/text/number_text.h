#pragma once

#include <QString>

namespace vr5 {

// The number inside a stored text: the longest decimal floating-point prefix after leading
// white space ("30 psi" reads 30). A text without one reads as 0. Never reads infinities or
// NaN: an overflowing prefix ("1e999") saturates to the largest finite double of its sign.
double readLeadingNumber(const QString& text);

// True when the text starts (after white space) with a decimal number.
bool hasLeadingNumber(const QString& text);

// A value typed on a set-up page is stored trimmed, and as "--" when nothing is left.
QString storedText(const QString& typed);

// The C library's atoi on a byte string: leading blanks, an optional sign, digits up to the
// first non-digit; no digits gives 0. Saturates instead of overflowing.
int readLeadingInt(const char* text, qsizetype length);

}  // namespace vr5
