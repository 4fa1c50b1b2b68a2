#pragma once

#include <QString>
#include <optional>

#include "setup/setup_context.h"
#include "text/typed_limit.h"

namespace vr5 {

// The Notes page: a few free words about the joint, sent to the logger with it.
class NotesPage {
public:
    static constexpr int kLength = 80;
    static constexpr const char* kCaption = "Notes (optional)";
    static constexpr const char* kPromptLine1 = "You may enter up to 80 characters";
    static constexpr const char* kPromptLine2 = "to save as notes for this joint.";

    explicit NotesPage(SetupContext context) : c_(context) {}

    // As the box shows them, line breaks as "\n". Stored as typed (blanks around the text stay)
    // but with the logger's line breaks, "\r\n", each of which takes two of the 80 characters.
    QString notes;

    // The two prompt lines.
    static QString prompt();

    // Reads the remembered notes (cut to the box's length).
    void load();
    // "Next >>": stores the notes. Always closes.
    bool accept();

    // A part of a text: where it starts and how many characters it has.
    using Span = TextSpan;
    // The operator changed the box's text from `before` to `after`. When that makes it longer
    // than the limit (a line break counts two), the end of what was typed or pasted that does
    // not fit, to be dropped again: typing stops at the limit and a pasted text is cut to what
    // fits.
    static std::optional<Span> overflow(const QString& before, const QString& after);

private:
    SetupContext c_;
};

}  // namespace vr5
