#include "setup/number_entry.h"

#include "setup/typed_text.h"
#include "text/number_text.h"

namespace vr5 {

namespace {

constexpr const char* kNotANumber = "%1 \"%2\" is not a number.";
constexpr const char* kErrorCaption = "Error";
// Enough of an entry to recognise it; a pasted page of text stays out of the message.
constexpr qsizetype kShownLength = 20;

}  // namespace

bool isNumberOrNothing(const QString& typed) {
    return storedLine(typed) == QStringLiteral("--") || hasLeadingNumber(typed);
}

QString notANumberMessage(const char* field, const QString& typed) {
    const QString line = oneLine(typed).trimmed();
    QString shown = leftWhole(line, kShownLength);
    if (shown.size() < line.size()) shown += QStringLiteral("...");
    return QString::fromLatin1(kNotANumber).arg(QString::fromLatin1(field), shown);
}

bool checkNumber(SetupContext& context, const char* field, const QString& typed,
                 bool nothingAllowed) {
    if (nothingAllowed ? isNumberOrNothing(typed) : hasLeadingNumber(typed)) return true;
    context.prompter.show(notANumberMessage(field, typed), QString::fromLatin1(kErrorCaption),
                          Prompter::Icon::Error);
    return false;
}

}  // namespace vr5
