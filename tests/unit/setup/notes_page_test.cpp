#include "setup/notes_page.h"

#include <gtest/gtest.h>

#include "scripted_prompter.h"
#include "settings/settings_keys.h"

namespace vr5 {
namespace {

TEST(NotesPage, StoresTheTextUnchanged) {
    MemorySettingsStore settings;
    ProgramState state;
    test::ScriptedPrompter prompter;
    EXPECT_EQ(NotesPage::prompt(),
              "You may enter up to 80 characters\nto save as notes for this joint.");
    const QString cases[] = {
        QStringLiteral("   "),
        QStringLiteral("Joint OK\nSecond line"),
        QStringLiteral(" rain, 5 \u00B0C \n"),
        QString(),
        QString(80, u'x'),
    };
    for (const QString& notes : cases) {
        NotesPage page({settings, state, prompter});
        page.load();
        page.notes = notes;
        EXPECT_TRUE(page.accept());
        EXPECT_EQ(settings.read(keys::Notes, QStringLiteral("missing")), notes);
        NotesPage again({settings, state, prompter});
        again.load();
        EXPECT_EQ(again.notes, notes);
    }
    // More than the box holds (a store edited by hand) is cut to it.
    settings.write(keys::Notes, QString(200, u'y'));
    NotesPage page({settings, state, prompter});
    page.load();
    EXPECT_EQ(page.notes, QString(80, u'y'));
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
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NotesPage::overflow(c.before, c.after), c.drop) << c.after.toStdString();
        if (c.drop) {
            QString kept = c.after;
            kept.remove(c.drop->position, c.drop->length);
            EXPECT_LE(kept.size(), NotesPage::kLength);
        }
    }
}

}  // namespace
}  // namespace vr5
