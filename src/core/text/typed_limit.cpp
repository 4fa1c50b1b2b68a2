#include "text/typed_limit.h"

#include <algorithm>

namespace vr5 {

TextSpan insertedPart(const QString& before, const QString& after) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head]) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return TextSpan{head, after.size() - tail - head};
}

std::optional<TextSpan> overflowingPart(const QString& before, const QString& after,
                                        qsizetype limit) {
    const qsizetype excess = after.size() - limit;
    if (excess <= 0) return std::nullopt;

    const TextSpan insertedSpan = insertedPart(before, after);
    const qsizetype insertedEnd = insertedSpan.position + insertedSpan.length;
    const qsizetype inserted = insertedSpan.length;

    TextSpan drop =
        inserted >= excess ? TextSpan{insertedEnd - excess, excess} : TextSpan{limit, excess};
    if (drop.position > 0 && after[drop.position].isLowSurrogate()) {
        --drop.position;
        ++drop.length;
    }
    return drop;
}

}  // namespace vr5
