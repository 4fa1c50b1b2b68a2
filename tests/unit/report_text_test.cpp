// The report header lines: their numbers, wording and values for each kind of machine.

#include "report/report_text.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "test_support.h"

namespace vr5 {
namespace {

std::vector<int> numbers(const QStringList& lines) {
    static const QRegularExpression numbered(QStringLiteral("^ ?(\\d+)\\. "));
    std::vector<int> out;
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = numbered.match(line);
        if (m.hasMatch()) out.push_back(m.captured(1).toInt());
    }
    return out;
}

std::vector<int> range(std::initializer_list<std::pair<int, int>> spans) {
    std::vector<int> out;
    for (const auto& [from, to] : spans) {
        for (int n = from; n <= to; ++n) out.push_back(n);
    }
    return out;
}

// True when `run` appears in `lines` as consecutive entries.
bool containsRun(const QStringList& lines, const QStringList& run) {
    for (qsizetype i = 0; i + run.size() <= lines.size(); ++i) {
        if (lines.mid(i, run.size()) == run) return true;
    }
    return false;
}

TEST(ReportText, PlainHydraulicMachine) {
    const JointRecord rec = test::decodeFixture(QStringLiteral("plain_hydraulic"));
    const QStringList expected = {
        " 1. Date/Time",
        ": 2024/05/06  14:32:07",
        " 2. Joint Number",
        ": 7",
        " 3. Job Number",
        ": J-2024-118",
        " 4. Employee ID",
        ": E-117",
        " 5. Machine ID",
        ": M-1042",
        " 6. Mach. Model",
        ": ZA2 HF",
        " 7. Pipe Material",
        ": HDPE PE4710",
        " 8. Pipe Size",
        ": 8\" IPS  DR 11",
        "",
        "Interfacial Pressures (psi):",
        "11. Bead",
        ": 75",
        "12. Soak",
        ": 0",
        "13. Fuse",
        ": 75",
        "14. Cool",
        ": 75",
        "^",
        "Recommended Gauge Pressures (psi):",
        "17. Bead",
        ": 337",
        "18. Soak",
        ": 30",
        "19. Fuse",
        ": 337",
        "20. Cool",
        ": 337",
        "",
        "Recorded Data:",
        "22. Drag Pressure: 30",
        "23. Fusilog Probe: 428",
        "24. External Probe: 425",
        "25. ABCD v1.2.3 c2012/05/06 xp0.3.0",
        "26. Notes:",
        "          Joint OK",
    };
    EXPECT_EQ(rec.headerLines, expected);
}

TEST(ReportText, MachineKinds) {
    const std::vector<int> mechanical = range({{1, 9}, {12, 13}, {15, 18}});
    const std::vector<int> directArea = range({{1, 9}, {12, 15}, {18, 21}, {23, 27}});
    struct Case {
        const char* fixture;      // a file in tests/fixtures, or
        const char* description;  // a description of its own
        std::vector<int> numbers;
        std::vector<QStringList> runs;
        QStringList absent;
    } cases[] = {
        {"suffix_zx",
         nullptr,
         range({{1, 10}, {13, 15}, {18, 20}, {22, 26}}),
         {{" 7. Piston Area", ": 3.14 in\u00B2", " 8. Pipe Material"},
          {" 9. Fitting Type", ": Tee", "10. Pipe Size", ": 8\" IPS x 4\" IPS", ""},
          {"Interfacial Pressures (psi):", "13. Bead", ": 75", "14. Soak", ": 0", "15. Fuse",
           ": 75", "^"},
          {"20. Fuse", ": 210", ""}},
         {"Cool"}},
        {"mechanical",
         nullptr,
         mechanical,
         {{" 8. Fitting Type", ": Elbow 90", " 9. Pipe Size", ": 4\" IPS x 4\" IPS", ""},
          {"Pressures (psi):", "", "12. Bead", ": 60", "13. Fuse", ": 45", "^",
           "Recorded Data:", "15. Fusilog Probe: 435", "16. External Probe: 431"}},
         {"Drag", "Soak", "Cool", "Interfacial", "Recommended", "Piston Area"}},
        {nullptr,
         "model: ZG",
         mechanical,
         {{" 6. Mach. Model", ": ZG"}, {"Pressures (psi):"}},
         {"Drag"}},
        {nullptr,
         "model: ZG Mech. ZX",
         mechanical,
         {{"Pressures (psi):"}},
         {"Piston Area", "Drag"}},
        {"direct_area",
         nullptr,
         directArea,
         {{" 8. Pipe Size", ": 4\" IPS  DR 11", " 9. Pipe Area", ": 4.96 in\u00B2", "",
           "Interfacial Pressures (psi):"},
          {"Recorded Data:", "23. Drag Pressure: 18"}},
         {"Piston Area", "Fitting Type"}},
        {"fitting_label",
         nullptr,
         directArea,
         {{" 8. Pipe Size", ": 6\" DIPS  0.627 \" WT", " 9. Pipe Area", ": 12.5 in\u00B2", "",
           "Rec. Forces from Fitting Label:", "12. Bead", ": 940"},
          {"Recommended Gauge Pressures (psi):"}},
         {"Interfacial"}},
        {"mpa",
         nullptr,
         range({{1, 8}, {11, 14}, {17, 20}, {22, 26}}),
         {{" 8. Pipe Size", ": 250mm JIS  DR 11"},
          {"Interfacial Pressures (MPa):"},
          {"Recommended Gauge Pressures (MPa):"}},
         {}},
        {"bar",
         nullptr,
         range({{1, 8}, {11, 14}, {17, 20}, {22, 26}}),
         {{" 8. Pipe Size", ": 200mm O.D.  18.2 mm WT"}, {"Interfacial Pressures (bar):"}},
         {}},
        {nullptr, "pressure_unit: kg/cm2", {}, {{"Interfacial Pressures (Kg/cm2):"}}, {}},
        {nullptr, "pressure_unit: 9", {}, {{"Recommended Gauge Pressures (psi):"}}, {}},
        {nullptr,
         "model: ZA2-ZX",
         range({{1, 8}, {11, 14}, {17, 20}, {22, 26}}),
         {{"14. Cool"}},
         {"Piston Area", "Fitting Type"}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.fixture ? c.fixture : c.description);
        const JointRecord rec = c.fixture
                                    ? test::decodeFixture(QString::fromUtf8(c.fixture))
                                    : test::decodeDescription(QString::fromUtf8(c.description));
        if (!c.numbers.empty()) {
            EXPECT_EQ(numbers(rec.headerLines), c.numbers);
        }
        for (const QStringList& run : c.runs) {
            EXPECT_TRUE(containsRun(rec.headerLines, run))
                << run.join(u'|').toStdString() << "\nin\n"
                << rec.headerLines.join(u'\n').toStdString();
        }
        for (const QString& text : c.absent) {
            EXPECT_FALSE(rec.headerLines.join(u'\n').contains(text)) << text.toStdString();
        }
    }
}

TEST(ReportText, UnitTexts) {
    struct Case {
        const char* description;
        const char* label;
        const char* value;
    } cases[] = {
        {"pipe_size_unit: 0\nwall_unit: 0", " 8. Pipe Size", ": 8\" IPS  DR 11"},
        {"pipe_size_unit: 1\nwall_unit: 1", " 8. Pipe Size", ": 8\" DIPS  11 \" WT"},
        {"pipe_size_unit: 2\nwall_unit: 2", " 8. Pipe Size", ": 8\" O.D.  11 mm WT"},
        {"pipe_size_unit: 3\nwall_unit: 3", " 8. Pipe Size", ": 8mm O.D.  DR 11"},
        {"pipe_size_unit: 4\nwall_unit: 2", " 8. Pipe Size", ": 8mm JIS  11 mm WT"},
        {"pipe_size_unit: 5\nwall_unit: 65535", " 8. Pipe Size", ": 8\" IPS  DR 11"},
        {"pipe_size:\nwall:", " 8. Pipe Size", ": ---\" IPS  DR ---"},
        {"model: ZA2 HF ZX\npiston_area_unit: 1", " 7. Piston Area", ": 4.71 cm\u00B2"},
        {"model: ZA2 HF ZX\npiston_area_unit: 2", " 7. Piston Area", ": 4.71 in\u00B2"},
        {"model: ZF2\nreserve: 3.5 cm\u00B2~", " 9. Pipe Area", ": 3.5 cm\u00B2"},
        {"model: ZG LD 4\nreserve: no tilde", " 9. Pipe Area", ": "},
        {"joint: 65535", " 2. Joint Number", ": 65535"},
        {"date: 2024-01-02 03:04:05", " 1. Date/Time", ": 2024/01/02  03:04:05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        const QStringList lines =
            test::decodeDescription(QString::fromUtf8(c.description)).headerLines;
        EXPECT_TRUE(containsRun(lines, {QString::fromUtf8(c.label), QString::fromUtf8(c.value)}))
            << lines.join(u'\n').toStdString();
    }
}

TEST(ReportText, ReserveData) {
    struct Case {
        const char* reserve;
        const char* area;
        bool fittingLabel;
    } cases[] = {
        {"12.5 in\u00B2~+F^", "12.5 in\u00B2", true},
        {"12.5 in\u00B2~", "12.5 in\u00B2", false},
        {"+F^", "", true},  // no "~": anywhere counts
        {"+F^12~", "+F^12", false},
        {"8 cm\u00B2~x+F^", "8 cm\u00B2", true},
        {"---", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reserve);
        EXPECT_EQ(reservePipeAreaText(QString::fromUtf8(c.reserve)), QString::fromUtf8(c.area));
        EXPECT_EQ(reserveHasFittingLabelFlag(QString::fromUtf8(c.reserve)), c.fittingLabel);
    }
}

TEST(ReportText, IdentityLine) {
    struct Case {
        const char* identity;
        const char* line;
    } cases[] = {
        {"VR5Xv0.3.0 ABCD12320120506", "ABCD v1.2.3 c2012/05/06 xp0.3.0"},
        {"VR5Xv0.3.0 TVR5-0042-A1B2C3", "TVR5-0042-A1B2C3    xp0.3.0"},
        {"VR5Pv2.1.0 WXYZ98720190131", "WXYZ v9.8.7 c2019/01/31 en2.1.0"},
        {"V5qqv1.0.0 ABCD12320120506", "ABCD v1.2.3 c2012/05/06 qq1.0.0"},
        {"VR5Xv0.3.0 AB", "AB v.. c// xp0.3.0"},  // positions past the end give nothing
        {"VR5X", " v.. c// xp"},
        {"XR5Xv0.3.0 ABCD12320120506", ""},
        {"---", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.identity);
        EXPECT_EQ(identityLineText(QString::fromUtf8(c.identity)), QString::fromUtf8(c.line));
    }
    const QStringList lines =
        test::decodeDescription(QStringLiteral("identity: VR5Xv0.3.0 TVR5-0042-A1B2C3"))
            .headerLines;
    EXPECT_TRUE(lines.contains(QStringLiteral("25. TVR5-0042-A1B2C3    xp0.3.0")));
}

TEST(ReportText, NotesWrapping) {
    const QString a70(70, u'a');
    const QString blankAt58 = QString(58, u'b') + u' ' + u'c';
    const QString blankAt55 = QString(55, u'd') + u' ' + QString(10, u'e');
    struct Case {
        QString notes;
        QStringList lines;
    } cases[] = {
        {"Joint OK\r\nSecond line", {"Joint OK", "Second line"}},
        {a70, {QString(54, u'a'), QString(16, u'a')}},
        {a70 + QStringLiteral("\nend"), {QString(54, u'a'), QString(16, u'a'), "end"}},
        {blankAt58, {blankAt58.left(55), blankAt58.mid(55)}},
        {blankAt55, {blankAt55.left(56), QString(10, u'e')}},  // a piece may end in its blank
        {QString(55, u'f'), {QString(54, u'f'), "f"}},
        {QString(54, u'g'), {QString(54, u'g')}},
        {"one two three four five six seven eight nine ten eleven twelve",
         {"one two three four five six seven eight nine ten eleven ", "twelve"}},
        {QString(50, u'x') + u' ' + QString(10, u'y'),
         {QString(50, u'x') + u' ', QString(10, u'y')}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"---", {"---"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notes.toStdString());
        EXPECT_EQ(wrapNotes(c.notes), c.lines);
    }

    // Each notes line is an entry of its own, indented under the label.
    const QStringList lines =
        test::decodeDescription(QStringLiteral("notes: ") + a70 + QStringLiteral("\\nend"))
            .headerLines;
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(lines.size() - 4),
              (QStringList{"26. Notes:", "          " + QString(54, u'a'),
                           "          " + QString(16, u'a'), "          end"}));
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

TEST(ReportText, NotesFitTheRowsTheyAreGiven) {
    const QString sentence = QStringLiteral("Bead even all round, ");  // 21 characters
    struct Case {
        QString notes;
        int rows;
        QStringList expected;
    } cases[] = {
        // Notes that fit are wrapped as always.
        {"Joint OK\r\nSecond line", 4, {"Joint OK", "Second line"}},
        // Too many short lines run on, their breaks shown as " / ".
        {"1\n2\n3\n4\n5\n6", 2, {"1 / 2 / 3 / 4 / 5 / 6"}},
        {"a\n\n\nb\r\n", 1, {"a / b"}},
        // Still too long: the last row is cut and says so.
        {sentence.repeated(6), 1, {(sentence.repeated(3)).left(51).trimmed() + " ..."}},
        {"x\ny", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.notes));
        const QStringList got = fitNotes(c.notes, c.rows);
        EXPECT_EQ(got, c.expected);
        EXPECT_LE(got.size(), c.rows);
        for (const QString& line : got) EXPECT_LE(line.size(), 56);
    }
}

}  // namespace
}  // namespace vr5
