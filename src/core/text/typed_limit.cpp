#include "text/typed_limit.h"

#include <algorithm>

namespace vr5 {

std::optional<TextSpan> overflowingPart(const QString& before, const QString& after,
                                        qsizetype limit) {
    const qsizetype excess = after.size() - limit;
    if (excess <= 0) return std::nullopt;

    // What was inserted lies between the part both texts start with and the part both end with.
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head]) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const qsizetype insertedEnd = after.size() - tail;
    const qsizetype inserted = insertedEnd - head;

    TextSpan drop =
        inserted >= excess ? TextSpan{insertedEnd - excess, excess} : TextSpan{limit, excess};
    if (drop.position > 0 && after[drop.position].isLowSurrogate()) {
        --drop.position;
        ++drop.length;
    }
    return drop;
}

}  // namespace vr5
