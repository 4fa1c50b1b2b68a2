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

TEST(HeaterTempDialog, StoresTheTypedReadingWithItsUnit) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    CHeaterTempDlg dialog({settings, state, prompter});
    EXPECT_EQ(dialog.windowTitle(), "Heater Temperature");
    EXPECT_EQ(dialog.shift(), QPoint(15, 90));
    EXPECT_TRUE(dialog.promptLabel()->text().startsWith("Press \"Log\" on the probe"));
    dialog.show();
    QTest::keyClicks(dialog.temperatureBox(), "450");
    QTest::keyClick(dialog.temperatureBox(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::ExtHtrTemp), QStringLiteral("450 \u00B0F"));
}

}  // namespace
}  // namespace vr5
