#include "logger/protocol.h"

#include <gtest/gtest.h>

#include <limits>

#include "logger/line_assembler.h"
#include "logger/logger_lines.h"
#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

using namespace protocol;

TEST(LoggerProtocolTest, FieldEncodings) {
    const struct {
        const char* what;
        QByteArray encoded;
        QByteArray expected;
    } cases[] = {
        {"two letters with blanks", stringField(QStringLiteral(" AB ")), "000241004200"},
        {"empty", stringField(QString()), "00000000"},
        {"blanks only", stringField(QStringLiteral("   ")), "00000000"},
        {"a unit above 255", stringField(QStringLiteral("\u00B2\u20AC")), "0002b200ac20"},
        {"minus five", numberField(-5), "0005"},
        {"70000", numberField(70000), "ffff"},
        {"65535", numberField(65535), "ffff"},
        {"zero", numberField(0), "0000"},
        {"status poll", statusPoll(2, 1, 1, 189), "Wp01L2s1D1p189\r\n"},
        {"page", readPage(7), "Wp12-0007\r\n"},
        {"offsets", setOffsets(8000, 12), "Wp06c8000C12\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.encoded, c.expected) << c.what;

    const QByteArray longest = stringField(QString(101, u'x'));
    EXPECT_EQ(longest.left(4), "0064");
    EXPECT_EQ(longest.size(), 4 + 100 * 4);
}

TEST(LoggerProtocolTest, HexReaderPassesWholeFieldsAndStaysInsideTheLine) {
    const QByteArray line = "Pw02:" + numberField(2026) + stringField(QString()) +
                            stringField(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")) +
                            numberField(7) + stringField(QStringLiteral("A5")) + "eom";
    HexReader r(line, 5);
    EXPECT_EQ(r.number(), 2026);
    EXPECT_EQ(r.string(20), QString());
    EXPECT_EQ(r.string(20), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(r.number(), 7);
    EXPECT_EQ(r.string(20), QStringLiteral("A5"));

    // A count far beyond the line reads what is there and never beyond.
    const QByteArray cut = "Pw02:ffff4100";
    HexReader lying(cut, 5);
    EXPECT_EQ(lying.string(20), QStringLiteral("A"));
    EXPECT_EQ(lying.number(), 0);
}

TEST(LoggerProtocolTest, StatusReplySectionsAndLengthLimit) {
    const QByteArray line = test::statusLine({.logging = '1', .samples = 42, .pressure = 189});
    const auto reply = parseStatusReply(line);
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply->loggingState, '1');
    EXPECT_EQ(*reply->sampleCount, "   42");
    EXPECT_EQ(*reply->stopwatch, " 0:12.4");
    EXPECT_EQ(*reply->pressurePsi, 189);
    EXPECT_EQ(reply->temperatureF, 440);
    EXPECT_TRUE(reply->temperaturePresent);
    EXPECT_EQ(*reply->battery, 87);
    EXPECT_TRUE(reply->hasInfo);
    EXPECT_EQ(reply->probeVersion, QStringLiteral("P123 AB4C6E c2026/03/15"));
    EXPECT_EQ(reply->probeIdentity, "P123BCE20260315 probe-7");

    const QByteArray exact = line.left(43);
    EXPECT_TRUE(parseStatusReply(exact));
    EXPECT_FALSE(parseStatusReply(exact.left(42)));
    EXPECT_FALSE(parseStatusReply("Pw05" + line.mid(4)));

    // A long info section is cut to 31 characters of identity.
    const auto longInfo = parseStatusReply(line + QByteArray(100, 'z'));
    ASSERT_TRUE(longInfo);
    EXPECT_EQ(longInfo->probeIdentity.size(), kProbeIdentityMaxLength);
    // Without its markers a section is not read.
    QByteArray unmarked = line;
    unmarked[28] = 'x';
    unmarked[39] = 'x';
    const auto partial = parseStatusReply(unmarked);
    ASSERT_TRUE(partial);
    EXPECT_FALSE(partial->pressurePsi);
    EXPECT_FALSE(partial->battery);
}

TEST(LoggerProtocolTest, DiagnosticsReply) {
    const QByteArray line = "Pw05LPp 123c08000t440C00000b099iProbe 7";
    const auto reply = parseDiagnosticsReply(line);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(*reply->buttonPressed);
    EXPECT_EQ(*reply->pressure, " 123");
    EXPECT_EQ(*reply->pressureOffset, "08000");
    EXPECT_EQ(*reply->temperature, "440");
    EXPECT_EQ(*reply->temperatureOffset, "00000");
    EXPECT_EQ(*reply->battery, 99);
    EXPECT_EQ(*reply->probeInfo, "Probe 7");
    EXPECT_TRUE(parseDiagnosticsReply(line.left(27)));
    EXPECT_FALSE(parseDiagnosticsReply(line.left(26)));
    EXPECT_FALSE(parseDiagnosticsReply("Pw01" + line.mid(4)));
}

TEST(LoggerProtocolTest, SectionConversionIsLowByteFirstAndDropsAShortRest) {
    QByteArray out;
    EXPECT_EQ(convertSection("Pw03:03e70000000003e700000000eom", out), 24);
    EXPECT_EQ(out, QByteArray::fromHex("e7030000 0000e703 00000000"));
    out.clear();
    // A group that is not all hex reads up to its first other character; "6ab" is dropped.
    EXPECT_EQ(convertSection("Pw12:000a 1ff6abeom", out), 11);
    EXPECT_EQ(out, QByteArray::fromHex("0a000000"));
    out.clear();
    EXPECT_EQ(convertSection("Pw1", out), 0);
    EXPECT_TRUE(out.isEmpty());
}

TEST(LoggerProtocolTest, RecordsAreRefusedWhenTheyDoNotFit) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    settings.write(keys::Notes, QString(100, u'n'));
    settings.write(keys::Gps, QStringLiteral("N 51"));
    const auto notes = buildNotesRecord(settings, state, prompter);
    ASSERT_TRUE(notes);
    EXPECT_TRUE(notes->startsWith("Wp03:03e70004"));
    EXPECT_TRUE(notes->endsWith("eom\r\n"));
    EXPECT_TRUE(prompter.messages.isEmpty());

    // Every text at its longest does not fit the joint information.
    for (auto key : {keys::MachineId, keys::MachineModelText, keys::PistonArea, keys::EmployeeId,
                     keys::JobNumber, keys::PipeMaterialText, keys::PipeSize})
        settings.write(key, QString(100, u'w'));
    EXPECT_FALSE(buildJointInformation(settings, state, QDateTime::currentDateTime(), prompter));
    EXPECT_EQ(prompter.messages,
              QStringList({QString::fromUtf8(RecordBuilder::kStringTooLong),
                           QStringLiteral("Could not build joint information!")}));
    EXPECT_EQ(prompter.captions,
              QStringList({QStringLiteral("Error"), QStringLiteral("Log Error")}));
}

TEST(LoggerProtocolTest, NotesCarryTheTemperatureOffset) {
    const struct {
        QString notes;
        int offset;
        QString expected;
    } cases[] = {
        {QStringLiteral("Windy"), 0, QStringLiteral("Windy")},
        {QString(), 3, QStringLiteral("Temp. Offset: 3\u00B0F")},
        {QStringLiteral(" "), -2, QStringLiteral("Temp. Offset: -2\u00B0F")},
        {QStringLiteral("Windy"), 5, QStringLiteral("Windy\nTemp. Offset: 5\u00B0F")},
        {QString(), -200, QStringLiteral("Temp. Offset: -200\u00B0F")},
        // Past -200..200 only a settings file edited by hand can go: no offset then.
        {QStringLiteral("Windy"), 201, QStringLiteral("Windy")},
        {QStringLiteral("Windy"), std::numeric_limits<int>::min(), QStringLiteral("Windy")},
    };
    for (const auto& c : cases) {
        MemorySettingsStore settings;
        ProgramState state;
        test::ScriptedPrompter prompter;
        settings.write(keys::Notes, c.notes);
        settings.write(keys::TempOffset, c.offset);
        const auto record = buildNotesRecord(settings, state, prompter);
        ASSERT_TRUE(record);
        EXPECT_EQ(*record, "Wp03:03e7" + stringField(QString()) + "03e7" + stringField(c.expected) +
                               "eom\r\n")
            << c.notes.toStdString() << " " << c.offset;
    }
}

TEST(LoggerProtocolTest, ReserveRecordMarksADemoAndCarriesTheArea) {
    const struct {
        int demo, areaUnit;
        QByteArray head;
        QString area;
    } cases[] = {
        {0, 0, "Wp04:0000", "12.5 in\u00B2~"},
        {1, 1, "Wp04:0001", "12.5 cm\u00B2~"},
        {1, 7, "Wp04:0001", "12.5 in\u00B2~"},
    };
    for (const auto& c : cases) {
        MemorySettingsStore settings;
        test::ScriptedPrompter prompter;
        settings.write(keys::DemoMode, c.demo);
        settings.write(keys::PipeAreaZx, QStringLiteral("12.5"));
        settings.write(keys::PipeAreaZxUnitInx, c.areaUnit);
        const auto record = buildReserveRecord(settings, "P1", prompter);
        ASSERT_TRUE(record);
        EXPECT_EQ(*record, c.head + stringField(QStringLiteral("VR5Xv0.3.0 P1")) +
                               stringField(c.area) + "eom\r\n");
    }
}

TEST(LineAssemblerTest, LinesFromBytes) {
    const struct {
        const char* what;
        QByteArray bytes;
        QByteArray line;
        bool repaired;
    } cases[] = {
        {"carriage returns dropped", "Pw\r01\r\n", "Pw01", false},
        {"first byte 0xFF", "\xFFw01\n", "Pw01", true},
        {"empty line", "\n", "", false},
        {"a NUL ends the text",
         QByteArray("Pw0\0"
                    "1\n",
                    6),
         "Pw0", false},
    };
    for (const auto& c : cases) {
        LineAssembler a;
        bool repaired = false;
        for (char b : c.bytes)
            repaired |= a.feed(static_cast<unsigned char>(b)) == LineAssembler::Fed::LineRepaired;
        EXPECT_TRUE(a.takeLine()) << c.what;
        EXPECT_FALSE(a.takeLine()) << c.what;
        EXPECT_EQ(a.line(), c.line) << c.what;
        EXPECT_EQ(repaired, c.repaired) << c.what;
    }

    // An overlong line keeps its first 2999 characters; the rest is dropped.
    LineAssembler a;
    for (int i = 0; i < 5000; ++i) a.feed('a');
    a.feed('z');
    a.feed('\n');
    EXPECT_EQ(a.line(), QByteArray(LineAssembler::kMaxLength, 'a'));
}

}  // namespace
}  // namespace vr5
