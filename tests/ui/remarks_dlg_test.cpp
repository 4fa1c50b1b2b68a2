#include "ui/remarks_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "report/vr5xp_doc.h"
#include "scripted_prompter.h"
#include "ui_support.h"

namespace vr5 {
namespace {

using Answer = Prompter::Answer;

QString promptFor(int left) {
    return QStringLiteral(
               "Once appended, notes cannot be changed or deleted.\n(Up to %1 characters)")
        .arg(left);
}

TEST(RemarksDialog, PromptCountsDownAndTypingStopsAtTheLimit) {
    test::ScriptedPrompter prompter;
    CRemarks dialog(QString(150, u'n'), prompter);
    EXPECT_EQ(dialog.windowTitle(), "Append Notes to Report");
    EXPECT_EQ(dialog.promptLabel()->text(), promptFor(50));
    dialog.show();

    QTest::keyClicks(dialog.editBox(), "Bead even");
    EXPECT_EQ(dialog.promptLabel()->text(), promptFor(41));
    // Enter starts a new line instead of pressing OK; the line break takes two characters, as
    // it does once stored.
    QTest::keyClick(dialog.editBox(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(dialog.promptLabel()->text(), promptFor(39));

    QTest::keyClicks(dialog.editBox(), QString(60, u'z'));
    EXPECT_EQ(dialog.editBox()->toPlainText(), QStringLiteral("Bead even\n") + QString(39, u'z'));
    EXPECT_EQ(dialog.promptLabel()->text(), promptFor(0));
    dialog.editBox()->clear();
    EXPECT_EQ(dialog.promptLabel()->text(), promptFor(50));
}

TEST(RemarksDialog, OkAndCancelCloseOnlyWhenConfirmed) {
    struct Case {
        const char* name;
        bool ok;  // OK pressed, else Cancel
        const char* typed;
        QList<Answer> answers;
        bool visible;  // still open afterwards
        QDialog::DialogCode result;
        const char* asked;
        const char* notes;  // the dialog's notes afterwards
    } cases[] = {
        {"OK, No then Yes",
         true,
         "  Cooled 10 min  ",
         {Answer::No, Answer::Yes},
         false,
         QDialog::Accepted,
         notes::kConfirmAppend,
         "Bead even + Cooled 10 min"},
        {"OK, Cancel",
         true,
         "Cooled",
         {Answer::Cancel},
         true,
         QDialog::Rejected,
         notes::kConfirmAppend,
         "Bead even"},
        {"OK, blank", true, "   ", {}, false, QDialog::Accepted, "", "Bead even"},
        {"Cancel, No",
         false,
         "Cooled",
         {Answer::No},
         true,
         QDialog::Rejected,
         notes::kConfirmDiscard,
         "Bead even"},
        {"Cancel, Yes",
         false,
         "Cooled",
         {Answer::Yes},
         false,
         QDialog::Rejected,
         notes::kConfirmDiscard,
         "Bead even"},
        {"Cancel, nothing typed", false, "", {}, false, QDialog::Rejected, "", "Bead even"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompter prompter;
        prompter.answers = c.answers;
        CRemarks dialog(QStringLiteral("Bead even"), prompter);
        dialog.show();
        QTest::keyClicks(dialog.editBox(), QString::fromUtf8(c.typed));
        QPushButton* button = c.ok ? dialog.okButton() : dialog.cancelButton();
        for (qsizetype i = 0; i < std::max<qsizetype>(c.answers.size(), 1); ++i) button->click();

        EXPECT_EQ(dialog.isVisible(), c.visible);
        if (!c.visible) {
            EXPECT_EQ(dialog.result(), c.result);
        }
        EXPECT_EQ(dialog.model().notes(), QString::fromUtf8(c.notes));
        EXPECT_TRUE(prompter.answers.isEmpty());
        for (const auto& shown : prompter.shown) {
            EXPECT_EQ(shown.text, QString::fromUtf8(c.asked));
            EXPECT_EQ(shown.caption, "Notes");
        }
        EXPECT_EQ(prompter.shown.isEmpty(), *c.asked == 0);
    }
    // Escape counts as Cancel.
    test::ScriptedPrompter prompter;
    prompter.answers = {Answer::No};
    CRemarks dialog(QStringLiteral("---"), prompter);
    dialog.show();
    QTest::keyClicks(dialog.editBox(), "Cooled");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8(notes::kConfirmDiscard));
}

// The main frame's entry: the dialog over the report on show, then the rewritten report.
TEST(RemarksDialog, AppendsToTheReportOnShow) {
    QTemporaryDir dir;
    const QString path = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    ProgramState state;
    test::ScriptedPrompter prompter;
    CVR5XPDoc doc(state, prompter);
    ASSERT_EQ(doc.Open(path), CVR5XPDoc::OpenResult::Opened);

    // The operator types into the dialog once it is up, ends the line and presses OK.
    auto typeAndConfirm = [](const char* text) {
        QTimer::singleShot(0, [text] {
            auto* dialog = qobject_cast<CRemarks*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            QTest::keyClicks(dialog->editBox(), QString::fromUtf8(text));
            QTest::keyClick(dialog->editBox(), Qt::Key_Return);
            dialog->okButton()->click();
        });
    };
    prompter.answers = {Answer::Yes};
    typeAndConfirm(" Cut out ");
    EXPECT_TRUE(runAppendNotes(doc, state, prompter, nullptr));
    EXPECT_TRUE(state.reloadFlag);
    EXPECT_EQ(doc.record().fields.notes, "Joint OK + Cut out");
    ASSERT_EQ(doc.ReloadIfFlagged(), CVR5XPDoc::OpenResult::Opened);
    EXPECT_EQ(doc.record().fields.notes, "Joint OK + Cut out");

    // OK on a blank edit: nothing is written.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    typeAndConfirm("   ");
    EXPECT_FALSE(runAppendNotes(doc, state, prompter, nullptr));
    EXPECT_FALSE(state.reloadFlag);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

// Another window appends to the same report while the dialog is open: this one is refused, shows
// the report as it now is, and the operator's second try keeps both notes.
TEST(RemarksDialog, AReportChangedMeanwhileIsReadAgainBeforeAppending) {
    QTemporaryDir dir;
    const QString path = test::writeFixture(dir, QStringLiteral("plain_hydraulic"));
    ProgramState state;
    test::ScriptedPrompter prompter;
    CVR5XPDoc doc(state, prompter);
    ASSERT_EQ(doc.Open(path), CVR5XPDoc::OpenResult::Opened);
    ProgramState otherState;
    test::ScriptedPrompter otherPrompter;
    CVR5XPDoc other(otherState, otherPrompter);
    ASSERT_EQ(other.Open(path), CVR5XPDoc::OpenResult::Opened);

    auto typeAndConfirm = [](const char* text, std::function<void()> meanwhile = {}) {
        QTimer::singleShot(0, [text, meanwhile] {
            auto* dialog = qobject_cast<CRemarks*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            QTest::keyClicks(dialog->editBox(), QString::fromUtf8(text));
            if (meanwhile) meanwhile();
            dialog->okButton()->click();
        });
    };
    prompter.answers = {Answer::Yes};
    typeAndConfirm("From the site", [&] {
        otherPrompter.answers = {Answer::Yes};
        typeAndConfirm("From the office");
        ASSERT_TRUE(runAppendNotes(other, otherState, otherPrompter, nullptr));
    });
    EXPECT_FALSE(runAppendNotes(doc, state, prompter, nullptr));
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_TRUE(prompter.messages[1].startsWith(QString::fromUtf8(notes::kNotAppended)));
    EXPECT_EQ(doc.record().fields.notes, "Joint OK + From the office");
    EXPECT_FALSE(state.reloadFlag);

    prompter.answers = {Answer::Yes};
    typeAndConfirm("From the site");
    EXPECT_TRUE(runAppendNotes(doc, state, prompter, nullptr));
    ASSERT_EQ(doc.ReloadIfFlagged(), CVR5XPDoc::OpenResult::Opened);
    EXPECT_EQ(doc.record().fields.notes, "Joint OK + From the office + From the site");
}

}  // namespace
}  // namespace vr5
