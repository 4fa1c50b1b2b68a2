#include "ui/setup/fitting_size_dlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

class FittingDialogTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};
};

TEST_F(FittingDialogTest, FillAndConfirm) {
    settings.write(keys::FittingType, 7);  // not in the list: no selection
    CFittingSizeDlg dialog(context);
    EXPECT_EQ(dialog.windowTitle(), "Fitting");
    EXPECT_EQ(dialog.byLabel()->text(), "X");
    auto* pressures = dialog.findChild<QGroupBox*>();
    ASSERT_NE(pressures, nullptr);
    EXPECT_EQ(pressures->title(), "Pressures:");
    EXPECT_EQ(dialog.typeBox()->count(), 4);
    EXPECT_EQ(dialog.mainUnitBox()->count(), 4);
    EXPECT_EQ(dialog.typeBox()->currentIndex(), -1);
    EXPECT_EQ(dialog.materialBox()->currentText(), "EXEL");

    dialog.show();
    EXPECT_FALSE(dialog.materialTextBox()->isVisible());
    dialog.materialBox()->setCurrentIndex(20);
    EXPECT_TRUE(dialog.materialTextBox()->isVisible());
    QTest::keyClicks(dialog.materialTextBox(), "PE 100 RC");
    dialog.materialBox()->setCurrentIndex(6);
    EXPECT_FALSE(dialog.materialTextBox()->isVisible());
    EXPECT_TRUE(dialog.materialTextBox()->text().isEmpty());

    QTest::keyClicks(dialog.mainSizeBox(), "8");
    dialog.outletUnitBox()->setCurrentIndex(3);
    QTest::keyClicks(dialog.outletSizeBox(), "63.000");  // five characters at most
    QTest::keyClicks(dialog.beadBox(), "45 psi");
    QTest::keyClick(dialog.beadBox(), Qt::Key_Return);  // Enter is "Next >>"
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    const QMap<QString, QString> expected = {
        {"Log Data/Fitting Type", "-1"},
        {"Log Data/Fitting Main Unit", "0"},
        {"Log Data/Fitting Outlet Unit", "3"},
        {"Log Data/Fitting Main Size", "8"},
        {"Log Data/Fitting Outlet Size", "63.00"},
        {"Log Data/Fitting Fuse Pressure", "--"},
        {"Log Data/Fitting Heat Pressure", "45 ps"},
        {"Log Data/Pipe Material Inx", "6"},
        {"Log Data/Pipe Material Text", "PE100"},
    };
    EXPECT_EQ(settings.values(), expected);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(FittingDialogTest, BackStoresNothing) {
    CFittingSizeDlg dialog(context);
    dialog.show();
    QTest::keyClicks(dialog.fuseBox(), "30");
    dialog.typeBox()->setCurrentIndex(3);
    dialog.backButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(settings.values().isEmpty());
}

}  // namespace
}  // namespace vr5
