#include "text/number_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace vr5 {

namespace {

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Length of the decimal floating-point prefix of text starting at pos, 0 when there is none.
qsizetype numberPrefixLength(const QString& text, qsizetype pos) {
    const qsizetype start = pos;
    const qsizetype n = text.size();
    if (pos < n && (text[pos] == u'+' || text[pos] == u'-')) ++pos;
    qsizetype digits = 0;
    while (pos < n && text[pos].isDigit() && text[pos].unicode() < 128) ++pos, ++digits;
    if (pos < n && text[pos] == u'.') {
        ++pos;
        while (pos < n && text[pos].unicode() < 128 && text[pos].isDigit()) ++pos, ++digits;
    }
    if (digits == 0) return 0;
    // An exponent counts only when digits follow it.
    if (pos < n && (text[pos] == u'e' || text[pos] == u'E')) {
        qsizetype e = pos + 1;
        if (e < n && (text[e] == u'+' || text[e] == u'-')) ++e;
        qsizetype expDigits = 0;
        while (e < n && text[e].unicode() < 128 && text[e].isDigit()) ++e, ++expDigits;
        if (expDigits > 0) pos = e;
    }
    return pos - start;
}

qsizetype skipSpace(const QString& text) {
    qsizetype pos = 0;
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    return pos;
}

}  // namespace

double readLeadingNumber(const QString& text) {
    const qsizetype pos = skipSpace(text);
    const qsizetype len = numberPrefixLength(text, pos);
    if (len == 0) return 0.0;
    const std::string ascii = text.mid(pos, len).toStdString();
    double value = std::strtod(ascii.c_str(), nullptr);
    if (std::isinf(value)) {
        value = std::copysign(std::numeric_limits<double>::max(), value);
    }
    return value;
}

bool hasLeadingNumber(const QString& text) {
    return numberPrefixLength(text, skipSpace(text)) > 0;
}

QString storedText(const QString& typed) {
    const QString trimmed = typed.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("--") : trimmed;
}

int readLeadingInt(const char* text, qsizetype length) {
    qsizetype pos = 0;
    while (pos < length && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' ||
                            text[pos] == '\r' || text[pos] == '\v' || text[pos] == '\f'))
        ++pos;
    bool negative = false;
    if (pos < length && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    long long value = 0;
    while (pos < length && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos++] - '0');
        if (value > std::numeric_limits<int>::max()) value = std::numeric_limits<int>::max() + 1LL;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

}  // namespace vr5
