#include "setup/notes_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"
#include "setup/typed_text.h"

namespace vr5 {
namespace {

// Stored as typed, but with the logger's line breaks ("\r\n"); the box shows them as lines again.
TEST(NotesPage, StoresTheTextWithTheLoggersLineBreaks) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    EXPECT_EQ(NotesPage::prompt(),
              "You may enter up to 80 characters\nto save as notes for this joint.");
    struct Case {
        QString typed;   // the box's text
        QString stored;  // "Notes"
    } cases[] = {
        {"   ", "   "},
        {"Joint OK\nSecond line", "Joint OK\r\nSecond line"},
        {" rain, 5 \u00B0C \n", " rain, 5 \u00B0C \r\n"},
        {"", ""},
        {QString(80, u'x'), QString(80, u'x')},
        // A break takes two of the 80 characters, and is never cut in half.
        {QString(78, u'x') + "\ny", QString(78, u'x') + "\r\n"},
        {QString(79, u'x') + "\ny", QString(79, u'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        NotesPage page({settings, state, prompter});
        page.load();
        page.notes = c.typed;
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::Notes, QStringLiteral("missing")), c.stored);
        NotesPage again({settings, state, prompter});
        again.load();
        EXPECT_EQ(again.notes, notesAsShown(c.stored));
    }
    struct Remembered {
        QString stored;  // "Notes" as found
        QString shown;   // the box
        QString again;   // "Notes" after "Next >>"
    } remembered[] = {
        // Written by the logger's side, or by an earlier version with bare line feeds.
        {"Joint OK\r\nSecond line", "Joint OK\nSecond line", "Joint OK\r\nSecond line"},
        {"Joint OK\nSecond line", "Joint OK\nSecond line", "Joint OK\r\nSecond line"},
        {"a\rb", "a\nb", "a\r\nb"},
        // More than the box holds (a store edited by hand) is cut to it.
        {QString(200, u'y'), QString(80, u'y'), QString(80, u'y')},
        {QString(79, u'y') + "\r\nz", QString(79, u'y'), QString(79, u'y')},
    };
    for (const Remembered& r : remembered) {
        SCOPED_TRACE(r.stored.toStdString());
        settings.write(keys::Notes, r.stored);
        NotesPage page({settings, state, prompter});
        page.load();
        EXPECT_EQ(page.notes, r.shown);
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::Notes), r.again);
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST(NotesPage, TypingStopsAtTheLimit) {
    using Span = NotesPage::Span;
    const QString full(80, u'a');
    const QString almost(79, u'a');
    struct Case {
        QString before, after;
        std::optional<Span> drop;
    } cases[] = {
        {almost, full, std::nullopt},
        {full, full + u'b', Span{80, 1}},
        // Typed in the middle: the typed character goes again, not the end of the notes.
        {full, QString(10, u'a') + u'b' + QString(70, u'a'), Span{10, 1}},
        // A paste keeps what fits.
        {QString(70, u'a'), QString(70, u'a') + QString(20, u'p'), Span{80, 10}},
        {QString(), QString(1000, u'p'), Span{80, 920}},
        // A paste over a selection that makes it longer.
        {QStringLiteral("ab") + QString(76, u'c'),
         QStringLiteral("a") + QString(10, u'p') + QString(76, u'c'), Span{4, 7}},
        // Notes longer than the box already (edited by hand) lose their end too.
        {QString(85, u'a'), QString(85, u'a') + u'b', Span{80, 6}},
        // A character in two code units is never split.
        {QString(79, u'a'), QString(79, u'a') + QStringLiteral("\U0001F600"), Span{79, 2}},
        // A line break takes two: with one left it is not taken, with two it is.
        {QString(79, u'a'), QString(79, u'a') + u'\n', Span{79, 1}},
        {QString(78, u'a'), QString(78, u'a') + u'\n', std::nullopt},
        {QString(79, u'a'), QString(10, u'a') + u'\n' + QString(69, u'a'), Span{10, 1}},
        // A paste of lines keeps the lines that fit: 16 of "abc" and a break take 80.
        {QString(), QStringLiteral("abc\n").repeated(20), Span{64, 16}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NotesPage::overflow(c.before, c.after), c.drop) << c.after.toStdString();
        if (c.drop) {
            QString kept = c.after;
            kept.remove(c.drop->position, c.drop->length);
            EXPECT_LE(storedNotesLength(kept), NotesPage::kLength);
        }
    }
}

}  // namespace
}  // namespace vr5
