#include "ui/settings/settings_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
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
    // The port list reads the ports folder: an empty one of the test's own.
    SettingsDialogTest()
        : previousPortDir(qgetenv("VR5XP_PORT_DIR")),
          hadPortDir(qEnvironmentVariableIsSet("VR5XP_PORT_DIR")) {
        qputenv("VR5XP_PORT_DIR", folder.path().toLocal8Bit());
    }
    ~SettingsDialogTest() override {
        if (hadPortDir)
            qputenv("VR5XP_PORT_DIR", previousPortDir);
        else
            qunsetenv("VR5XP_PORT_DIR");
    }

    QTemporaryDir folder;
    QByteArray previousPortDir;
    bool hadPortDir;
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
};

TEST_F(SettingsDialogTest, ShowsTheDefaultsInItsGroups) {
    CSettingsDlg dialog({settings, state, prompter}, QStringList{});
    EXPECT_EQ(dialog.windowTitle(), "Settings");
    QStringList groups;
    for (const QGroupBox* box : dialog.findChildren<QGroupBox*>()) groups << box->title();
    EXPECT_EQ(groups, (QStringList{"General", "Pressure Units", "Temperature Units",
                                   "Temperature Offset", "Archive"}));
    EXPECT_EQ(dialog.portLabel()->text(), "Port:");
    EXPECT_EQ(dialog.demoBox()->text(), "Demo");
    ASSERT_EQ(dialog.portBox()->count(), 200);
    EXPECT_FALSE(dialog.portBox()->isEditable());
    EXPECT_EQ(dialog.portBox()->currentText(), "COM6");
    EXPECT_FALSE(dialog.demoBox()->isChecked());
    EXPECT_EQ(dialog.guideSoundBox()->text(), "Guide sound");
    EXPECT_TRUE(dialog.guideSoundBox()->isChecked());
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
    CSettingsDlg dialog({settings, state, prompter}, QStringList{});
    dialog.show();
    dialog.portBox()->setCurrentIndex(11);
    clickMark(dialog.demoBox());
    clickMark(dialog.guideSoundBox());
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
    EXPECT_EQ(settings.read(keys::GuideSound, -1), 0);
    EXPECT_EQ(settings.read(keys::PressUnitInx, -1), 3);
    EXPECT_EQ(settings.read(keys::TempUnitInx, -1), 1);
    EXPECT_EQ(settings.read(keys::TempOffset, -1), -200);

    // Opening again shows what was stored.
    CSettingsDlg again({settings, state, prompter}, QStringList{});
    EXPECT_EQ(again.portBox()->currentText(), "COM12");
    EXPECT_TRUE(again.demoBox()->isChecked());
    EXPECT_FALSE(again.guideSoundBox()->isChecked());
    EXPECT_EQ(again.pressureUnits()->checkedId(), 3);
    EXPECT_EQ(again.temperatureUnits()->checkedId(), 1);
    EXPECT_EQ(again.offsetBox()->text(), "-200");
}

TEST_F(SettingsDialogTest, CancelStoresNothing) {
    CSettingsDlg dialog({settings, state, prompter}, QStringList{});
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

// COM1 and COM8 are links to devices that need not exist.
class PortFolderTest : public SettingsDialogTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::link("/dev/fake-rfcomm0", folder.filePath("COM8")));
        ASSERT_TRUE(QFile::link("/dev/fake-acm0", folder.filePath("COM1")));
    }
};

TEST_F(PortFolderTest, ThePortListShowsTheDevicesPresentFirstAndEachLinkedDevice) {
    // The folder as it is when the dialog opens: a link made afterwards shows next time.
    CSettingsDlg dialog({settings, state, prompter},
                        QStringList{"/dev/fake-usb0", "/dev/fake-rfcomm0", "/dev/ttyS0"});
    ASSERT_TRUE(QFile::link("/dev/fake-usb1", folder.filePath("COM3")));
    QComboBox* box = dialog.portBox();
    // COM8 reaches a device present; /dev/ttyS0 is no longer COM1's, as COM1 names another
    // device. A line parts them from the other names.
    ASSERT_EQ(box->count(), 203);
    EXPECT_EQ(box->itemText(0), "COM8  (/dev/fake-rfcomm0)  \u2014 present");
    EXPECT_EQ(box->itemText(1), "/dev/fake-usb0 \u2014 present, new COM port");
    EXPECT_EQ(box->itemText(2), "/dev/ttyS0 \u2014 present, new COM port");
    EXPECT_EQ(box->itemText(3), "");
    EXPECT_EQ(dialog.portIndexAt(3), -1);
    EXPECT_EQ(box->itemText(4), "COM1  (/dev/fake-acm0)");
    EXPECT_EQ(box->itemText(6), "COM3");
    EXPECT_EQ(box->itemText(9), "COM6");
    EXPECT_EQ(box->itemText(10), "COM7");
    EXPECT_EQ(box->itemText(11), "COM9");
    EXPECT_EQ(box->itemText(202), "COM200");
    EXPECT_EQ(box->currentIndex(), 9);
    EXPECT_EQ(dialog.portIndexAt(0), 7);
    EXPECT_EQ(dialog.portIndexAt(1), -1);
    EXPECT_EQ(dialog.portIndexAt(11), 8);

    // An entry is stored as the index of its COM name, wherever the list shows it.
    dialog.show();
    box->setCurrentIndex(0);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::ComPort, -1), 7);

    // Nothing present: the names in their order, as the index counts them.
    CSettingsDlg again({settings, state, prompter}, QStringList{});
    EXPECT_EQ(again.portBox()->count(), 200);
    EXPECT_EQ(again.portBox()->currentIndex(), 7);
    EXPECT_EQ(again.portBox()->currentText(), "COM8  (/dev/fake-rfcomm0)");
    EXPECT_EQ(again.portBox()->itemText(2), "COM3  (/dev/fake-usb1)");
    for (int row = 0; row < 200; ++row) ASSERT_EQ(again.portIndexAt(row), row);
}

// Devices come and go while the program runs (a USB adapter plugged in, a Bluetooth link bound):
// the list shows them as they are each time the dialog opens.
TEST_F(PortFolderTest, ThePortListIsReadAgainEachTimeTheDialogOpens) {
    QStringList present;
    CSettingsDlg dialog({settings, state, prompter}, [&present] { return present; });
    QComboBox* box = dialog.portBox();
    ASSERT_EQ(box->count(), 200);
    EXPECT_EQ(box->currentText(), "COM6");
    dialog.show();
    box->setCurrentIndex(11);  // COM12, chosen and not yet confirmed
    dialog.hide();

    present = QStringList{"/dev/fake-usb0", "/dev/ttyS11"};
    dialog.show();
    ASSERT_EQ(box->count(), 202);
    EXPECT_EQ(box->itemText(0), "COM12  (/dev/ttyS11)  \u2014 present");
    EXPECT_EQ(box->itemText(1), "/dev/fake-usb0 \u2014 present, new COM port");
    // The entry chosen stays chosen where it now stands.
    EXPECT_EQ(box->currentIndex(), 0);
    box->setCurrentIndex(1);
    dialog.hide();

    // The device unplugged: its entry is gone, and the stored port is chosen again.
    present.clear();
    dialog.show();
    ASSERT_EQ(box->count(), 200);
    EXPECT_EQ(box->currentText(), "COM6");
    box->setCurrentIndex(box->findText("COM12"));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::ComPort, -1), 11);
}

TEST_F(PortFolderTest, ANewDeviceBecomesTheFirstFreeComPortOnOk) {
    CSettingsDlg dialog({settings, state, prompter}, QStringList{"/dev/fake-usb0"});
    dialog.show();
    ASSERT_EQ(dialog.portBox()->itemText(0), "/dev/fake-usb0 \u2014 present, new COM port");
    dialog.portBox()->setCurrentIndex(0);

    // A refused offset makes no link.
    dialog.offsetBox()->setText("250");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(QFileInfo(folder.filePath("COM2")).isSymLink());
    EXPECT_TRUE(settings.values().isEmpty());

    // Nor does a folder that cannot be made, and nothing is stored.
    QFile file(folder.filePath("a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QString blocked = file.fileName() + "/ports";
    qputenv("VR5XP_PORT_DIR", blocked.toLocal8Bit());
    dialog.offsetBox()->setText("5");
    prompter.messages.clear();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompter.messages,
              QStringList{"The ports folder " + blocked + " could not be created."});
    EXPECT_TRUE(settings.values().isEmpty());

    qputenv("VR5XP_PORT_DIR", folder.path().toLocal8Bit());
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QFileInfo(folder.filePath("COM2")).symLinkTarget(), "/dev/fake-usb0");
    EXPECT_EQ(settings.read(keys::ComPort, -1), 1);
    EXPECT_EQ(settings.read(keys::TempOffset, -1), 5);

    CSettingsDlg again({settings, state, prompter}, QStringList{"/dev/fake-usb0"});
    EXPECT_EQ(again.portBox()->count(), 201);
    EXPECT_EQ(again.portBox()->currentIndex(), 0);
    EXPECT_EQ(again.portBox()->currentText(), "COM2  (/dev/fake-usb0)  \u2014 present");
}

}  // namespace
}  // namespace vr5
