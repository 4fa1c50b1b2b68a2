#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
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

TEST_F(LogStatusE2eTest, ClosingTheWindowDuringADownloadKeepsThePartialReport) {
    ASSERT_TRUE(emulator.start(
        {"--state", "finished", "--samples", "3000", "--page-size", "10", "--pace", "115200"}));
    CLogStatusDlg dialog({settings, state, prompter}, folder.path());
    dialog.show();
    dialog.connectButton()->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return dialog.statusText()->text().startsWith(
                QStringLiteral("Downloading joint report... (1"));
        },
        10000));
    dialog.reject();
    EXPECT_TRUE(state.reloadFlag);
    const QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(files.size(), 1) << files.join(u',').toStdString();
    EXPECT_TRUE(files[0].endsWith(QStringLiteral(".tjr")));
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
        {"a 42-character status", {"--fault", "short-status@poll:2"}, "", false},
        {"the link dropped", {"--fault", "drop@poll:3"}, "", false},
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

}  // namespace
}  // namespace vr5
