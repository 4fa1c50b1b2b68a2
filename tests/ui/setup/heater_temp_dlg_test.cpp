#include "ui/setup/heater_temp_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(HeaterTempDialog, StoresTheTypedReadingOrNone) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    struct Case {
        const char* typed;
        const char* stored;
    } cases[] = {{"450", "450 \u00B0F"}, {"", "---"}};
    for (const Case& c : cases) {
        CHeaterTempDlg dialog({settings, state, prompter});
        EXPECT_EQ(dialog.windowTitle(), "Heater Temperature");
        EXPECT_EQ(dialog.shift(), QPoint(15, 90));
        EXPECT_TRUE(dialog.promptLabel()->text().startsWith("Press \"Log\" on the probe"));
        EXPECT_TRUE(dialog.temperatureBox()->text().isEmpty());
        dialog.show();
        QTest::keyClicks(dialog.temperatureBox(), c.typed);
        QTest::keyClick(dialog.temperatureBox(), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(settings.read(keys::ExtHtrTemp), QString::fromUtf8(c.stored));
    }

    CHeaterTempDlg dialog({settings, state, prompter});
    dialog.show();
    QTest::keyClicks(dialog.temperatureBox(), "500");
    dialog.backButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settings.read(keys::ExtHtrTemp), "---");
}

}  // namespace
}  // namespace vr5
