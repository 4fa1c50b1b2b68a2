// Two kinds of logger after a download: one forgets that its run was waiting, one keeps
// offering it until its memory is cleared. Either way the run is saved once and the next joint
// is logged.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "emulator_process.h"
#include "settings/settings_keys.h"
#include "ui/logger/diagnostics_dlg.h"
#include "ui/logger/log_status_dlg.h"

namespace vr5 {
namespace {

// Yes to every question, OK to connect; keeps what it was asked and shown.
class YesPrompter final : public Prompter {
public:
    void show(const QString& text, const QString&, Icon) override { shown << text; }
    using Prompter::ask;
    Answer ask(const QString& text, const QString&, Buttons buttons, Icon) override {
        asked << text;
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    QStringList shown, asked;
};

class NextEveryPage final : public SetupPages {
public:
    Result showPage(int) override { return Result::Next; }
};

TEST(KeptRunE2eTest, ARunIsSavedOnceAndTheNextJointIsLogged) {
    for (const bool keeps : {false, true}) {
        SCOPED_TRACE(keeps ? "a logger that keeps its finished run" : "a logger that forgets it");
        test::EmulatorProcess emulator;
        QTemporaryDir reports;
        MemorySettingsStore settings;
        ProgramState state;
        YesPrompter prompter;
        settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
        settings.write(keys::JobNumber, QStringLiteral("J-44"));
        settings.write(keys::JointNumber, 3);
        settings.write(keys::EmployeeId, QStringLiteral("E7"));
        settings.write(keys::MachineModelText, QStringLiteral("ZA2 HF"));
        settings.write(keys::PipeAreaInch, QStringLiteral("20.5"));
        state.currentMachineModelText = settings.read(keys::MachineModelText);
        QStringList options = {"--state",      "finished",    "--samples",
                               "60",           "--page-size", "25",
                               "--time-scale", "60",          "--joint-seconds",
                               "30",           "--logged-at", "2026-12-07T09:05:03"};
        if (keeps) options << "--keep-finished";
        ASSERT_TRUE(emulator.start(options));

        // The first window downloads the run and closes.
        {
            CLogStatusDlg dialog({settings, state, prompter}, reports.path());
            dialog.show();
            dialog.connectButton()->click();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 15000))
                << dialog.statusText()->text().toStdString();
        }
        const QString first =
            QDir(reports.path()).filePath(QStringLiteral("VR Job 1000 Joint 1 by EMU.tjr"));
        EXPECT_EQ(state.currentReportPath, first);
        EXPECT_EQ(settings.read(keys::JointNumber, 0), 4);
        EXPECT_TRUE(prompter.asked.filter(QStringLiteral("Clear it from the logger")).isEmpty());

        // The next window: a logger that still offers the run has it checked, shown and, after
        // the check, cleared; then the next joint is set up, logged and downloaded.
        state = ProgramState();
        CLogStatusDlg dialog({settings, state, prompter}, reports.path());
        NextEveryPage pages;
        dialog.setSetupPages(&pages);
        dialog.show();
        dialog.connectButton()->click();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return dialog.cycle().state() == 1 && dialog.cycle().savedRun().isEmpty() &&
                       !dialog.cycle().downloadUnfinished() && dialog.setupButton()->isEnabled() &&
                       !dialog.pressureReading()->text().isEmpty() &&
                       dialog.pressureReading()->text() != QStringLiteral("--");
            },
            15000))
            << dialog.statusText()->text().toStdString();
        const QStringList clearQuestions =
            prompter.asked.filter(QStringLiteral("Clear it from the logger"));
        EXPECT_EQ(clearQuestions.size(), keeps ? 1 : 0);
        if (keeps) {
            EXPECT_EQ(clearQuestions.first(),
                      QString::fromUtf8(LoggingCycle::kClearQuestion)
                          .arg(QStringLiteral("VR Job 1000 Joint 1 by EMU.tjr")));
            // The saved report is the one shown, the joint number stays.
            EXPECT_EQ(state.currentReportPath, first);
            EXPECT_TRUE(state.reloadFlag);
            EXPECT_EQ(settings.read(keys::JointNumber, 0), 4);
        }
        EXPECT_EQ(emulator.log().count(QStringLiteral("< Wp13CLR")), keeps ? 1 : 0);
        EXPECT_EQ(emulator.log().count(QStringLiteral("< Wp2R")), keeps ? 2 : 1);

        dialog.setupButton()->click();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return dialog.cycle().link() == LoggingCycle::Link::Logging; }, 10000))
            << dialog.statusText()->text().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 20000))
            << dialog.statusText()->text().toStdString();
        EXPECT_EQ(QDir(reports.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList({QStringLiteral("VR Job 1000 Joint 1 by EMU.tjr"),
                               QStringLiteral("VR Job J-44 Joint 4 by E7.tjr")}));
        EXPECT_EQ(settings.read(keys::JointNumber, 0), 5);
        emulator.stop();
    }
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

// A port that does not open: both logger windows name it and where another is chosen.
TEST(KeptRunE2eTest, AFailedConnectNamesThePortTried) {
    test::EmulatorProcess ports;  // the ports folder, with no logger behind COM8
    const QString device = QDir(ports.portFolder()).filePath(QStringLiteral("no-such-device"));
    ASSERT_TRUE(QFile::link(device, QDir(ports.portFolder()).filePath(QStringLiteral("COM8"))));
    MemorySettingsStore settings;
    ProgramState state;
    YesPrompter prompter;
    settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
    const QString expected = QString::fromUtf8(LoggingCycle::kConnectFailed) +
                             QStringLiteral("\n\nTried COM8 (") + device +
                             QStringLiteral(").\nChoose another port in File > Settings.");
    {
        CLogStatusDlg dialog({settings, state, prompter}, QDir::tempPath());
        dialog.show();
        dialog.connectButton()->click();
        ASSERT_FALSE(prompter.shown.isEmpty());
        EXPECT_EQ(prompter.shown.last().toStdString(), expected.toStdString());
        EXPECT_EQ(dialog.connectButton()->text(), QStringLiteral("Connect"));
    }
    prompter.shown.clear();
    CDiagnosticsDlg diagnostics({settings, state, prompter});
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_EQ(prompter.shown.first().toStdString(), expected.toStdString());
}

}  // namespace
}  // namespace vr5
