#include "ui/setup/machine_dlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(MachineDialog, FillAndConfirm) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    CMachineDlg dialog({settings, state, prompter});
    EXPECT_EQ(dialog.windowTitle(), "Machine");
    EXPECT_EQ(dialog.modelBox()->count(), 69);
    EXPECT_EQ(dialog.pistonAreaLabel()->text(), "Piston Area: 4.710");
    EXPECT_TRUE(dialog.nextButton()->isDefault());
    EXPECT_EQ(dialog.nextButton()->text(), "Next >>");
    EXPECT_EQ(dialog.backButton()->text(), "<< Back");
    EXPECT_EQ(dialog.idBox()->maxLength(), 20);

    dialog.show();
    dialog.modelBox()->setCurrentIndex(68);
    EXPECT_TRUE(dialog.modelTextBox()->isVisible());
    EXPECT_EQ(dialog.pistonAreaLabel()->text(), "Piston Area: ");
    QTest::keyClicks(dialog.idBox(), "M-12");
    QTest::keyClicks(dialog.modelTextBox(), "ZJ3 Custom");
    QTest::keyClicks(dialog.pistonAreaBox(), "7.5");
    dialog.unitBox()->setCurrentIndex(1);
    QTest::keyClick(dialog.pistonAreaBox(), Qt::Key_Return);  // Enter is "Next >>"
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::MachineModelText), "ZJ3 Custom");
    EXPECT_EQ(settings.read(keys::PistonArea), "7.5");
    EXPECT_EQ(settings.read(keys::PistonAreaUnit, -9), 1);
    EXPECT_EQ(state.currentMachineModelText, "ZJ3 Custom");
}

TEST(MachineDialog, BackStoresNothing) {
    MemorySettingsStore settings;
    ProgramState state;
    state.currentMachineModelText = QStringLiteral("ZA2 HF");
    test::ScriptedPrompter prompter;
    CMachineDlg dialog({settings, state, prompter});
    dialog.show();
    dialog.modelBox()->setCurrentIndex(43);
    dialog.backButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(settings.values().isEmpty());
    EXPECT_EQ(state.currentMachineModelText, "ZA2 HF");
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

TEST(MachineDialog, TypedEntriesSurviveAndATypedUnitIsNoneOfTheList) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    CMachineDlg dialog({settings, state, prompter});
    dialog.show();
    QTest::keyClicks(dialog.idBox(), "M-99");
    dialog.modelBox()->setCurrentIndex(68);  // the ID typed before stays
    EXPECT_EQ(dialog.idBox()->text(), "M-99");
    QTest::keyClicks(dialog.modelTextBox(), "Custom");
    dialog.unitBox()->lineEdit()->clear();
    QTest::keyClicks(dialog.unitBox()->lineEdit(), "ft2");
    QTest::keyClick(dialog.unitBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.unitBox()->count(), 2);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::MachineId), "M-99");
    EXPECT_EQ(settings.read(keys::PistonAreaUnit, 0), -1);
}

}  // namespace
}  // namespace vr5
