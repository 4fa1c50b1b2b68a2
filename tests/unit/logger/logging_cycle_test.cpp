#include "logger/logging_cycle.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "logger/logger_lines.h"
#include "logger/logging_cycle_fixture.h"
#include "report/report_decoder.h"
#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

using test::echo;
using test::pageLine;
using test::statusLine;
using test::summaryLine;

class LoggingCycleTest : public test::LoggingCycleFixture {};

TEST_F(LoggingCycleTest, IdlePollingAndSilence) {
    EXPECT_EQ(step(), "") << "nothing is sent before the operator connects";
    connect();
    EXPECT_EQ(step(), "Wp01L0s0D0p0\r\n");
    EXPECT_EQ(step(statusLine({.pressure = 189, .battery = 87})), "Wp01L0s0D0p0\r\n");
    EXPECT_EQ(cycle->display().pressureReading, QStringLiteral("189"));
    EXPECT_EQ(cycle->display().temperatureReading, QStringLiteral("440"));
    EXPECT_EQ(cycle->display().probeVersion, QStringLiteral("P123 AB4C6E c2026/03/15"));
    EXPECT_EQ(cycle->display().statusCaption, QStringLiteral("Ready"));

    // Two silent steps send the poll again; five in a row end polling.
    EXPECT_EQ(step(), "");
    EXPECT_EQ(step(), "");
    EXPECT_EQ(step(), "Wp01L0s0D0p0\r\n");
    EXPECT_TRUE(cycle->polling());
    step();
    step();
    EXPECT_FALSE(cycle->polling());
}

TEST_F(LoggingCycleTest, ConnectAndDisconnect) {
    prompter.answers = {Prompter::Answer::Cancel, Prompter::Answer::Ok};
    EXPECT_FALSE(cycle->confirmConnect());
    EXPECT_TRUE(cycle->confirmConnect());
    EXPECT_EQ(prompter.messages.last(),
              QStringLiteral("Please make sure Fusilog\u00AE is turned on."));
    EXPECT_EQ(prompter.captions.last(), QStringLiteral("Check Fusilog\u00AE"));

    // A port that does not open: the operator is told and may try again.
    cycle->beginConnect();
    EXPECT_FALSE(cycle->display().connectButtonEnabled);
    cycle->connectFinished(false);
    EXPECT_EQ(
        prompter.messages.last(),
        QStringLiteral(
            "Could not connect to Fusilog\u00AE.  Please make sure Bluetooth\u00AE is turned on."));
    EXPECT_EQ(cycle->link(), LoggingCycle::Link::NotConnected);
    EXPECT_TRUE(cycle->display().connectButtonEnabled);
    EXPECT_EQ(cycle->display().connectButtonText, QStringLiteral("Connect"));

    connect();
    EXPECT_EQ(cycle->display().connectButtonText, QStringLiteral("Disconn."));
    step();
    step(statusLine({.logging = '1', .battery = 10}));
    EXPECT_EQ(cycle->display().statusCaption, QStringLiteral("Logging..."));
    // Disconnecting only changes the display: nothing more is sent, the readings go.
    cycle->disconnect();
    EXPECT_EQ(cycle->display().statusCaption, QStringLiteral("Ready"));
    EXPECT_EQ(cycle->display().statusText, QString::fromUtf8(LoggingCycle::kReadyText));
    EXPECT_EQ(cycle->display().pressureReading, QStringLiteral("---"));
    EXPECT_EQ(cycle->display().pressureCaption, QStringLiteral("psi"));
    EXPECT_FALSE(cycle->display().batteryPicture);
    EXPECT_EQ(step(statusLine()), "");
}

TEST_F(LoggingCycleTest, UnexpectedLinesInTheIdleState) {
    const struct {
        const char* what;
        QByteArray line;
        bool pollingGoesOn;
    } cases[] = {
        {"43 characters", statusLine({.info = false}).left(43), true},
        {"42 characters", statusLine({.info = false}).left(42), false},
        {"garbage", "\x01\x02zz", false},
        {"a diagnostics reply", "Pw05LPp 123c08000t440C00000b099iProbe 7", false},
    };
    for (const auto& c : cases) {
        SetUp();
        connect();
        step();
        step(c.line);
        EXPECT_EQ(cycle->polling(), c.pollingGoesOn) << c.what;
    }
}

TEST_F(LoggingCycleTest, ReadingsInEveryUnitAndTheTemperatureRules) {
    const struct {
        int pressureUnit, temperatureUnit, offset, demo;
        test::StatusFields fields;
        QString pressure, temperature;
    } cases[] = {
        {0, 0, 3, 0, {.pressure = 100, .temperature = 100}, "100", "103"},
        {0, 1, 3, 0, {.temperature = 100}, "150", "40"},
        {1, 0, 0, 0, {.pressure = 189}, "13.0", "440"},
        {2, 0, 0, 0, {.pressure = 142}, "10.0", "440"},
        {3, 0, 0, 0, {.pressure = 1450}, "10.000", "440"},
        {0, 0, 0, 0, {.pressure = 5, .temperature = 777}, " -0-", "ERR"},
        {0, 0, 0, 0, {.pressure = 7777, .temperature = 0}, " ERR", "-0-"},
        {0, 0, 0, 0, {.temperatureFlag = '0'}, "150", "---"},
        {0, 0, 0, 1, {.temperature = 301}, "150", "440"},
        {0, 1, 0, 1, {.temperature = 301}, "150", "230"},
        // An offset past -200..200 (a settings file edited by hand) counts as none.
        {0, 0, 2147483647, 0, {.temperature = 425}, "150", "425"},
    };
    for (const auto& c : cases) {
        SetUp();
        settings.write(keys::PressUnitInx, c.pressureUnit);
        settings.write(keys::TempUnitInx, c.temperatureUnit);
        settings.write(keys::TempOffset, c.offset);
        settings.write(keys::DemoMode, c.demo);
        connect();
        step();
        step(statusLine(c.fields));
        EXPECT_EQ(cycle->display().pressureReading, c.pressure) << c.pressureUnit;
        EXPECT_EQ(cycle->display().temperatureReading, c.temperature) << c.temperatureUnit;
    }
}

TEST_F(LoggingCycleTest, DemoPollsAndTheStopwatchReset) {
    settings.write(keys::DemoMode, 1);
    for (int i = 1; i <= 4; ++i) settings.write(keys::demoPsi(i), i * 100);
    settings.write(keys::DemoPsiInx, 4);
    connect();
    EXPECT_EQ(step(), "Wp01L0s0D1p400\r\n");
    cycle->resetStopwatch();
    EXPECT_EQ(step(statusLine()), "Wp01L0s1D1p100\r\n") << "index 4 + 1 wraps to 1";
    EXPECT_EQ(settings.read(keys::DemoPsiInx, 0), 1);
    EXPECT_EQ(step(statusLine()), "Wp01L0s0D1p100\r\n");
}

TEST_F(LoggingCycleTest, BatteryBlinksAtTwentyAndBelow) {
    for (int battery : {20, 21}) {
        SetUp();
        connect();
        step();
        step(statusLine({.battery = battery}));
        const bool low = battery <= 20;
        EXPECT_EQ(cycle->display().pressureCaption,
                  low ? QStringLiteral("psi [BAT!]") : QStringLiteral("psi"));
        EXPECT_EQ(cycle->display().batteryPicture, low);
        step(statusLine({.battery = battery}));
        EXPECT_EQ(cycle->display().pressureCaption, QStringLiteral("psi"));
        EXPECT_FALSE(cycle->display().batteryPicture);
    }
}

TEST_F(LoggingCycleTest, SetUpSendsTheThreeRecordsOnePerReply) {
    connect();
    const QByteArray joint = jointInformation();
    EXPECT_EQ(joint.left(29), "Wp02:07ea000c0007000900050003");
    EXPECT_TRUE(joint.endsWith("eom\r\n"));
    EXPECT_EQ(settings.read(keys::ParameterEntered, 0), 1);
    EXPECT_EQ(cycle->display().statusText, QStringLiteral("Setting up to log data. (1)"));
    EXPECT_FALSE(cycle->display().setupButtonEnabled);

    const QByteArray notes = step("Pw02");
    EXPECT_EQ(notes, "Wp03:03e70000000003e700000000eom\r\n");
    const QByteArray reserve = step("Pw03");
    EXPECT_EQ(reserve,
              "Wp04:0000" +
                  protocol::stringField(QStringLiteral("VR5Xv0.3.0 P123BCE20260315 probe-7")) +
                  protocol::stringField(QStringLiteral(" in\u00B2~")) + "eom\r\n");
    EXPECT_EQ(step("Pw04"), "Wp01L0s0D0p0\r\n");
    EXPECT_TRUE(cycle->display().setupButtonEnabled);

    // The logger logs: the logging display shows the recommended gauge pressures.
    step(statusLine({.logging = '1', .samples = 42, .elapsed = " 0:08.4"}));
    EXPECT_EQ(cycle->link(), LoggingCycle::Link::Logging);
    EXPECT_EQ(cycle->display().statusCaption, QStringLiteral("Logging..."));
    EXPECT_EQ(cycle->display().setupButtonText, QStringLiteral("Stop"));
    EXPECT_TRUE(cycle->display().loggingPanelVisible);
    EXPECT_EQ(cycle->display().statusText, QStringLiteral("42 data points\n\nElapsed  0:08.4"));
    EXPECT_EQ(cycle->display().recommendedPressures.count(u'\n'), 3);
    EXPECT_EQ(settings.read(keys::DemoPsiInx, 0), 1);

    // Stop: the next poll asks the logger to stop, and a late "logging" reply is not shown.
    prompter.answers = {Prompter::Answer::Yes};
    cycle->stopRequested();
    EXPECT_EQ(prompter.messages.last(), QStringLiteral("Are you sure you want to stop logging?"));
    EXPECT_EQ(cycle->display().statusText, QStringLiteral("Logging stopped."));
    EXPECT_EQ(step(statusLine({.logging = '1'})), "Wp01L2s0D0p0\r\n");
    EXPECT_EQ(cycle->display().statusCaption, QStringLiteral("Ready"));
    EXPECT_FALSE(cycle->display().setupButtonEnabled);
}

TEST_F(LoggingCycleTest, AFullDownloadMakesOneReportAndTheNextJointNumber) {
    const QByteArray joint = loggedJoint();
    const QList<QByteArray> pages = download(joint, 25, 10);
    EXPECT_EQ(pages, QList<QByteArray>({"Wp12-0000\r\n", "Wp12-0001\r\n", "Wp12-0002\r\n"}));
    EXPECT_TRUE(last.endDialog);
    EXPECT_FALSE(cycle->polling());
    EXPECT_EQ(cycle->display().statusText, QStringLiteral("Saving data to file..."));

    const QString path =
        QDir(reportFolder()).filePath(QStringLiteral("VR Job 12 Joint 7 by A5.tjr"));
    EXPECT_EQ(cycle->downloadedPath(), path);
    EXPECT_EQ(state.currentReportPath, path);
    EXPECT_TRUE(state.reloadFlag);
    EXPECT_EQ(settings.read(keys::JointNumber, 0), 8);
    EXPECT_EQ(QDir(reportFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("VR Job 12 Joint 7 by A5.tjr")}));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    JointRecord rec;
    decodeReport(file.readAll(), rec);
    EXPECT_FALSE(rec.problem.isDamaged());
    EXPECT_EQ(rec.fields.jobNumber, QStringLiteral("12"));
    EXPECT_EQ(rec.fields.jointNumber, 7);
    EXPECT_EQ(rec.fields.employeeId, QStringLiteral("A5"));
    EXPECT_EQ(rec.fields.year, 2026);
    EXPECT_EQ(rec.fields.interfacial[0], QStringLiteral("75"));
    EXPECT_EQ(rec.fields.reserve, QStringLiteral("12 in\u00B2~"));
    EXPECT_EQ(rec.time.size(), 25u);
}

// The joint information the program sends comes back in the report exactly where the report
// reader looks for each field, for a hydraulic and for the mechanical machine.
TEST_F(LoggingCycleTest, EverySetUpValueReachesItsPlaceInTheReport) {
    for (const bool mechanical : {false, true}) {
        SCOPED_TRACE(mechanical ? "mechanical" : "hydraulic");
        SetUp();
        const QString model = mechanical ? QStringLiteral("ZG Mech. 2") : QStringLiteral("ZA2 HF");
        state.currentMachineModelText = model;
        const std::pair<StringKey, QString> texts[] = {
            {keys::MachineId, "M-9"},
            {keys::MachineModelText, model},
            {keys::PistonArea, "4.71"},
            {keys::PipeMaterialText, "PE 4710"},
            {keys::PipeSize, "6"},
            {keys::WallThickness, "11"},
            {keys::HeatIfp, "75"},
            {keys::SoakIfp, "0"},
            {keys::FuseIfp, "76"},
            {keys::CoolIfp, "77"},
            {keys::DragPressure, "30 psi"},
            {keys::RecHeat, "211"},
            {keys::RecSoak, "30"},
            {keys::RecFuse, "212"},
            {keys::RecCool, "213"},
            {keys::ExtHtrTemp, "430 \u00B0F"},
            {keys::HtrTemp, "425 \u00B0F"},
            {keys::FittingMainSize, "2"},
            {keys::FittingOutletSize, "1"},
            {keys::FittingHeatPressure, "60"},
            {keys::FittingFusePressure, "90"},
            {keys::Notes, "Windy\nNorth side"},
            {keys::PipeAreaZx, "12"},
        };
        for (const auto& [key, value] : texts) settings.write(key, value);
        settings.write(keys::FittingType, 1);
        settings.write(keys::FittingMainUnit, 0);
        settings.write(keys::FittingOutletUnit, 3);
        settings.write(keys::PipeSizeUnit, 1);
        settings.write(keys::WallThicknessUnit, 2);
        settings.write(keys::PistonAreaUnit, 1);
        settings.write(keys::TempUnitInx, 0);

        // The logger keeps the records as they were sent and returns them for the download.
        connect();
        const QByteArray joint = jointInformation();
        const QByteArray notes = step("Pw02");
        const QByteArray reserve = step("Pw03");
        step("Pw04");
        step(statusLine({.logging = '2'}));
        step(echo(joint));
        step(echo(notes));
        step(echo(reserve));
        step(summaryLine(2));
        step(pageLine(0, 2, 150));
        ASSERT_TRUE(last.endDialog);

        QFile file(cycle->downloadedPath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        JointRecord rec;
        decodeReport(file.readAll(), rec);
        const ReportFields& f = rec.fields;
        EXPECT_FALSE(rec.problem.isDamaged());
        EXPECT_EQ(f.machineId, "M-9");
        EXPECT_EQ(f.modelText, model);
        EXPECT_EQ(f.pistonArea, "4.71");
        EXPECT_EQ(f.pistonAreaUnit, 1);
        EXPECT_EQ(f.material, "PE 4710");
        EXPECT_EQ(f.pipeSize, mechanical ? QStringLiteral("Tap Tee") : QStringLiteral("6"));
        EXPECT_EQ(f.pipeSizeUnit, 1);
        EXPECT_EQ(f.wall, mechanical ? QStringLiteral("2\" IPS x 1mm") : QStringLiteral("11"));
        EXPECT_EQ(f.wallUnit, 2);
        EXPECT_EQ(f.interfacial[0], mechanical ? QStringLiteral("60") : QStringLiteral("75"));
        EXPECT_EQ(f.interfacial[1], mechanical ? QStringLiteral("90") : QStringLiteral("0"));
        EXPECT_EQ(f.interfacial[2], "76");
        EXPECT_EQ(f.interfacial[3], "77");
        EXPECT_EQ(f.drag, "30 psi");
        EXPECT_EQ(f.recommended, (std::array<QString, 4>{"211", "30", "212", "213"}));
        EXPECT_EQ(f.extHeaterTemp, "430 \u00B0F");
        EXPECT_EQ(f.heaterTemp, "425 \u00B0F");
        EXPECT_EQ(f.notes, "Windy\nNorth side");
        EXPECT_EQ(f.identity, "VR5Xv0.3.0 P123BCE20260315 probe-7");
        EXPECT_EQ(f.reserve, "12 in\u00B2~");
        EXPECT_EQ(f.summaryLine, "xx0250xx01500xx2");
        EXPECT_EQ(rec.time.size(), 2u);
    }
}

TEST_F(LoggingCycleTest, DownloadsNeverReplaceAReport) {
    QDir().mkpath(reportFolder());
    const QString first =
        QDir(reportFolder()).filePath(QStringLiteral("VR Job 12 Joint 7 by A5.tjr"));
    QFile existing(first);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("an earlier report");
    existing.close();

    download(loggedJoint(), 3, 10);
    EXPECT_EQ(cycle->downloadedPath(),
              QDir(reportFolder()).filePath(QStringLiteral("VR Job 12 Joint 7 by A5 (2).tjr")));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "an earlier report");
}

TEST_F(LoggingCycleTest, SummaryOfZeroEndsAfterTheFirstPageAndEmptyPagesEndTheDownload) {
    for (int claimed : {0, 99999}) {
        SetUp();
        downloadBegun();
        step(QByteArray("Pw03:03e70000000003e700000000eom"));
        step(
            QByteArray("Pw04:0000"
                       "00000000"
                       "00000000eom"));
        EXPECT_EQ(step(summaryLine(claimed)), "Wp12-0000\r\n");
        step(pageLine(0, claimed == 0 ? 5 : 2, 100));
        if (claimed != 0) {
            EXPECT_EQ(step(pageLine(2, 0, 0)), "") << "an empty page is the end";
        }
        EXPECT_TRUE(last.endDialog) << claimed;
    }
}

TEST_F(LoggingCycleTest, SilenceDuringADownloadStartsItAfreshFromTheJointInformation) {
    const QByteArray joint = downloadBegun();
    EXPECT_EQ(QDir(reportFolder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    step();
    step();
    EXPECT_EQ(step(), "Wp01L0s0D0p0\r\n");
    // Wrong records in the waiting states are passed over.
    EXPECT_EQ(download(joint, 12, 5).size(), 3);
    EXPECT_EQ(QDir(reportFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("VR Job 12 Joint 7 by A5.tjr")}));
}

TEST_F(LoggingCycleTest, ClosingTheWindowKeepsWhatArrived) {
    downloadBegun();
    step(QByteArray("Pw03:03e70000000003e700000000eom"));
    cycle->windowClosing();
    EXPECT_TRUE(state.reloadFlag);
    EXPECT_TRUE(QFile::exists(cycle->downloadedPath()));
    EXPECT_EQ(settings.read(keys::JointNumber, 0), 8);

    // A window closed with no download under way changes nothing.
    SetUp();
    cycle->windowClosing();
    EXPECT_EQ(settings.read(keys::JointNumber, 0), 7);
}

}  // namespace
}  // namespace vr5
