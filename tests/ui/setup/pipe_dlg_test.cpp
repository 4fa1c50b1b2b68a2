#include "ui/setup/pipe_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "ui/setup/pipe_area_dlg.h"

namespace vr5 {
namespace {

class PipeDialogTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    SetupContext context{settings, state, prompter};
};

TEST_F(PipeDialogTest, FillAreaAndConfirm) {
    state.currentMachineModelText = QStringLiteral("ZJ2-HF");
    CPipeDlg dialog(context);
    EXPECT_EQ(dialog.windowTitle(), "Pipe");
    EXPECT_EQ(dialog.materialBox()->count(), 21);
    EXPECT_EQ(dialog.sizeUnitBox()->count(), 5);
    EXPECT_EQ(dialog.wallUnitBox()->count(), 3);
    EXPECT_EQ(dialog.wallBox()->maxLength(), 5);
    EXPECT_EQ(dialog.beadBox()->maxLength(), 5);
    EXPECT_EQ(dialog.materialTextBox()->maxLength(), 20);
    dialog.show();
    EXPECT_FALSE(dialog.materialTextBox()->isVisible());
    EXPECT_TRUE(dialog.pipeAreaButton()->isVisible());
    EXPECT_EQ(dialog.pipeAreaButton()->text(), "Pipe Area: ??");

    // The Pipe Area button opens its dialog; a typed area shows on the button.
    QTimer::singleShot(0, [] {
        auto* area = qobject_cast<CPipeAreaDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(area->windowTitle(), "Pipe Area");
        EXPECT_EQ(area->areaBox()->maxLength(), 7);
        QTest::keyClicks(area->areaBox(), "12.5");
        area->unitBox()->setCurrentIndex(1);
        area->okButton()->click();
    });
    dialog.pipeAreaButton()->click();
    EXPECT_EQ(dialog.pipeAreaButton()->text(), "Pipe Area: 12.5 cm²");
    EXPECT_EQ(settings.read(keys::PipeAreaZx), "12.5");
    EXPECT_EQ(settings.read(keys::PipeAreaZxUnitInx, -9), 1);

    dialog.materialBox()->setCurrentIndex(20);
    EXPECT_TRUE(dialog.materialTextBox()->isVisible());
    QTest::keyClicks(dialog.materialTextBox(), "Blue HDPE");
    QTest::keyClicks(dialog.sizeBox(), "4");
    QTest::keyClicks(dialog.wallBox(), "11.0000");  // the box takes five characters
    EXPECT_EQ(dialog.wallBox()->text(), "11.00");
    QTest::keyClicks(dialog.beadBox(), "75");
    QTest::keyClicks(dialog.soakBox(), "0");
    QTest::keyClicks(dialog.fuseBox(), "75");
    QTest::keyClicks(dialog.coolBox(), "75");
    QTest::keyClick(dialog.coolBox(), Qt::Key_Return);  // Enter is "Next >>"
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(settings.read(keys::PipeAreaInch), "5.257636");
    EXPECT_EQ(settings.read(keys::PipeMaterialInx, -9), 20);
    EXPECT_EQ(settings.read(keys::PipeMaterialText), "Blue HDPE");
    EXPECT_EQ(settings.read(keys::WallThickness), "11.00");
    EXPECT_EQ(settings.read(keys::SoakIfp), "0");
    EXPECT_EQ(settings.read(keys::CoolIfp), "75");
}

TEST_F(PipeDialogTest, RefusedWallKeepsThePageOpen) {
    state.currentMachineModelText = QStringLiteral("ZA1 HF");
    CPipeDlg dialog(context);
    dialog.show();
    EXPECT_FALSE(dialog.pipeAreaButton()->isVisible());
    QTest::keyClicks(dialog.sizeBox(), "4");
    QTest::keyClicks(dialog.wallBox(), "2");
    QTest::keyClick(dialog.wallBox(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompter.messages, QStringList({"Please check Pipe Size and wall thickness",
                                              "Invalid Pipe Area!!  Could not proceed."}));
    EXPECT_TRUE(settings.values().isEmpty());

    QTest::keyClicks(dialog.wallBox(), "6");  // DR 26
    dialog.nextButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::WallThickness), "26");
}

TEST_F(PipeDialogTest, BackAndCancelStoreNothing) {
    settings.write(keys::PipeSizeUnit, 9);  // a unit the list does not have
    CPipeDlg dialog(context);
    dialog.show();
    EXPECT_EQ(dialog.sizeUnitBox()->currentIndex(), -1);
    QTest::keyClicks(dialog.sizeBox(), "4");
    QTest::keyClicks(dialog.wallBox(), "11");
    dialog.backButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    CPipeAreaDlg area(context);
    area.show();
    QTest::keyClicks(area.areaBox(), "9");
    area.cancelButton()->click();
    EXPECT_EQ(area.result(), QDialog::Rejected);
    EXPECT_EQ(settings.values().size(), 1);
}

TEST_F(PipeDialogTest, PipeAreaDialogTypedUnitAndEmptyArea) {
    CPipeAreaDlg dialog(context);
    dialog.show();
    EXPECT_EQ(dialog.unitBox()->currentText(), "in²");
    // A unit typed and confirmed with Enter is no list entry: it is stored as -1.
    dialog.unitBox()->lineEdit()->selectAll();
    QTest::keyClicks(dialog.unitBox()->lineEdit(), "ft2");
    QTest::keyClick(dialog.unitBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.unitBox()->count(), 2);
    EXPECT_EQ(settings.read(keys::PipeAreaZx), "--");
    EXPECT_EQ(settings.read(keys::PipeAreaZxUnitInx, -9), -1);

    // Read back as square inches, as every reader does.
    CPipeAreaDlg again(context);
    EXPECT_EQ(again.unitBox()->currentIndex(), 0);
    EXPECT_EQ(again.areaBox()->text(), "--");
}

}  // namespace
}  // namespace vr5
