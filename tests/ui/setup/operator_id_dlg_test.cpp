#include "ui/setup/operator_id_dlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(OperatorDialog, RefusesAFileNameCharacterThenStores) {
    MemorySettingsStore settings;
    settings.write(keys::JointNumber, 41);
    ProgramState state;
    test::ScriptedPrompter prompter;
    COperatorIDdlg dialog({settings, state, prompter});
    EXPECT_EQ(dialog.windowTitle(), "Operator");
    EXPECT_TRUE(dialog.shift().isNull());
    EXPECT_EQ(dialog.idBox()->maxLength(), 20);
    EXPECT_EQ(dialog.jobBox()->maxLength(), 20);
    EXPECT_EQ(dialog.jointBox()->text(), "41");
    EXPECT_TRUE(dialog.nextButton()->isDefault());

    dialog.show();
    QTest::keyClicks(dialog.idBox(), "Smith");
    QTest::keyClicks(dialog.jobBox(), "7/8");
    // The joint box takes digits only.
    dialog.jointBox()->clear();
    QTest::keyClicks(dialog.jointBox(), "4x2");
    EXPECT_EQ(dialog.jointBox()->text(), "42");
    QTest::keyClick(dialog.jobBox(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompter.captions, QStringList{"Error"});
    EXPECT_EQ(settings.values().size(), 1);

    dialog.jobBox()->setText(QStringLiteral("7-8"));
    QTest::keyClick(dialog.jobBox(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::EmployeeId), "Smith");
    EXPECT_EQ(settings.read(keys::JobNumber), "7-8");
    EXPECT_EQ(settings.read(keys::JointNumber, -1), 42);
}

}  // namespace
}  // namespace vr5
