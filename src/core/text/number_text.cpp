#include "text/number_text.h"

#include <algorithm>
#include <charconv>
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

// A decimal number too large or too small for a double: the largest finite double for a large
// one, 0 for a tiny one. Which of the two is told by where its first significant digit stands.
double beyondRange(const std::string& number) {
    const size_t e = number.find_first_of("eE");
    const std::string mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        size_t i = e + 1;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
        for (; i < number.size(); ++i) {
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
        }
        if (negative) exponent = -exponent;
    }
    // The power of ten of the first significant digit.
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t first = mantissa.find_first_of("123456789");
    if (first == std::string::npos) return 0.0;
    const long long power = first < point ? static_cast<long long>(point - first) - 1
                                          : -static_cast<long long>(first - point);
    return power + exponent >= 0 ? std::numeric_limits<double>::max() : 0.0;
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
    // The prefix is plain ASCII. from_chars reads it the same under every language setting; the
    // C library's reader would stop at a '.' that the computer's language does not use.
    std::string ascii = text.mid(pos, len).toStdString();
    const bool negative = ascii.front() == '-';
    if (ascii.front() == '+' || negative) ascii.erase(0, 1);
    double value = 0.0;
    const char* first = ascii.data();
    const char* last = first + ascii.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        value = beyondRange(ascii);
    } else if (error != std::errc() || end != last) {
        return 0.0;  // cannot happen: the prefix was checked to be a number
    }
    return negative ? -value : value;
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
