#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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

TEST(DiagnosticsE2eTest, ConnectsShowsSendsOffsetsAndClearsTheMemory) {
    test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({"--state", "finished", "--battery", "64"}));
    MemorySettingsStore settings;
    settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
    ProgramState state;
    YesPrompter prompter;
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

TEST(DiagnosticsE2eTest, ABadReplyEndsTheWindow) {
    test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({"--fault", "garbage@cmd:3"}));
    MemorySettingsStore settings;
    settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
    ProgramState state;
    YesPrompter prompter;
    CDiagnosticsDlg dialog({settings, state, prompter});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_TRUE(prompter.shown.last().startsWith(QStringLiteral("VR5 Probe Diagnostics|")));
}

}  // namespace
}  // namespace vr5
