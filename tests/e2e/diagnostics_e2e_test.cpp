#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "emulator_process.h"
#include "settings/settings_keys.h"
#include "ui/logger/diagnostics_dlg.h"

namespace vr5 {
namespace {

// Keeps what it was shown and answers Yes.
class YesPrompter final : public Prompter {
public:
    void show(const QString& text, const QString& caption, Icon) override {
        shown << caption + u'|' + text;
    }
    using Prompter::ask;
    Answer ask(const QString& text, const QString& caption, Buttons, Icon) override {
        shown << caption + u'|' + text;
        return Answer::Yes;
    }
    QStringList shown;
};

// The window on the emulator's port, with a store, state and prompter of its own.
class DiagnosticsE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
    }
    MemorySettingsStore settings;
    ProgramState state;
    YesPrompter prompter;
};

TEST_F(DiagnosticsE2eTest, ConnectsShowsSendsOffsetsAndClearsTheMemory) {
    test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({"--state", "finished", "--battery", "64"}));
    CDiagnosticsDlg dialog({settings, state, prompter});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.batteryLabel()->text() == "Bat: 64%"; }, 5000))
        << prompter.shown.join(u'\n').toStdString();
    EXPECT_FALSE(dialog.temperatureOffsetBox()->text().isEmpty());

    dialog.pressureOffsetBox()->setText(QStringLiteral("9100"));
    dialog.temperatureOffsetBox()->setText(QStringLiteral("7100"));
    dialog.changeOffsetButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return emulator.log().contains("Wp06c9100C7100"); }, 5000));
    dialog.clearButton()->click();
    EXPECT_EQ(prompter.shown.last(),
              QStringLiteral("Clear Report?|Are you sure you want to clear report buffer?"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return emulator.log().contains("Wp13CLR"); }, 5000));
    // The logger's answers to both are diagnostics replies: the window stays.
    QTest::qWait(600);
    EXPECT_TRUE(dialog.isVisible()) << prompter.shown.join(u'\n').toStdString();
}

TEST_F(DiagnosticsE2eTest, ABadReplyEndsTheWindow) {
    test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({"--fault", "garbage@cmd:3"}));
    CDiagnosticsDlg dialog({settings, state, prompter});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_TRUE(prompter.shown.last().startsWith(QStringLiteral("VR5 Probe Diagnostics|")));
}

// Link faults in Diagnostics: a window that keeps polling and never hangs; only a line that is
// not a diagnostics reply ends it.
TEST_F(DiagnosticsE2eTest, LinkFaultsLeaveTheWindowUsable) {
    const struct {
        const char* what;
        QStringList fault;
        bool showsBattery;  // a reply got through
        QString message;    // caption|text of a message, if one
    } cases[] = {
        {"a logger that never answers", {"--fault", "silence:100000"}, false, ""},
        {"a few lost replies", {"--fault", "silence:3@cmd:2"}, true, ""},
        {"a first byte 0xFF",
         {"--fault", "ff@cmd:2"},
         true,
         "Tarnell VR5-XP|First byte was 0xFF.  Changed to 'P'"},
        {"replies late by most of a step", {"--fault", "slow:150"}, true, ""},
        // Status and read-back faults do not touch the diagnostics poll.
        {"short status replies", {"--fault", "short-status:100"}, true, ""},
        {"read-backs answered wrongly", {"--fault", "wrong-record:100"}, true, ""},
        {"the link dropped", {"--fault", "drop@cmd:4"}, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::EmulatorProcess emulator;
        ASSERT_TRUE(emulator.start(QStringList{"--battery", "64"} + c.fault));
        MemorySettingsStore settings;
        settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
        ProgramState state;
        YesPrompter prompter;
        CDiagnosticsDlg dialog({settings, state, prompter});
        dialog.show();
        if (c.showsBattery) {
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return dialog.batteryLabel()->text() == "Bat: 64%"; }, 5000));
        }
        QTest::qWait(1200);
        EXPECT_TRUE(dialog.isVisible()) << prompter.shown.join(u'\n').toStdString();
        if (!c.showsBattery) {
            EXPECT_EQ(dialog.batteryLabel()->text(), QStringLiteral("Bat: ??"));
        }
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(prompter.shown.contains(c.message))
                << prompter.shown.join(u'\n').toStdString();
        }
        // The offsets still go out through a link that works.
        dialog.pressureOffsetBox()->setText(QStringLiteral("9100"));
        dialog.temperatureOffsetBox()->setText(QStringLiteral("7100"));
        dialog.changeOffsetButton()->click();
        dialog.reject();
        EXPECT_FALSE(dialog.isVisible());
    }
}

// The port fails for good: the window says the link is lost instead of polling a dead port.
TEST_F(DiagnosticsE2eTest, ALostLinkIsSaidAndNothingMoreIsSent) {
    test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({"--fault", "drop@cmd:4"}));
    CDiagnosticsDlg dialog({settings, state, prompter});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.session().connected(); }, 5000))
        << prompter.shown.join(u'\n').toStdString();
    EXPECT_TRUE(std::any_of(prompter.shown.begin(), prompter.shown.end(), [](const QString& t) {
        return t.startsWith(QStringLiteral("Application Error|WARNING:  ReadFile() Failed"));
    })) << prompter.shown.join(u'\n').toStdString();
    QTest::qWait(600);  // no blinking: the caption stays
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(),
              QString::fromLatin1(DiagnosticsSession::kLinkLost));
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
}

}  // namespace
}  // namespace vr5
