#include "setup/typed_text.h"

#include "text/number_text.h"

namespace vr5 {

QString leftWhole(const QString& text, qsizetype length) {
    if (length < 0 || text.size() <= length) return text;
    if (length > 0 && text[length - 1].isHighSurrogate() && text[length].isLowSurrogate()) --length;
    return text.left(length);
}

QString oneLine(const QString& typed) {
    QString line = typed;
    for (QChar& c : line) {
        // C0 and C1 controls, DEL, and the Unicode line and paragraph separators.
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029) c = u' ';
    }
    return line;
}

QString storedLine(const QString& typed, qsizetype length) {
    return storedText(oneLine(leftWhole(typed, length)));
}

}  // namespace vr5
