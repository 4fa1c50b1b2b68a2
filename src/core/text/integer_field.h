#pragma once

#include <QString>
#include <optional>

namespace vr5 {

// Reads a box that must hold a whole number within a range, as every dialog of the program
// does: blanks around the number are allowed, anything else is not. On failure `message` gets
// the text to show: "Enter an integer." or "Enter an integer between LOW and HIGH.".
std::optional<int> readIntegerField(const QString& text, int low, int high, QString* message);

// The caption and the text of that message box.
inline constexpr const char* kIntegerFieldMessage = "Enter an integer.";
inline constexpr const char* kIntegerRangeMessage = "Enter an integer between %1 and %2.";

}  // namespace vr5
