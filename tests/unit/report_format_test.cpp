// The joint report file: every item of the layout, and files that are not what they claim.

#include <gtest/gtest.h>

#include "report/report_decoder.h"
#include "report/report_writer.h"
#include "test_support.h"

namespace vr5 {
namespace {

using test::hex;

// Words are little-endian; strings are a count word and big-endian code units, or count 0 and
// a filler word. (Pinned to literal bytes by EncodesWordsAndStrings.)
QByteArray w(int v) {
    QByteArray out;
    out.append(static_cast<char>(v & 0xff)).append(static_cast<char>(v >> 8 & 0xff));
    return out;
}
QByteArray s(const QString& text) {
    if (text.isEmpty()) return w(0) + w(0);
    QByteArray out = w(static_cast<int>(text.size()));
    for (QChar c : text)
        out.append(static_cast<char>(c.unicode() >> 8))
            .append(static_cast<char>(c.unicode() & 0xff));
    return out;
}

QString num(int v) {
    return QString::number(v);
}

// One item of the layout: its bytes and how the decoded record shows it.
struct Item {
    ReportItem item;
    QByteArray bytes;
    QString (*read)(const JointRecord&);
    QString expected;
};

// A complete report, item by item in file order, every value different.
const std::vector<Item>& layout() {
    static const std::vector<Item> items = {
        {ReportItem::Preamble, "VR5Xv0.3.0", [](const JointRecord&) { return QString(); }, {}},
        {ReportItem::DateTime, w(2012) + w(5) + w(6) + w(14) + w(3) + w(9),
         [](const JointRecord& r) {
             const ReportFields& f = r.fields;
             return QString::asprintf("%d/%d/%d %d:%d:%d", f.year, f.month, f.day, f.hour, f.minute,
                                      f.second);
         },
         "2012/5/6 14:3:9"},
        {ReportItem::MachineId, s("M-1"), [](const JointRecord& r) { return r.fields.machineId; },
         "M-1"},
        {ReportItem::ModelIndex, w(3),
         [](const JointRecord& r) { return num(r.fields.modelIndex); }, "3"},
        {ReportItem::ModelText, s("ZA2 HF"),
         [](const JointRecord& r) { return r.fields.modelText; }, "ZA2 HF"},
        {ReportItem::PistonArea, s("4.71"),
         [](const JointRecord& r) { return r.fields.pistonArea; }, "4.71"},
        {ReportItem::PistonAreaUnit, w(1),
         [](const JointRecord& r) { return num(r.fields.pistonAreaUnit); }, "1"},
        {ReportItem::EmployeeId, hex("00 00 00 00"),
         [](const JointRecord& r) { return r.fields.employeeId; }, "---"},
        {ReportItem::JobNumber, s("J-42"), [](const JointRecord& r) { return r.fields.jobNumber; },
         "J-42"},
        {ReportItem::JointNumber, hex("07 00"),
         [](const JointRecord& r) { return num(r.fields.jointNumber); }, "7"},
        {ReportItem::MaterialIndex, w(2),
         [](const JointRecord& r) { return num(r.fields.materialIndex); }, "2"},
        {ReportItem::Material, s("PE4710"), [](const JointRecord& r) { return r.fields.material; },
         "PE4710"},
        {ReportItem::PipeSize, s("8"), [](const JointRecord& r) { return r.fields.pipeSize; }, "8"},
        {ReportItem::PipeSizeUnit, w(4),
         [](const JointRecord& r) { return num(r.fields.pipeSizeUnit); }, "4"},
        {ReportItem::Wall, s("11"), [](const JointRecord& r) { return r.fields.wall; }, "11"},
        {ReportItem::WallUnit, w(2), [](const JointRecord& r) { return num(r.fields.wallUnit); },
         "2"},
        {ReportItem::BeadPressure, s("75"),
         [](const JointRecord& r) { return r.fields.interfacial[0]; }, "75"},
        {ReportItem::SoakPressure, s("10"),
         [](const JointRecord& r) { return r.fields.interfacial[1]; }, "10"},
        {ReportItem::FusePressure, s("76"),
         [](const JointRecord& r) { return r.fields.interfacial[2]; }, "76"},
        {ReportItem::CoolPressure, s("77"),
         [](const JointRecord& r) { return r.fields.interfacial[3]; }, "77"},
        {ReportItem::PressureUnit, w(3),
         [](const JointRecord& r) { return num(r.fields.pressureUnitIndex); }, "3"},
        {ReportItem::Drag, s("30"), [](const JointRecord& r) { return r.fields.drag; }, "30"},
        {ReportItem::Recommended, s("301") + s("302") + s("303") + s("304"),
         [](const JointRecord& r) {
             const auto& v = r.fields.recommended;
             return QStringList{v[0], v[1], v[2], v[3]}.join(u'|');
         },
         "301|302|303|304"},
        {ReportItem::TempUnit, w(1),
         [](const JointRecord& r) { return num(r.fields.tempUnitIndex); }, "1"},
        {ReportItem::ExtHeaterTemp, s("425"),
         [](const JointRecord& r) { return r.fields.extHeaterTemp; }, "425"},
        {ReportItem::HeaterTemp, s("428"), [](const JointRecord& r) { return r.fields.heaterTemp; },
         "428"},
        {ReportItem::NotesMarker, w(999),
         [](const JointRecord& r) { return num(r.fields.notesMarker); }, "999"},
        {ReportItem::Location, s("40N"), [](const JointRecord& r) { return r.fields.location; },
         "40N"},
        {ReportItem::SecondMarker, w(998),
         [](const JointRecord& r) { return num(r.fields.secondMarker); }, "998"},
        {ReportItem::Notes, s("Joint OK"), [](const JointRecord& r) { return r.fields.notes; },
         "Joint OK"},
        {ReportItem::Demo, w(1), [](const JointRecord& r) { return num(r.fields.demo); }, "1"},
        {ReportItem::Identity, s("VR5Xv0.3.0 ABCD12320120506"),
         [](const JointRecord& r) { return r.fields.identity; }, "VR5Xv0.3.0 ABCD12320120506"},
        {ReportItem::Reserve, s("12.5 in\u00B2~"),
         [](const JointRecord& r) { return r.fields.reserve; }, "12.5 in\u00B2~"},
        {ReportItem::Summary, QByteArray("SM0077  00010  00001", 21),
         [](const JointRecord& r) {
             const ReportFields& f = r.fields;
             return QStringLiteral("%1 %2 %3")
                 .arg(f.summaryMaxPressure)
                 .arg(f.loggedDuration)
                 .arg(f.storedSampleCount);
         },
         "77 10 1"},
        {ReportItem::Samples, hex("0A 00 F6 FF"),
         [](const JointRecord& r) {
             return r.sampleCount < 1 ? QString()
                                      : QStringLiteral("%1 %2").arg(r.Time(0)).arg(r.Pressure(0));
         },
         "10 -10"},
    };
    return items;
}

QByteArray layoutImage() {
    QByteArray image;
    for (const Item& i : layout()) image += i.bytes;
    return image;
}

qsizetype offsetOf(ReportItem item) {
    qsizetype at = 0;
    for (const Item& i : layout()) {
        if (i.item == item) break;
        at += i.bytes.size();
    }
    return at;
}

TEST(ReportFormat, EncodesWordsAndStrings) {
    struct Case {
        QByteArray bytes;
        const char* expected;
    } cases[] = {
        {encodeReportString(QStringLiteral("AB")), "02 00 00 41 00 42"},
        {encodeReportString(QString()), "00 00 00 00"},
        {encodeReportString(QStringLiteral("in\u00B2")), "03 00 00 69 00 6E 00 B2"},
        {encodeReportString(QStringLiteral("\u03A9")), "01 00 03 A9"},
        {encodeReportWord(7), "07 00"},
        {encodeReportWord(999), "E7 03"},
        {encodeReportWord(-10), "F6 FF"},
        {w(7) + s(QStringLiteral("AB")) + s(QString()), "07 00 02 00 00 41 00 42 00 00 00 00"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.bytes.toHex(' '), hex(c.expected).toHex(' '));
}

TEST(ReportFormat, DecodesEveryItemInFileOrder) {
    const JointRecord rec = test::decodeBytes(layoutImage());
    EXPECT_FALSE(rec.problem.isDamaged()) << rec.problem.what.toStdString();
    EXPECT_EQ(rec.lastItem, ReportItem::Samples);
    for (const Item& i : layout()) {
        SCOPED_TRACE(reportItemName(i.item).toStdString());
        EXPECT_EQ(i.read(rec), i.expected);
    }
    EXPECT_EQ(rec.notesPos, offsetOf(ReportItem::Notes));
    EXPECT_EQ(rec.notesEnd, offsetOf(ReportItem::Demo));
    EXPECT_EQ(rec.pressureUnitText, QStringLiteral("MPa"));
    EXPECT_EQ(rec.psiPerUnit, 145.0);
    EXPECT_EQ(rec.maxPressure, 0);  // computed from the samples, not the summary's 77
}

TEST(ReportFormat, WritesEveryItemInFileOrder) {
    ReportContent c;
    ReportFields& f = c.fields;
    f.year = 2012, f.month = 5, f.day = 6, f.hour = 14, f.minute = 3, f.second = 9;
    f.machineId = "M-1", f.modelIndex = 3, f.modelText = "ZA2 HF", f.pistonArea = "4.71";
    f.pistonAreaUnit = 1, f.jobNumber = "J-42", f.jointNumber = 7, f.materialIndex = 2;
    f.material = "PE4710", f.pipeSize = "8", f.pipeSizeUnit = 4, f.wall = "11", f.wallUnit = 2;
    f.interfacial = {"75", "10", "76", "77"};
    f.pressureUnitIndex = 3, f.drag = "30", f.recommended = {"301", "302", "303", "304"};
    f.tempUnitIndex = 1, f.extHeaterTemp = "425", f.heaterTemp = "428";
    f.notesMarker = 999, f.location = "40N", f.secondMarker = 998, f.notes = "Joint OK";
    f.demo = 1, f.identity = "VR5Xv0.3.0 ABCD12320120506", f.reserve = "12.5 in\u00B2~";
    c.summaryLine = "SM0077  00010  00001";
    c.samples = {{10, -10}};
    EXPECT_EQ(encodeReport(c).toHex(' '), layoutImage().toHex(' '));
}

TEST(ReportFormat, DecodesStrings) {
    struct Case {
        QByteArray bytes;
        QString expected;
    } cases[] = {
        {hex("02 00 00 41 00 42"), "AB"},
        {hex("00 00 00 00"), "---"},
        {hex("00 00 12 34"), "---"},              // the filler is never read
        {hex("03 00 00 00 00 41 00 42"), "---"},  // empty text, all three units skipped
        {hex("03 00 00 41 00 00 00 42"), "A"},    // the text ends at the first NUL
        {hex("02 00 03 A9 00 B2"), "\u03A9\u00B2"},
        {hex("01 00 41 00"), "\u4100"},  // high byte first
        {hex("2C 01") + QByteArray(300, 'A').replace("A", QByteArray("\0A", 2)),
         QString(300, u'A')},
    };
    const qsizetype at = offsetOf(ReportItem::MachineId);
    const QByteArray image = layoutImage();
    const QByteArray after = image.mid(offsetOf(ReportItem::ModelIndex));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex(' ').toStdString());
        const JointRecord rec = test::decodeBytes(image.left(at) + c.bytes + after);
        EXPECT_FALSE(rec.problem.isDamaged()) << rec.problem.what.toStdString();
        EXPECT_EQ(rec.fields.machineId, c.expected);
        EXPECT_EQ(rec.fields.modelText, QStringLiteral("ZA2 HF"));  // the cursor landed right
    }
}

TEST(ReportFormat, SummaryLineAndSamples) {
    struct Case {
        QString description;
        int maxPressure, duration, storedCount, sampleCount;
    } cases[] = {
        {"summary: SM0150  01234  00250\nhold: 1250\ntrailer_hex: FFFFFFFF", 150, 1234, 250, 250},
        {"summary: SM0099x 00500y 00003\nhold: 15", 99, 500, 3, 3},
        {"summary: SM015099012345600002\nhold: 10", 150, 1234, 2, 2},  // 6 and 13 end numbers
        {"summary: SM  42     -7  +0002\nhold: 10", 42, -7, 2, 2},
        {"summary: SM----  -----  -----", 0, 0, 0, 0},
        {"summary: SM01", 1, 0, 0, 0},
        {"sample: 0 12000\nsample: 5 10", 9999, 5, 2, 2},  // a built line keeps its positions
        {QStringLiteral("summary: SM0000  00000  00001") + QString(87, u'x') +
             QStringLiteral("\nhold: 5"),  // 107 characters
         0, 0, 1, 1},
        {"interval: 1\nhold: 12000", 0, 11999, 12000, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description.toStdString());
        const JointRecord rec = test::decodeDescription(c.description);
        EXPECT_FALSE(rec.problem.isDamaged()) << rec.problem.what.toStdString();
        EXPECT_EQ(rec.fields.summaryMaxPressure, c.maxPressure);
        EXPECT_EQ(rec.fields.loggedDuration, c.duration);
        EXPECT_EQ(rec.fields.storedSampleCount, c.storedCount);
        ASSERT_EQ(rec.sampleCount, c.sampleCount);
        if (c.sampleCount > 0) {
            EXPECT_EQ(rec.Time(c.sampleCount - 1),
                      c.sampleCount == 10000 ? 9999 : 5 * (c.sampleCount - 1));
        }
        EXPECT_GT(rec.headerLines.size(), 1);
    }

    // Times are unsigned, pressures signed; a pressure above 4000 reads as 0.
    const JointRecord rec =
        test::decodeBytes(test::reportBytes(QStringLiteral("sample: 0 0\nsample: 1 0")).chopped(8) +
                          hex("FF FF 00 80 34 12 FF 7F"));
    ASSERT_EQ(rec.sampleCount, 2);
    EXPECT_EQ(rec.Time(0), 65535);
    EXPECT_EQ(rec.Pressure(0), -32768);
    EXPECT_EQ(rec.Time(1), 0x1234);
    EXPECT_EQ(rec.pressure[1], 32767);
    EXPECT_EQ(rec.Pressure(1), 0);
}

TEST(ReportFormat, DamagedFiles) {
    struct Case {
        const char* name;
        QByteArray bytes;
        ReportItem item;
        const char* says;
    } cases[] = {
        {"empty file", QByteArray(), ReportItem::Preamble, "too short"},
        {"nine bytes", "VR5Xv0.3.", ReportItem::Preamble, "too short"},
        {"a picture",
         hex("89 50 4E 47 0D 0A 1A 0A 00 00 00 0D 49 48 44 52") + QByteArray(200, '\x7f'),
         ReportItem::MachineId, "claims"},
        {"a letter",
         QByteArray("Dear operator, this is a letter and not a joint report at all. ").repeated(8),
         ReportItem::MachineId, "claims"},
        {"cut in the samples", test::fixtureBytes(QStringLiteral("damaged_truncated")),
         ReportItem::Samples, "100 of 200"},
        {"cut in the summary",
         test::reportBytes(QStringLiteral("summary: SM0001  00002  00003")).chopped(4),
         ReportItem::Summary, "runs past"},
        {"summary of 108", test::reportBytes(QStringLiteral("summary: ") + QString(108, u'7')),
         ReportItem::Summary, "108 characters"},
        {"count 301",
         test::reportBytes(QStringLiteral("notes: ") + QString(300, u'n') +
                           QStringLiteral("\nstring_count: notes 301")),
         ReportItem::Notes, "301"},
        {"count past the end",
         test::reportBytes(QStringLiteral("notes: Joint OK\nstring_count: reserve 280")),
         ReportItem::Reserve, "runs past"},
        {"negative count", test::reportBytes(QStringLiteral("summary: SM0000  00000  -0001")),
         ReportItem::Samples, "negative"},
        {"empty string cut after its count",
         layoutImage().left(offsetOf(ReportItem::EmployeeId) + 2), ReportItem::EmployeeId,
         "runs past"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JointRecord rec = test::decodeBytes(c.bytes);
        EXPECT_EQ(rec.problem.item, c.item) << reportItemName(rec.problem.item).toStdString();
        EXPECT_TRUE(rec.problem.what.contains(QString::fromUtf8(c.says)))
            << rec.problem.what.toStdString();
        EXPECT_LE(rec.problem.offset, c.bytes.size());
        EXPECT_GT(rec.headerLines.size(), 1);  // whatever was read is still shown
    }
    // A notes string of exactly 300 characters is whole.
    const JointRecord longest =
        test::decodeDescription(QStringLiteral("notes: ") + QString(300, u'n'));
    EXPECT_FALSE(longest.problem.isDamaged());
    EXPECT_EQ(longest.fields.notes.size(), 300);
}

// Every prefix of a report, as a download cut short at that byte would leave it: the decoder
// stops at the item that does not fit, keeps everything before it, and says so.
TEST(ReportFormat, EveryPrefixIsDamagedAndKeepsWhatWasRead) {
    const QByteArray withTwo = layoutImage().left(offsetOf(ReportItem::Summary)) +
                               QByteArray("SM0077  00011  00002", 21) +
                               hex("0A 00 F6 FF 0B 00 F7 FF");
    ASSERT_FALSE(test::decodeBytes(withTwo).problem.isDamaged());

    int lastItem = 0;
    for (qsizetype length = 0; length < withTwo.size(); ++length) {
        SCOPED_TRACE(length);
        const JointRecord rec = test::decodeBytes(withTwo.left(length));
        ASSERT_TRUE(rec.problem.isDamaged());
        EXPECT_EQ(static_cast<int>(rec.problem.item), static_cast<int>(rec.lastItem) + 1);
        EXPECT_LE(rec.problem.offset, length);
        EXPECT_GE(static_cast<int>(rec.lastItem), lastItem);
        lastItem = static_cast<int>(rec.lastItem);
        for (const Item& i : layout()) {
            if (i.item == ReportItem::Samples || !rec.has(i.item)) continue;
            if (i.item == ReportItem::Summary) continue;  // this image claims two samples
            EXPECT_EQ(i.read(rec), i.expected) << reportItemName(i.item).toStdString();
        }
        EXPECT_EQ(rec.sampleCount,
                  std::max<qsizetype>(0, (length - offsetOf(ReportItem::Samples)) / 4));
    }
    EXPECT_EQ(lastItem, static_cast<int>(ReportItem::Summary));
}

}  // namespace
}  // namespace vr5
