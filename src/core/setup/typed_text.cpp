#include "setup/typed_text.h"

#include <algorithm>

#include "text/number_text.h"
#include "text/typed_limit.h"

namespace vr5 {

namespace {

// How many stored characters the character at i of a typed text takes: two for a line break
// (half of them each for the two of a "\r\n").
qsizetype storedWeight(const QString& text, qsizetype i) {
    const QChar c = text[i];
    if (c == u'\n') return i > 0 && text[i - 1] == u'\r' ? 1 : 2;
    if (c == u'\r') return i + 1 < text.size() && text[i + 1] == u'\n' ? 1 : 2;
    return 1;
}

// A cut at `cut` moved back so that it splits neither a "\r\n" nor a character of two units.
qsizetype wholeCut(const QString& text, qsizetype cut) {
    if (cut <= 0 || cut >= text.size()) return cut;
    if (text[cut] == u'\n' && text[cut - 1] == u'\r') return cut - 1;
    if (text[cut].isLowSurrogate() && text[cut - 1].isHighSurrogate()) return cut - 1;
    return cut;
}

QString withBreaks(const QString& text, QStringView lineBreak) {
    QString out;
    out.reserve(text.size() + text.count(u'\n'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += lineBreak;
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

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

QString notesAsStored(const QString& typed) {
    return withBreaks(typed, u"\r\n");
}

QString notesAsShown(const QString& stored) {
    return withBreaks(stored, u"\n");
}

qsizetype storedNotesLength(const QString& typed) {
    qsizetype length = 0;
    for (qsizetype i = 0; i < typed.size(); ++i) length += storedWeight(typed, i);
    return length;
}

QString leftWholeNotes(const QString& stored, qsizetype length) {
    QString cut = leftWhole(stored, length);
    if (cut.size() < stored.size()) cut.truncate(wholeCut(stored, cut.size()));
    return cut;
}

std::optional<TextSpan> notesOverflow(const QString& before, const QString& after,
                                      qsizetype limit) {
    const qsizetype excess = storedNotesLength(after) - limit;
    if (excess <= 0) return std::nullopt;

    const TextSpan inserted = insertedPart(before, after);
    const qsizetype head = inserted.position;
    const qsizetype insertedEnd = inserted.position + inserted.length;

    // The end of what was typed or pasted goes, as much of it as does not fit.
    qsizetype start = insertedEnd;
    qsizetype dropped = 0;
    while (start > head && dropped < excess) dropped += storedWeight(after, --start);
    if (dropped >= excess) {
        start = wholeCut(after, start);
        return TextSpan{start, insertedEnd - start};
    }
    // The text was too long already: it keeps what fits from its start.
    qsizetype cut = 0;
    for (qsizetype used = 0; cut < after.size() && used + storedWeight(after, cut) <= limit; ++cut)
        used += storedWeight(after, cut);
    cut = wholeCut(after, cut);
    return TextSpan{cut, after.size() - cut};
}

QString storedLine(const QString& typed, qsizetype length) {
    return storedText(oneLine(leftWhole(typed, length)));
}

}  // namespace vr5
