#include "text/integer_field.h"

#include <limits>

namespace vr5 {

std::optional<int> readIntegerField(const QString& text, int low, int high, QString* message) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        if (message) *message = QString::fromLatin1(kIntegerFieldMessage);
        return std::nullopt;
    }
    if (value < low || value > high) {
        if (message) *message = QString::fromLatin1(kIntegerRangeMessage).arg(low).arg(high);
        return std::nullopt;
    }
    return static_cast<int>(value);
}

}  // namespace vr5
