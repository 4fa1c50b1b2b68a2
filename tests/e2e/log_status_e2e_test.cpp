#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "emulator_process.h"
#include "report/report_decoder.h"
#include "settings/settings_keys.h"
#include "ui/logger/log_status_dlg.h"

namespace vr5 {
namespace {

// Answers as an operator who wants the joint logged: OK to connect, Yes to every question.
class OperatorPrompter final : public Prompter {
public:
    void show(const QString& text, const QString&, Icon) override { shown << text; }
    using Prompter::ask;
    Answer ask(const QString& text, const QString& caption, Buttons buttons, Icon) override {
        shown << text;
        if (caption == QString::fromUtf8(LoggingCycle::kConnectCaption)) return Answer::Ok;
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    QStringList shown;
};

// The set-up pages, each confirmed with "Next >>" on the values already stored.
class NextEveryPage final : public SetupPages {
public:
    Result showPage(int index) override {
        shown << index;
        return Result::Next;
    }
    QList<int> shown;
};

class LogStatusE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
        settings.write(keys::JobNumber, QStringLiteral("J-44"));
        settings.write(keys::JointNumber, 3);
        settings.write(keys::EmployeeId, QStringLiteral("E7"));
        settings.write(keys::MachineModelText, QStringLiteral("ZA2 HF"));
        settings.write(keys::PistonArea, QStringLiteral("4.71"));
        settings.write(keys::PipeAreaInch, QStringLiteral("20.5"));
        for (auto key : {keys::HeatIfp, keys::FuseIfp, keys::CoolIfp})
            settings.write(key, QStringLiteral("75"));
        settings.write(keys::SoakIfp, QStringLiteral("0"));
        settings.write(keys::DragPressure, QStringLiteral("30 psi"));
        state.currentMachineModelText = settings.read(keys::MachineModelText);
    }

    // One joint from "Connect" to the downloaded report; the report's path.
    QString logOneJoint(NextEveryPage& pages) {
        CLogStatusDlg dialog({settings, state, prompter}, folder.path());
        dialog.setSetupPages(&pages);
        dialog.show();
        dialog.connectButton()->click();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return dialog.cycle().link() == LoggingCycle::Link::Connected; }, 5000));
        EXPECT_EQ(dialog.connectButton()->text(), QStringLiteral("Disconn."));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !dialog.pressureReading()->text().isEmpty(); }, 5000));

        dialog.setupButton()->click();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return dialog.cycle().link() == LoggingCycle::Link::Logging; }, 10000))
            << emulator.log().toStdString();
        EXPECT_EQ(dialog.setupButton()->text(), QStringLiteral("Stop"));
        EXPECT_EQ(dialog.recommendedPressures()->text().count(u'\n'), 3);
        // The logger ends the run by itself; the download follows and the window closes.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 30000))
            << dialog.statusText()->text().toStdString();
        return state.currentReportPath;
    }

    test::EmulatorProcess emulator;
    QTemporaryDir folder;
    MemorySettingsStore settings;
    ProgramState state;
    OperatorPrompter prompter;
};

TEST_F(LogStatusE2eTest, TwoJointsLoggedAndDownloadedInARow) {
    ASSERT_TRUE(
        emulator.start({"--time-scale", "60", "--joint-seconds", "90", "--page-size", "50"}));
    NextEveryPage first;
    const QString report1 = logOneJoint(first);
    EXPECT_EQ(first.shown, QList<int>({0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(QFileInfo(report1).fileName(), QStringLiteral("VR Job J-44 Joint 3 by E7.tjr"));
    EXPECT_TRUE(state.reloadFlag);
    state.reloadFlag = false;

    // The next joint reuses the set-up ("Use these data for next joint?" Yes): from Notes on.
    NextEveryPage second;
    const QString report2 = logOneJoint(second);
    EXPECT_EQ(second.shown, QList<int>({3, 4, 5, 6, 7}));
    EXPECT_EQ(QFileInfo(report2).fileName(), QStringLiteral("VR Job J-44 Joint 4 by E7.tjr"));
    EXPECT_EQ(settings.read(keys::JointNumber, 0), 5);

    for (const QString& path : {report1, report2}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        JointRecord rec;
        decodeReport(file.readAll(), rec);
        EXPECT_FALSE(rec.problem.isDamaged()) << path.toStdString();
        EXPECT_EQ(rec.fields.employeeId, QStringLiteral("E7"));
        EXPECT_EQ(rec.fields.interfacial[0], QStringLiteral("75"));
        EXPECT_GT(rec.time.size(), 400u) << "90 s of logging at 5 samples a second";
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// Closed by the operator, or gone with the program (its event loop left without a close): what
// arrived is kept as a report either way.
TEST_F(LogStatusE2eTest, AWindowThatEndsDuringADownloadKeepsThePartialReport) {
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "the program quits" : "the window is closed");
        ASSERT_TRUE(emulator.start(
            {"--state", "finished", "--samples", "3000", "--page-size", "10", "--pace", "115200"}));
        QTemporaryDir reports;
        state = ProgramState();
        auto dialog = std::make_unique<CLogStatusDlg>(SetupContext{settings, state, prompter},
                                                      reports.path());
        dialog->show();
        dialog->connectButton()->click();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return dialog->statusText()->text().startsWith(
                    QStringLiteral("Downloading joint report... (1"));
            },
            10000));
        if (!quit) dialog->reject();
        dialog.reset();
        EXPECT_TRUE(state.reloadFlag);
        const QStringList files = QDir(reports.path()).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(files, QStringList({QStringLiteral("VR Job 1000 Joint 1 by EMU.tjr")}));
        emulator.stop();
    }
}

// The port fails for good (the logger switched off, a Bluetooth link gone): the operator is told,
// and "Connect" opens the port again once the logger is back.
TEST_F(LogStatusE2eTest, ALostLinkIsToldAndConnectOpensThePortAgain) {
    ASSERT_TRUE(emulator.start({"--fault", "drop@poll:3"}));
    CLogStatusDlg dialog({settings, state, prompter}, folder.path());
    dialog.show();
    dialog.connectButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.cycle().lost(); }, 10000));
    EXPECT_EQ(dialog.statusText()->text(), QString::fromUtf8(LoggingCycle::kLinkLost));
    EXPECT_EQ(dialog.connectButton()->text(), QStringLiteral("Connect"));
    EXPECT_TRUE(std::any_of(prompter.shown.begin(), prompter.shown.end(), [](const QString& t) {
        return t.startsWith(QStringLiteral("WARNING:  ReadFile() Failed"));
    }));

    // The logger is back on the same port.
    ASSERT_TRUE(emulator.start({"--pace", "115200"}));
    dialog.connectButton()->click();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return dialog.statusText()->text() == QString::fromUtf8(LoggingCycle::kReadyText); },
        5000))
        << dialog.statusText()->text().toStdString();
    const int polls = emulator.log().count(QStringLiteral("< Wp01"));
    QTest::qWait(1500);
    EXPECT_GT(emulator.log().count(QStringLiteral("< Wp01")), polls + 2) << "polling goes on";
    EXPECT_TRUE(dialog.cycle().polling());
    EXPECT_EQ(dialog.connectButton()->text(), QStringLiteral("Disconn."));
}

// A set-up record lost on its way: nothing more of that set-up is sent, the operator is told to
// run it again, and the second set-up logs the joint.
TEST_F(LogStatusE2eTest, ASetUpInterruptedAtEachRecordEndsCleanly) {
    for (int lost = 1; lost <= 3; ++lost) {
        SCOPED_TRACE(testing::Message() << "set-up record " << lost << " lost");
        ASSERT_TRUE(
            emulator.start({"--time-scale", "60", "--joint-seconds", "20", "--page-size", "100",
                            "--fault", QStringLiteral("silence@record:%1").arg(lost)}));
        QTemporaryDir reports;
        state = ProgramState();
        state.currentMachineModelText = settings.read(keys::MachineModelText);
        settings.write(keys::ParameterEntered, 0);
        CLogStatusDlg dialog({settings, state, prompter}, reports.path());
        NextEveryPage pages;
        dialog.setSetupPages(&pages);
        dialog.show();
        dialog.connectButton()->click();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return dialog.cycle().link() == LoggingCycle::Link::Connected; }, 5000));
        dialog.setupButton()->click();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return dialog.statusText()->text() ==
                       QString::fromUtf8(LoggingCycle::kSetUpInterrupted);
            },
            5000))
            << dialog.statusText()->text().toStdString();
        QTest::qWait(1500);
        const QString log = emulator.log();
        EXPECT_EQ(log.count(QStringLiteral("< Wp02:")), 1);
        EXPECT_EQ(log.count(QStringLiteral("< Wp03:")), lost >= 2 ? 1 : 0);
        EXPECT_EQ(log.count(QStringLiteral("< Wp04:")), lost >= 3 ? 1 : 0);
        EXPECT_TRUE(dialog.cycle().polling());
        EXPECT_EQ(dialog.cycle().link(), LoggingCycle::Link::Connected) << "nothing is logged";
        EXPECT_TRUE(dialog.setupButton()->isEnabled());

        // The set-up again: the joint is logged and downloaded.
        dialog.setupButton()->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 30000))
            << dialog.statusText()->text().toStdString();
        QFile file(state.currentReportPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << state.currentReportPath.toStdString();
        JointRecord rec;
        decodeReport(file.readAll(), rec);
        EXPECT_FALSE(rec.problem.isDamaged());
        EXPECT_EQ(rec.fields.employeeId, QStringLiteral("E7"));
        emulator.stop();
    }
}

TEST_F(LogStatusE2eTest, LinkFaultsInTheWindow) {
    const struct {
        const char* what;
        QStringList fault;
        QString message;  // shown to the operator
        bool pollingGoesOn;
    } cases[] = {
        {"a first byte 0xFF",
         {"--fault", "ff@poll:2"},
         "First byte was 0xFF.  Changed to 'P'",
         true},
        {"one lost reply", {"--fault", "silence@poll:2"}, "", true},
        {"replies late by most of a step", {"--fault", "slow:250"}, "", true},
        {"a read-back answered with another record", {"--fault", "wrong-record"}, "", true},
        {"a line that is not the logger's", {"--fault", "garbage@poll:2"}, "", false},
        {"a logger gone quiet", {"--fault", "silence:1000@poll:2"}, "", false},
        {"a 42-character status", {"--fault", "short-status@poll:2"}, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::EmulatorProcess logger;
        ASSERT_TRUE(logger.start(c.fault));
        prompter.shown.clear();
        CLogStatusDlg dialog({settings, state, prompter}, folder.path());
        dialog.show();
        dialog.connectButton()->click();
        if (c.pollingGoesOn) {
            QTest::qWait(3000);
            EXPECT_TRUE(dialog.cycle().polling());
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.cycle().polling(); }, 10000));
        }
        EXPECT_TRUE(dialog.isVisible());
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(prompter.shown.contains(c.message));
        }
        if (c.pollingGoesOn) {
            EXPECT_EQ(dialog.statusText()->text(), QString::fromUtf8(LoggingCycle::kReadyText));
        }
        dialog.reject();
    }
}

// Faults while a finished run comes down: the documented recovery, and the window never hangs.
TEST_F(LogStatusE2eTest, DownloadFaultsInTheWindow) {
    const QStringList finished{"--state", "finished", "--samples", "300", "--page-size", "50"};
    const struct {
        const char* what;
        QStringList fault;
        bool closes;  // the download ends the window by itself; else it ends incomplete
        int samples;  // in the report the view is to show
    } cases[] = {
        // The notes read-back answered with the reserve record: the notes are left empty.
        {"the notes read-back answered wrongly", {"--fault", "wrong-record@cmd:3"}, true, 300},
        {"a first byte 0xFF within the pages", {"--fault", "ff:3@page:1"}, true, 300},
        {"replies late by most of a step", {"--fault", "slow:250"}, true, 300},
        // Two silent steps: the status poll again, and the download afresh.
        {"one lost page request", {"--fault", "silence@page:2"}, true, 300},
        // A page that is no page, or one cut short, is asked for again.
        {"a page of garbage", {"--fault", "garbage@page:2"}, true, 300},
        {"a page cut short once", {"--fault", "cut@page:2"}, true, 300},
        // What arrived is kept at once, and said to be incomplete.
        {"a page that stays cut", {"--fault", "cut:10@page:2"}, false, 100},
        {"the link dropped", {"--fault", "drop@page:2"}, false, 100},
        {"a logger gone quiet", {"--fault", "silence:1000@page:2"}, false, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::EmulatorProcess logger;
        ASSERT_TRUE(logger.start(finished + c.fault));
        QTemporaryDir reports;
        state = ProgramState();
        CLogStatusDlg dialog({settings, state, prompter}, reports.path());
        dialog.show();
        dialog.connectButton()->click();
        if (c.closes) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 20000))
                << dialog.statusText()->text().toStdString() << logger.log().toStdString();
        } else {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return !dialog.cycle().incompleteReason().isEmpty(); }, 20000));
            EXPECT_TRUE(dialog.statusText()->text().startsWith(
                QStringLiteral("Joint report incomplete:\n")))
                << dialog.statusText()->text().toStdString();
            EXPECT_TRUE(prompter.shown.last().startsWith(
                QStringLiteral("The joint report is incomplete: ")));
            // Not frozen: the window still answers and closes.
            EXPECT_TRUE(dialog.isVisible());
            QApplication::processEvents();
            dialog.reject();
        }
        EXPECT_TRUE(state.reloadFlag);
        ASSERT_FALSE(state.currentReportPath.isEmpty());
        QFile file(state.currentReportPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << state.currentReportPath.toStdString();
        JointRecord rec;
        decodeReport(file.readAll(), rec);
        EXPECT_EQ(rec.problem.isDamaged(), !c.closes) << "a part report says so when opened";
        EXPECT_EQ(static_cast<int>(rec.time.size()), c.samples);
        EXPECT_EQ(QFileInfo(state.currentReportPath).fileName(),
                  QStringLiteral("VR Job 1000 Joint 1 by EMU.tjr"));
    }
}

// Faults on every reply while a joint is set up, logged and downloaded: each reply's first
// byte 0xFF (repaired and said), or every reply late.
TEST_F(LogStatusE2eTest, SetUpAndLoggingThroughAFaultyLink) {
    const struct {
        const char* what;
        QStringList fault;
        QString message;
    } cases[] = {
        {"every first byte 0xFF", {"--fault", "ff:100000"}, "First byte was 0xFF.  Changed to 'P'"},
        {"every reply late", {"--fault", "slow:200"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(emulator.start(
            QStringList{"--time-scale", "60", "--joint-seconds", "30", "--page-size", "100"} +
            c.fault));
        prompter.shown.clear();
        state = ProgramState();
        state.currentMachineModelText = settings.read(keys::MachineModelText);
        settings.write(keys::ParameterEntered, 0);
        NextEveryPage pages;
        const QString report = logOneJoint(pages);
        ASSERT_FALSE(report.isEmpty());
        QFile file(report);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << report.toStdString();
        JointRecord rec;
        decodeReport(file.readAll(), rec);
        EXPECT_FALSE(rec.problem.isDamaged());
        EXPECT_EQ(rec.fields.employeeId, QStringLiteral("E7"));
        EXPECT_GT(rec.time.size(), 100u);
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(prompter.shown.contains(c.message));
        }
        emulator.stop();
    }
}

}  // namespace
}  // namespace vr5
