#pragma once

#include <QString>
#include <optional>

namespace vr5 {

// A stretch of a text: where it starts and how many UTF-16 units it holds.
struct TextSpan {
    qsizetype position = 0;
    qsizetype length = 0;
    bool operator==(const TextSpan&) const = default;
};

// What an edit inserted into a text that changed from `before` to `after`: the stretch of
// `after` between the part both texts start with and the part both end with.
TextSpan insertedPart(const QString& before, const QString& after);

// A box that holds at most `limit` characters has just changed from `before` to `after`: what
// to take out of `after` so that it fits, or nothing when it fits. The end of what was typed or
// pasted goes first (a text that was too long already loses its end too), and a character that
// takes two code units is never cut in half.
std::optional<TextSpan> overflowingPart(const QString& before, const QString& after,
                                        qsizetype limit);

}  // namespace vr5
