#include "ui/setup/ready_to_log_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(ReadyToLogDialog, StartBackAndCancel) {
    MemorySettingsStore settings;
    settings.write(keys::HtrTemp, QStringLiteral("---"));
    ProgramState state;
    test::ScriptedPrompter prompter;
    enum class Press { Start, Enter, Back, Cancel };
    struct Case {
        Press press;
        QDialog::DialogCode result;
        bool cancelled;
    } cases[] = {
        {Press::Start, QDialog::Accepted, false},
        {Press::Enter, QDialog::Accepted, false},
        {Press::Back, QDialog::Rejected, false},
        {Press::Cancel, QDialog::Rejected, true},
    };
    for (const Case& c : cases) {
        CReadyToLogDlg dialog({settings, state, prompter});
        EXPECT_EQ(dialog.windowTitle(), "Ready to Log Data");
        EXPECT_EQ(dialog.shift(), QPoint(15, 90));
        EXPECT_EQ(dialog.loggedLabel()->text(), "Logged ---");
        EXPECT_EQ(dialog.startButton()->text(), "Start");
        EXPECT_EQ(dialog.backButton()->text(), "<< Back");
        EXPECT_EQ(dialog.cancelButton()->text(), "Cancel");
        dialog.show();
        switch (c.press) {
            case Press::Start:
                dialog.startButton()->click();
                break;
            case Press::Enter:
                QTest::keyClick(&dialog, Qt::Key_Return);
                break;
            case Press::Back:
                dialog.backButton()->click();
                break;
            case Press::Cancel:
                dialog.cancelButton()->click();
                break;
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), c.result);
        EXPECT_EQ(dialog.cancelled(), c.cancelled);
    }
    EXPECT_EQ(settings.values().size(), 1);
}

}  // namespace
}  // namespace vr5
