#include "ui/setup/notes_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(NotesDialog, EnterStartsANewLineAndTypingStopsAt80) {
    MemorySettingsStore settings;
    settings.write(keys::Notes, QStringLiteral("Old note"));
    ProgramState state;
    test::ScriptedPrompter prompter;
    CNotesDlg dialog({settings, state, prompter});
    EXPECT_EQ(dialog.windowTitle(), "Notes (optional)");
    EXPECT_TRUE(dialog.shift().isNull());
    EXPECT_EQ(dialog.promptLabel()->text(),
              "You may enter up to 80 characters\nto save as notes for this joint.");
    EXPECT_EQ(dialog.notesBox()->toPlainText(), "Old note");

    dialog.show();
    dialog.notesBox()->clear();
    QTest::keyClicks(dialog.notesBox(), " Joint OK");
    QTest::keyClick(dialog.notesBox(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClicks(dialog.notesBox(), "Second line ");
    EXPECT_EQ(dialog.notesBox()->toPlainText(), " Joint OK\nSecond line ");

    QTest::keyClicks(dialog.notesBox(), QString(100, u'z'));
    EXPECT_EQ(dialog.notesBox()->toPlainText().size(), 80);
    dialog.nextButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.read(keys::Notes),
              QStringLiteral(" Joint OK\nSecond line ") + QString(58, u'z'));
}

}  // namespace
}  // namespace vr5
