#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>
#include <utility>
#include <vector>

#include "fixture_description.h"
#include "page/page_drawing.h"
#include "report/joint_record.h"

// Readable values in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << "{";
    for (const QString& s : list) *os << "\n  \"" << s.toStdString() << '"';
    *os << " }";
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << bytes.toHex(' ').toStdString();
}
QT_END_NAMESPACE

namespace vr5::test {

// The items of one kind on a page, in drawing order.
template <typename T>
std::vector<T> itemsOf(const PageDrawing& d) {
    std::vector<T> out;
    for (const PageItem& item : d.items) {
        if (const T* t = std::get_if<T>(&item)) out.push_back(*t);
    }
    return out;
}

// A point inside a rectangle of the page, edges included.
inline bool inside(const PageRect& r, PagePoint p) {
    return p.x >= r.left && p.x <= r.right && p.y <= r.top && p.y >= r.bottom;
}

// The bytes of the report a description describes. A description that does not parse fails the
// running test and gives an empty file.
QByteArray reportBytes(const QString& description);
// The same, for a description in tests/fixtures (name without ".txt").
QByteArray fixtureBytes(const QString& name);

JointRecord decodeBytes(const QByteArray& bytes, int searchRangePercent = 100);
JointRecord decodeDescription(const QString& description, int searchRangePercent = 100);
JointRecord decodeFixture(const QString& name, int searchRangePercent = 100);

// "sample: t p" lines for the given samples.
QString sampleLines(const std::vector<std::pair<int, int>>& samples);

// Bytes from hex text such as "02 00 00 41".
QByteArray hex(const char* text);

}  // namespace vr5::test
