// The emulator as the program meets it: a child process serving a pty, spoken to with plain
// POSIX calls. Replies are checked against the logger's reply layouts, and a downloaded run is
// decoded by the program's own report decoder.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <charconv>
#include <functional>
#include <thread>

#include "emu_client.h"
#include "report/report_decoder.h"
#include "temporary_home.h"

namespace vr5emu::test {
namespace {

// The decimal number at a fixed place in a reply (blanks before it allowed, read up to the
// first other character, within `width`); -1 when there is none.
int numberAt(const std::string& line, size_t pos, size_t width) {
    if (pos >= line.size()) return -1;
    std::string_view field = std::string_view(line).substr(pos, width);
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    int value = -1;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() ? value : -1;
}

// The set-up records as the program builds them: numbers as four hex digits, strings as a
// count and each UTF-16 unit low byte first, an empty string with one filler group.
class Record {
public:
    Record& n(int value) {
        hex(static_cast<unsigned>(value), 4);
        return *this;
    }
    Record& s(const QString& value) {
        hex(static_cast<unsigned>(value.size()), 4);
        if (value.isEmpty()) hex(0, 4);
        for (const QChar unit : value) {
            hex(unit.unicode() & 0xff, 2);
            hex(unit.unicode() >> 8, 2);
        }
        return *this;
    }
    const std::string& text() const { return text_; }

private:
    void hex(unsigned value, int digits) {
        static constexpr char kHex[] = "0123456789abcdef";
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
            text_ += kHex[(value >> shift) & 15];
    }
    std::string text_;
};

// A joint information record with the given gauge pressures in the given unit.
std::string jointInfo(const QString& job, int unitIndex, const QString& drag, const QString& heat,
                      const QString& fuse) {
    Record r;
    r.n(2024).n(5).n(17).n(9).n(41).n(3);
    r.s("M-9").n(4).s("ZA2 HF").s("11.780").n(0).s("OP-1").s(job).n(42).n(19).s("PE 4710");
    r.s("8").n(0).s("11").n(0).s("75").s("").s("75").s("75").n(unitIndex).s(drag);
    r.s(heat).s(drag).s(fuse).s(fuse).n(0).s("").s("425");
    return r.text();
}

// The section conversion of the download: four hex digits to one little-endian word.
void appendWords(QByteArray& image, const std::string& line) {
    if (line.size() < 8) return;
    const std::string hex = line.substr(5, line.size() - 8);
    for (size_t i = 0; i + 4 <= hex.size(); i += 4) {
        unsigned word = 0;
        std::from_chars(hex.data() + i, hex.data() + i + 4, word, 16);
        image.append(static_cast<char>(word & 0xff));
        image.append(static_cast<char>(word >> 8));
    }
}

struct Download {
    std::string info, notes, reserve, summary;
    std::vector<std::string> pages;
    QByteArray image;  // the report file the lines make
    bool complete = false;
};

// Reads a run back as the program does: records, summary, then pages until the summary's
// sample count has come.
Download download(PtyClient& link) {
    Download d;
    d.info = link.ask("Wp2R").value_or("");
    d.notes = link.ask("Wp3R").value_or("");
    d.reserve = link.ask("Wp4R").value_or("");
    d.summary = link.ask("Wp11").value_or("");
    d.image = "VR5Xv0.3.0";
    appendWords(d.image, d.info);
    appendWords(d.image, d.notes);
    appendWords(d.image, d.reserve);
    if (d.summary.size() < 8) return d;
    d.image.append(d.summary.data() + 5, static_cast<qsizetype>(d.summary.size() - 8));
    d.image.append('\0');
    int remaining = numberAt(d.summary, 20, 5);
    for (int page = 0; page < 1000; ++page) {
        const std::string number = std::to_string(page);
        const auto line =
            link.ask("Wp12-" + std::string(4 - std::min<size_t>(4, number.size()), '0') + number);
        if (!line) return d;
        d.pages.push_back(*line);
        appendWords(d.image, *line);
        remaining -= static_cast<int>(line->size() >= 8 ? (line->size() - 8) / 8 : 0);
        if (remaining < 1) break;
    }
    d.complete = true;
    return d;
}

bool isRecordReply(const std::string& line, std::string_view head) {
    return line.starts_with(head) && line.ends_with("eom");
}

char stateOf(PtyClient& link) {
    const auto reply = link.ask("Wp01L0s0D0p0");
    return reply && reply->size() > 5 ? (*reply)[5] : '?';
}

// Polls, as the program's cycle does, until the logger reports a finished run.
bool pollUntilFinished(PtyClient& link) {
    for (int i = 0; i < 500; ++i) {
        if (stateOf(link) == '2') return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(Vr5Emu, StatusReplyHasEveryMarkerAtItsPlace) {
    struct Case {
        const char* name;
        QStringList args;
        char state;
        int samples;
        const char* temperature;
        char flag;
        const char* battery;
        std::string info;  // empty: no info section
    };
    const std::string defaultInfo = "03.0 P5K1 TK0120 20240315 SN0417";
    const Case cases[] = {
        {"idle", {}, '0', 0, "425", '1', "085", defaultInfo},
        {"finished run waits",
         {"--state", "finished", "--samples", "40"},
         '2',
         40,
         "425",
         '1',
         "085",
         defaultInfo},
        {"logging",
         {"--state", "logging", "--samples", "10"},
         '1',
         -1,
         "425",
         '1',
         "085",
         defaultInfo},
        {"probe error", {"--temperature", "777"}, '0', 0, "777", '1', "085", defaultInfo},
        {"no reading",
         {"--temperature", "0", "--no-temperature"},
         '0',
         0,
         "000",
         '0',
         "085",
         defaultInfo},
        {"low battery", {"--battery", "5"}, '0', 0, "425", '1', "005", defaultInfo},
        {"no info", {"--no-info"}, '0', 0, "425", '1', "085", ""},
        {"own info",
         {"--info", "X1.2 ABCD UVWXYZ 19991231 tail"},
         '0',
         0,
         "425",
         '1',
         "085",
         "X1.2 ABCD UVWXYZ 19991231 tail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmuProcess emu(c.args);
        ASSERT_TRUE(emu.ready()) << emu.errorText().toStdString();
        PtyClient link(emu.slavePath());
        const auto reply = link.ask("Wp01L0s0D0p0");
        ASSERT_TRUE(reply);
        const std::string& r = *reply;
        ASSERT_GE(r.size(), 43u) << r;
        EXPECT_EQ(r.substr(0, 4), "Pw01");
        const std::pair<size_t, char> markers[] = {{4, 'L'},  {6, 'r'},  {12, 'e'},
                                                   {20, 's'}, {28, 'p'}, {39, 'b'}};
        for (const auto& [pos, marker] : markers) {
            EXPECT_EQ(r[pos], marker) << "at " << pos << ": " << r;
        }
        EXPECT_EQ(r[5], c.state);
        if (c.samples >= 0) {
            EXPECT_EQ(numberAt(r, 7, 5), c.samples) << r;
        }
        EXPECT_GE(numberAt(r, 7, 5), 0) << r;
        EXPECT_EQ(r[14], ':') << "elapsed time as h:mm:ss: " << r;
        EXPECT_EQ(r[23], ':') << "stopwatch as m:ss.t: " << r;
        EXPECT_GE(numberAt(r, 29, 4), 0) << r;
        EXPECT_EQ(r.substr(34, 3), c.temperature);
        EXPECT_EQ(r[38], c.flag);
        EXPECT_EQ(r.substr(40, 3), c.battery);
        if (c.info.empty()) {
            EXPECT_EQ(r.size(), 43u) << r;
        } else {
            EXPECT_EQ(r[43], 'i');
            EXPECT_EQ(r.substr(44), c.info);
        }
        EXPECT_TRUE(emu.stop());
    }
}

TEST(Vr5Emu, FinishedRunDownloadsIntoAGoodReport) {
    struct Case {
        int samples;
        int pageSize;
        QStringList extra;
    };
    const Case cases[] = {
        {25, 10, {"--samples", "25"}},
        {3000, 250, {}},  // a whole joint of 600 s
        {0, 250, {"--samples", "0"}},
        {500, 250, {"--samples", "500"}},
        {300, 370, {"--samples", "300", "--pace", "115200"}},  // paced long lines arrive whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.samples << " samples, pages of " << c.pageSize);
        const QStringList args = {
            "--state", "finished",   "--job", "12",          "--joint",
            "7",       "--employee", "A5",    "--page-size", QString::number(c.pageSize)};
        EmuProcess emu(args + c.extra);
        ASSERT_TRUE(emu.ready()) << emu.errorText().toStdString();
        PtyClient link(emu.slavePath());
        EXPECT_EQ(stateOf(link), '2');

        const Download d = download(link);
        ASSERT_TRUE(d.complete);
        EXPECT_TRUE(isRecordReply(d.info, "Pw02:")) << d.info;
        EXPECT_TRUE(isRecordReply(d.notes, "Pw03:")) << d.notes;
        EXPECT_TRUE(isRecordReply(d.reserve, "Pw04:")) << d.reserve;
        ASSERT_TRUE(isRecordReply(d.summary, "Pw11:")) << d.summary;
        EXPECT_LE(d.summary.size() - 8, 107u);
        EXPECT_EQ(numberAt(d.summary, 20, 10), c.samples) << d.summary;
        EXPECT_EQ(numberAt(d.summary, 13, 5), c.samples) << "duration in ticks: " << d.summary;

        const size_t pages = std::max<size_t>(1, (c.samples + c.pageSize - 1) / c.pageSize);
        ASSERT_EQ(d.pages.size(), pages);
        int total = 0;
        for (size_t i = 0; i < d.pages.size(); ++i) {
            const std::string& page = d.pages[i];
            ASSERT_TRUE(isRecordReply(page, "Pw12:")) << page.substr(0, 40);
            ASSERT_EQ((page.size() - 8) % 8, 0u);
            const int count = static_cast<int>((page.size() - 8) / 8);
            EXPECT_EQ(count, std::min(c.pageSize, c.samples - total)) << "page " << i;
            total += count;
        }
        EXPECT_EQ(total, c.samples);

        // What the program would store decodes whole.
        vr5::JointRecord rec;
        vr5::decodeReport(d.image, rec);
        EXPECT_FALSE(rec.problem.isDamaged()) << rec.problem.what.toStdString();
        EXPECT_EQ(rec.sampleCount, c.samples);
        EXPECT_EQ(rec.fields.jobNumber, "12");
        EXPECT_EQ(rec.fields.jointNumber, 7);
        EXPECT_EQ(rec.fields.employeeId, "A5");
        EXPECT_EQ(rec.fields.notes, "---");
        EXPECT_TRUE(rec.fields.identity.startsWith("VR5Xv0.3.0 P5K1"))
            << rec.fields.identity.toStdString();
        for (int i = 0; i < rec.sampleCount; ++i) ASSERT_EQ(rec.Time(i), i);
        if (c.samples == 3000) {
            // A whole joint: bead and fuse at the default joint's 211 psi, and the program finds
            // the heater coming out a little before half time.
            EXPECT_NEAR(numberAt(d.summary, 7, 4), 211, 3);
            EXPECT_NEAR(rec.heaterRemoval, 0.45 * 3000 + 20, 30);
        }

        // Read: no longer waiting, but still there for a fresh download until cleared.
        EXPECT_EQ(stateOf(link), '0');
        const Download again = download(link);
        EXPECT_EQ(again.image, d.image);
        const auto cleared = link.ask("Wp13CLR");
        ASSERT_TRUE(cleared);
        EXPECT_TRUE(cleared->starts_with("Pw05")) << *cleared;
        EXPECT_EQ(numberAt(link.ask("Wp11").value_or(""), 20, 10), 0);
        EXPECT_EQ(link.ask("Wp2R"), "Pw02:eom");
        EXPECT_TRUE(emu.stop());
    }
}

TEST(Vr5Emu, LogsAJointFromTheSetupRecords) {
    struct Case {
        const char* name;
        int unitIndex;
        QString drag, heat, fuse;
        double psi;  // the bead and fuse pressure the profile should reach
    };
    const Case cases[] = {
        {"psi", 0, "25", "150", "150", 150},
        {"bar", 1, "1.7", "10.3", "10.3", 10.3 * 14.5},
        {"MPa", 3, "0.17", "1.03", "1.03", 1.03 * 145},
        {"gauge pressures that do not read", 0, "--", "-----", "-----", 190},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmuProcess emu({"--time-scale", "1000", "--joint-seconds", "120"});
        ASSERT_TRUE(emu.ready());
        PtyClient link(emu.slavePath());
        const std::string info = jointInfo("J-77", c.unitIndex, c.drag, c.heat, c.fuse);
        const std::string notes = Record().n(999).s("").n(999).s("north bank").text();
        const std::string reserve = Record().n(0).s("VR5Xv0.3.0 P5K1").s("12.0 in\u00B2~").text();
        EXPECT_EQ(link.ask("Wp02:" + info + "eom"), "Pw02");
        EXPECT_EQ(link.ask("Wp03:" + notes + "eom"), "Pw03");
        EXPECT_EQ(stateOf(link), '0') << "logging starts with the reserve record";
        EXPECT_EQ(link.ask("Wp04:" + reserve + "eom"), "Pw04");
        ASSERT_TRUE(pollUntilFinished(link));

        const Download d = download(link);
        ASSERT_TRUE(d.complete);
        EXPECT_EQ(d.info, "Pw02:" + info + "eom");
        EXPECT_EQ(d.notes, "Pw03:" + notes + "eom");
        EXPECT_EQ(d.reserve, "Pw04:" + reserve + "eom");
        vr5::JointRecord rec;
        vr5::decodeReport(d.image, rec);
        ASSERT_EQ(rec.sampleCount, 600);  // 120 s of ticks
        EXPECT_EQ(rec.fields.jobNumber, "J-77");
        EXPECT_EQ(rec.fields.notes, "north bank");
        EXPECT_NEAR(rec.maxPressure, c.psi, 4);
        EXPECT_LE(rec.Pressure(0), 5) << "the run starts from an open carriage";
        EXPECT_LE(rec.Pressure(275), 5) << "heater removal near half time";
        EXPECT_NEAR(rec.Pressure(450), c.psi * 0.97, 6) << "cooling near the fuse pressure";
        EXPECT_LE(rec.Pressure(599), 5) << "released at the end";
        EXPECT_TRUE(emu.stop());
    }
}

TEST(Vr5Emu, StopAndDemoModeShapeTheRun) {
    EmuProcess emu({"--state", "logging", "--time-scale", "100", "--joint-seconds", "3000"});
    ASSERT_TRUE(emu.ready());
    PtyClient link(emu.slavePath());
    EXPECT_EQ(stateOf(link), '1');
    // Demo mode: the poll's pressure is the one reported and logged.
    const auto demo = link.ask("Wp01L0s0D1p123");
    ASSERT_TRUE(demo);
    EXPECT_EQ(demo->substr(29, 4), "0123");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto stopped = link.ask("Wp01L2s0D1p123");
    ASSERT_TRUE(stopped);
    EXPECT_EQ((*stopped)[5], '2') << *stopped;
    const int samples = numberAt(*stopped, 7, 5);
    EXPECT_GT(samples, 1);
    EXPECT_LT(samples, 3000 * 5) << "stopped long before the run would end by itself";
    // A stopped run stays stopped.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(numberAt(link.ask("Wp01L0s0D0p0").value_or(""), 7, 5), samples);

    const Download d = download(link);
    vr5::JointRecord rec;
    vr5::decodeReport(d.image, rec);
    ASSERT_EQ(rec.sampleCount, samples);
    EXPECT_EQ(rec.Pressure(samples - 1), 123);

    // The stopwatch restarts on s1.
    const auto reset = link.ask("Wp01L0s1D0p0");
    ASSERT_TRUE(reset);
    EXPECT_EQ(reset->substr(21, 7), " 0:00.0");
    EXPECT_TRUE(emu.stop());
}

TEST(Vr5Emu, DiagnosticsRepliesShowTheOffsets) {
    EmuProcess emu({"--battery", "64"});
    ASSERT_TRUE(emu.ready());
    PtyClient link(emu.slavePath());
    const auto check = [](const std::optional<std::string>& reply, int pressureOffset,
                          int temperatureOffset) {
        ASSERT_TRUE(reply);
        const std::string& r = *reply;
        ASSERT_GE(r.size(), 27u) << r;
        EXPECT_EQ(r.substr(0, 4), "Pw05");
        const std::pair<size_t, char> markers[] = {{4, 'L'},  {6, 'p'},  {11, 'c'}, {17, 't'},
                                                   {21, 'C'}, {27, 'b'}, {31, 'i'}};
        for (const auto& [pos, marker] : markers) {
            EXPECT_EQ(r[pos], marker) << "at " << pos << ": " << r;
        }
        EXPECT_TRUE(r[5] == 'P' || r[5] == 'R') << r;
        EXPECT_EQ(numberAt(r, 12, 5), pressureOffset) << r;
        EXPECT_EQ(numberAt(r, 22, 5), temperatureOffset) << r;
        EXPECT_EQ(r.substr(18, 3), "425");
        EXPECT_EQ(r.substr(28, 3), "064");
        EXPECT_EQ(r.substr(32), "03.0 P5K1 TK0120 20240315 SN0417");
    };
    check(link.ask("Wp05"), 8192, 8000);
    check(link.ask("Wp06c1234C5678"), 1234, 5678);
    check(link.ask("Wp06c5C5678"), 1234, 5678);  // out of range: kept as they were
    check(link.ask("Wp13CLR"), 1234, 5678);
    EXPECT_EQ(link.ask("Wp99"), "Pw??");
    EXPECT_EQ(link.ask("Wp01L0s0"), "Pw??");
    EXPECT_EQ(link.ask("Wp02:12eom"), "Pw??") << "a record that is not hex groups is refused";
    EXPECT_TRUE(emu.stop());
}

TEST(Vr5Emu, FaultsShowUpAsDocumented) {
    struct Step {
        std::string command;
        std::function<bool(const std::string&)> reply;  // empty: no reply is read
    };
    const auto startsWith = [](std::string head) {
        return [head](const std::string& r) { return r.starts_with(head); };
    };
    const auto status = [](const std::string& r) {
        return r.starts_with("Pw01") && r.size() >= 43;
    };
    const std::string garbage = "#~\x9c?!GARBAGE!?";
    struct Case {
        const char* name;
        QStringList args;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"short status",
         {"--fault", "short-status@poll:2"},
         {{"Wp05", startsWith("Pw05")},
          {"Wp01L0s0D0p0", status},
          {"Wp01L0s0D0p0",
           [](const std::string& r) { return r.starts_with("Pw01") && r.size() == 42; }},
          {"Wp01L0s0D0p0", status}}},
        {"0xFF first byte",
         {"--fault", "ff@cmd:2"},
         {{"Wp01L0s0D0p0", status},
          {"Wp05", [](const std::string& r) { return r.starts_with("\xffw05"); }},
          {"Wp05", startsWith("Pw05")}}},
        {"garbage",
         {"--fault", "garbage:2"},
         {{"Wp05", [&](const std::string& r) { return r == garbage; }},
          {"Wp01L0s0D0p0", [&](const std::string& r) { return r == garbage; }},
          {"Wp01L0s0D0p0", status}}},
        {"silence",
         {"--fault", "silence:2@cmd:2"},
         {{"Wp05", startsWith("Pw05")}, {"Wp05", {}}, {"Wp11", {}}, {"Wp01L0s0D0p0", status}}},
        {"wrong record",
         {"--state", "finished", "--fault", "wrong-record@cmd:2"},
         {{"Wp2R", startsWith("Pw02:")},
          {"Wp01L0s0D0p0", status},
          {"Wp3R", startsWith("Pw04:")},
          {"Wp3R", startsWith("Pw03:")}}},
        {"fault on a page",
         {"--state", "finished", "--samples", "30", "--page-size", "10", "--fault", "ff@page:1"},
         {{"Wp12-0000", startsWith("Pw12:")},
          {"Wp12-0001", startsWith("\xffw12:")},
          {"Wp12-0002", startsWith("Pw12:")}}},
        {"a set-up record lost",
         {"--fault", "silence@record:2"},
         {{"Wp02:0000eom", startsWith("Pw02")},
          {"Wp03:0000eom", {}},
          {"Wp01L0s0D0p0", status},
          {"Wp04:0000eom", startsWith("Pw04")}}},
        {"a page reply cut short once",
         {"--state", "finished", "--samples", "30", "--page-size", "10", "--fault", "cut@page:1"},
         {{"Wp12-0001",
           [](const std::string& r) { return r.starts_with("Pw12:") && r.size() == 44; }},
          {"Wp12-0001",
           [](const std::string& r) { return r.size() == 88 && r.ends_with("eom"); }}}},
        {"slow replies",
         {"--fault", "slow:40@cmd:2"},
         {{"Wp05", startsWith("Pw05")}, {"Wp01L0s0D0p0", status}, {"Wp05", startsWith("Pw05")}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmuProcess emu(c.args);
        ASSERT_TRUE(emu.ready()) << emu.errorText().toStdString();
        PtyClient link(emu.slavePath());
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.command);
            link.send(step.command);
            if (!step.reply) continue;
            // The first line to come is this command's reply: a silenced one sent none.
            const auto reply = link.readLine();
            ASSERT_TRUE(reply);
            EXPECT_TRUE(step.reply(*reply)) << *reply;
        }
        EXPECT_TRUE(emu.stop());
    }
}

TEST(Vr5Emu, DropClosesTheLinkAndEnds) {
    QTemporaryDir dir;
    const QString port = dir.filePath("ports/COM9");
    EmuProcess emu({"--link", port, "--fault", "drop@cmd:2"});
    ASSERT_TRUE(emu.ready());
    PtyClient link(port.toStdString());
    ASSERT_TRUE(link.isOpen());
    EXPECT_TRUE(link.ask("Wp01L0s0D0p0"));
    EXPECT_FALSE(link.ask("Wp01L0s0D0p0"));
    EXPECT_TRUE(link.hungUp());
    EXPECT_EQ(emu.waitForEnd(), 0);
    EXPECT_FALSE(QFileInfo(port).isSymLink());
}

TEST(Vr5Emu, LinkNamesTheSlaveUntilTheEnd) {
    QTemporaryDir dir;
    const QString port = dir.filePath("ports/COM8");
    {
        EmuProcess emu({"--link", port});
        ASSERT_TRUE(emu.ready());
        EXPECT_EQ(QFileInfo(port).symLinkTarget().toStdString(), emu.slavePath());
        {
            // The program closing and opening its port again leaves the logger listening.
            PtyClient first(port.toStdString());
            EXPECT_TRUE(first.ask("Wp05"));
        }
        PtyClient second(port.toStdString());
        EXPECT_TRUE(second.ask("Wp05"));
        EXPECT_TRUE(emu.stop());
        EXPECT_FALSE(QFileInfo::exists(port));
    }
    // Interrupted from the keyboard: the link goes too.
    {
        EmuProcess emu({"--link", port});
        ASSERT_TRUE(emu.ready());
        ::kill(static_cast<pid_t>(emu.process().processId()), SIGINT);
        EXPECT_EQ(emu.waitForEnd(), 0);
        EXPECT_FALSE(QFileInfo::exists(port));
    }
    // Anything but a symlink at that name is left alone.
    QFile file(port);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep");
    file.close();
    EmuProcess refused({"--link", port});
    EXPECT_FALSE(refused.ready());
    EXPECT_EQ(refused.waitForEnd(), 2);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep");
}

TEST(Vr5Emu, ExitAfterDownloadEndsOnceTheRunIsRead) {
    EmuProcess emu(
        {"--state", "finished", "--samples", "12", "--page-size", "5", "--exit-after-download"});
    ASSERT_TRUE(emu.ready());
    PtyClient link(emu.slavePath());
    const Download d = download(link);
    ASSERT_TRUE(d.complete);
    EXPECT_EQ(d.pages.size(), 3u);
    EXPECT_EQ(emu.waitForEnd(), 0);
}

// A logger that keeps offering its finished run after it was read: the same run every time,
// until the memory is cleared.
TEST(Vr5Emu, KeepFinishedOffersTheRunUntilCleared) {
    EmuProcess emu(
        {"--state", "finished", "--samples", "12", "--page-size", "5", "--keep-finished"});
    ASSERT_TRUE(emu.ready());
    PtyClient link(emu.slavePath());
    const Download first = download(link);
    ASSERT_TRUE(first.complete);
    EXPECT_EQ(stateOf(link), '2');
    const Download again = download(link);
    ASSERT_TRUE(again.complete);
    EXPECT_EQ(again.image, first.image);
    EXPECT_EQ(stateOf(link), '2');
    ASSERT_TRUE(link.ask("Wp13CLR"));
    EXPECT_EQ(stateOf(link), '0');
    EXPECT_EQ(link.ask("Wp2R"), "Pw02:eom");
    EXPECT_TRUE(emu.stop());
}

TEST(Vr5Emu, RefusesWrongArguments) {
    const QStringList wrong[] = {
        {"--page-size", "0"},       {"--page-size", "371"},   {"--fault", "sparks"},
        {"--fault", "slow"},        {"--fault", "ff@cmd:0"},  {"--fault", "drop:3"},
        {"--fault", "ff@when:3"},   {"--time-scale", "0"},    {"--time-scale", "fast"},
        {"--battery", "101"},       {"--state", "busy"},      {"--bogus"},
        {"--joint-seconds", "0.1"}, {"--joint", "7x"},        {"--samples"},
        {"--no-info=yes"},          {"--info", "two\nlines"},
    };
    for (const QStringList& args : wrong) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EmuProcess emu(args);
        EXPECT_FALSE(emu.ready());
        EXPECT_EQ(emu.waitForEnd(), 1);
        EXPECT_TRUE(emu.errorText().startsWith("vr5emu: "));
    }
    EmuProcess help({"--help"});
    EXPECT_EQ(help.waitForEnd(), 0);
    const QString usage = QString::fromUtf8(help.output());
    for (const char* option : {"--link",
                               "--state",
                               "--job",
                               "--joint",
                               "--employee",
                               "--samples",
                               "--time-scale",
                               "--page-size",
                               "--battery",
                               "--temperature",
                               "--no-temperature",
                               "--no-info",
                               "--info",
                               "--joint-seconds",
                               "--pace",
                               "--fault",
                               "--exit-after-download",
                               "--keep-finished",
                               "--verbose",
                               "silence",
                               "garbage",
                               "ff",
                               "short-status",
                               "drop",
                               "slow:MS",
                               "wrong-record",
                               "cut",
                               "--logged-at",
                               "record:K",
                               "cmd:K",
                               "page:K"}) {
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;
    }
}

}  // namespace
}  // namespace vr5emu::test

int main(int argc, char** argv) {
    QTemporaryDir home;
    vr5::test::useTemporaryHome(home);
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
