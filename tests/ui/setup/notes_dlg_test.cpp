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

    // The line break takes two of the 80 characters, as it does in the stored notes.
    QTest::keyClicks(dialog.notesBox(), QString(100, u'z'));
    const QString shown = QStringLiteral(" Joint OK\nSecond line ") + QString(57, u'z');
    EXPECT_EQ(dialog.notesBox()->toPlainText(), shown);
    dialog.nextButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    // Stored with the logger's own line breaks, and shown again as the same lines.
    EXPECT_EQ(settings.read(keys::Notes),
              QStringLiteral(" Joint OK\r\nSecond line ") + QString(57, u'z'));
    CNotesDlg again({settings, state, prompter});
    EXPECT_EQ(again.notesBox()->toPlainText(), shown);
    again.show();
    again.nextButton()->click();
    EXPECT_EQ(settings.read(keys::Notes),
              QStringLiteral(" Joint OK\r\nSecond line ") + QString(57, u'z'));
}

}  // namespace
}  // namespace vr5
