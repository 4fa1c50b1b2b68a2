#include "ui/settings/settings_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

// Clicks a radio button or check box on its mark, where the operator would.
void clickMark(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

class SettingsDialogTest : public ::testing::Test {
protected:
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
};

TEST_F(SettingsDialogTest, ShowsTheDefaultsInItsGroups) {
    CSettingsDlg dialog({settings, state, prompter});
    EXPECT_EQ(dialog.windowTitle(), "Settings");
    QStringList groups;
    for (const QGroupBox* box : dialog.findChildren<QGroupBox*>()) groups << box->title();
    EXPECT_EQ(groups, (QStringList{"General", "Pressure Units", "Temperature Units",
                                   "Temperature Offset"}));
    EXPECT_EQ(dialog.portLabel()->text(), "Port:");
    EXPECT_EQ(dialog.demoBox()->text(), "Demo");
    ASSERT_EQ(dialog.portBox()->count(), 200);
    EXPECT_FALSE(dialog.portBox()->isEditable());
    EXPECT_EQ(dialog.portBox()->currentText(), "COM6");
    EXPECT_FALSE(dialog.demoBox()->isChecked());
    QStringList units;
    for (const QAbstractButton* b : dialog.pressureUnits()->buttons()) units << b->text();
    for (const QAbstractButton* b : dialog.temperatureUnits()->buttons()) units << b->text();
    EXPECT_EQ(units, (QStringList{"psi", "bar", "kg/cm\u00B2", "MPa", "\u00B0F", "\u00B0C"}));
    EXPECT_EQ(dialog.pressureUnits()->checkedId(), 0);
    EXPECT_EQ(dialog.temperatureUnits()->checkedId(), 0);
    EXPECT_EQ(dialog.offsetBox()->text(), "0");
    EXPECT_TRUE(dialog.okButton()->isDefault());
    EXPECT_EQ(dialog.gestureTimer()->interval(), 100);
    EXPECT_TRUE(dialog.gestureTimer()->isActive());
}

TEST_F(SettingsDialogTest, FillAndConfirmWithEnter) {
    CSettingsDlg dialog({settings, state, prompter});
    dialog.show();
    dialog.portBox()->setCurrentIndex(11);
    clickMark(dialog.demoBox());
    clickMark(dialog.pressureUnits()->button(3));
    clickMark(dialog.temperatureUnits()->button(1));

    // A value out of range keeps the dialog open, stores nothing and puts the focus back.
    dialog.offsetBox()->clear();
    QTest::keyClicks(dialog.offsetBox(), "250");
    dialog.okButton()->setFocus();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompter.messages, QStringList{"Enter an integer between -200 and 200."});
    EXPECT_TRUE(settings.values().isEmpty());
    EXPECT_EQ(dialog.focusWidget(), dialog.offsetBox());
    EXPECT_TRUE(dialog.offsetBox()->hasSelectedText());

    QTest::keyClicks(dialog.offsetBox(), "-200");
    QTest::keyClick(dialog.offsetBox(), Qt::Key_Return);  // Enter is OK
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.read(keys::ComPort, -1), 11);
    EXPECT_EQ(settings.read(keys::DemoMode, -1), 1);
    EXPECT_EQ(settings.read(keys::PressUnitInx, -1), 3);
    EXPECT_EQ(settings.read(keys::TempUnitInx, -1), 1);
    EXPECT_EQ(settings.read(keys::TempOffset, -1), -200);

    // Opening again shows what was stored.
    CSettingsDlg again({settings, state, prompter});
    EXPECT_EQ(again.portBox()->currentText(), "COM12");
    EXPECT_TRUE(again.demoBox()->isChecked());
    EXPECT_EQ(again.pressureUnits()->checkedId(), 3);
    EXPECT_EQ(again.temperatureUnits()->checkedId(), 1);
    EXPECT_EQ(again.offsetBox()->text(), "-200");
}

TEST_F(SettingsDialogTest, CancelStoresNothing) {
    CSettingsDlg dialog({settings, state, prompter});
    dialog.show();
    dialog.portBox()->setCurrentIndex(0);
    clickMark(dialog.pressureUnits()->button(1));
    dialog.offsetBox()->setText(QStringLiteral("12"));
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(settings.values().isEmpty());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SettingsDialogTest, FourClicksOnPortAskAndOkRequestsDiagnostics) {
    for (const Prompter::Answer answer : {Prompter::Answer::Cancel, Prompter::Answer::Ok}) {
        test::ScriptedPrompter asked;
        asked.answer = answer;
        CSettingsDlg dialog({settings, state, asked});
        QSignalSpy requests(&dialog, &CSettingsDlg::diagnosticsRequested);
        dialog.show();
        for (int i = 0; i < 3; ++i) QTest::mouseClick(dialog.portLabel(), Qt::LeftButton);
        EXPECT_TRUE(asked.messages.isEmpty());
        QTest::mouseClick(dialog.portLabel(), Qt::LeftButton);
        ASSERT_EQ(asked.shown.size(), 1);
        EXPECT_EQ(asked.shown[0].text,
                  "Connect to Fusilog\u00AE?  (Please make sure it is turned on)");
        EXPECT_EQ(asked.shown[0].caption, "Fusilog\u00AE Not Connected");
        EXPECT_EQ(requests.size(), answer == Prompter::Answer::Ok ? 1 : 0);
        // The Settings dialog stays open underneath.
        EXPECT_TRUE(dialog.isVisible());
        // A right click is no click.
        QTest::mouseClick(dialog.portLabel(), Qt::RightButton);
        EXPECT_EQ(dialog.page().clickCount(), 0);
    }
    EXPECT_TRUE(settings.values().isEmpty());
}

}  // namespace
}  // namespace vr5
