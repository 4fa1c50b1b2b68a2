// Notes appended to a stored report: the joining rules, the dialog's questions and the rewrite
// of the file, which changes nothing but the notes.

#include "report/appended_notes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "append_notes_support.h"
#include "report/vr5xp_doc.h"
#include "setup/typed_text.h"
#include "test_support.h"

namespace vr5 {
namespace {

using Answer = Prompter::Answer;
using Close = RemarksModel::Close;
using test::AppendNotesTest;
using test::reportWithNotes;
using test::typing;

const QString kConfirmAppend = QString::fromUtf8(notes::kConfirmAppend);
const QString kConfirmDiscard = QString::fromUtf8(notes::kConfirmDiscard);

QByteArray readFile(const QString& path) {
    return test::fileBytes(path);
}

TEST_F(AppendNotesTest, JoinsNewTextToTheReportsNotes) {
    const QString full(200, u'x');
    const QString nearlyFull(199, u'x');
    struct Case {
        const char* name;
        QString notes;  // the report's notes
        QString typed;  // what the operator types before OK
        AppendNotesResult result;
        QString stored;  // the notes the report holds afterwards
        bool asked;      // the question before appending was asked
        const char* message;
    } cases[] = {
        {"no notes yet", "", "Bead good", AppendNotesResult::Appended, "Bead good", true, ""},
        {"notes there", "Bead even", "  Cooled 10 min  ", AppendNotesResult::Appended,
         "Bead even + Cooled 10 min", true, ""},
        {"a line break stays", "Joint OK", "Line one\nLine two\n", AppendNotesResult::Appended,
         "Joint OK + Line one\r\nLine two", true, ""},
        {"blank OK", "Bead even", "  \n  ", AppendNotesResult::NothingNew, "Bead even", false, ""},
        {"one character left", nearlyFull, "abc", AppendNotesResult::Appended, nearlyFull + " + a",
         true, ""},
        {"exactly 200", full, "more", AppendNotesResult::NotesFull, full, false,
         "Notes area full."},
        {"more than 200", full + "yz", "more", AppendNotesResult::NotesFull, full + "yz", false,
         "Notes area full."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray before = reportWithNotes(c.notes);
        const QString path = open(QStringLiteral("joint.tjr"), before);
        state.reloadFlag = false;
        int runs = 0;

        EXPECT_EQ(AppendNotes(doc, state, prompter, typing(c.typed, prompter, Answer::Yes, &runs)),
                  c.result);

        const QByteArray after = readFile(path);
        const JointRecord stored = test::decodeBytes(after);
        EXPECT_EQ(stored.fields.notes, c.stored.isEmpty() ? QStringLiteral("---") : c.stored);
        const bool appended = c.result == AppendNotesResult::Appended;
        if (!appended) {
            EXPECT_EQ(after, before);
        }
        EXPECT_EQ(state.reloadFlag, appended);
        EXPECT_EQ(doc.record().fields.notes, stored.fields.notes);
        EXPECT_EQ(runs, c.result == AppendNotesResult::NotesFull ? 0 : 1);
        EXPECT_EQ(prompter.messages.contains(kConfirmAppend), c.asked);
        EXPECT_EQ(prompter.messages.contains(QString::fromUtf8(c.message)), *c.message != 0);
        // The header shows the stored notes before the file is read again.
        EXPECT_EQ(doc.record().headerLines, stored.headerLines);
    }
}

// Lines typed into the dialog are stored with the logger's own line breaks, each taking two of
// the 200 characters, and read back from the report as the same lines.
TEST_F(AppendNotesTest, LinesAreStoredWithTheLoggersLineBreaks) {
    const QString tenBlanks(10, u' ');
    struct Case {
        const char* name;
        QString notes;  // the report's notes
        QString typed;
        QString stored;
        QStringList lines;  // the notes lines of the report's header, when checked
    } cases[] = {
        {"two lines typed",
         "Joint OK",
         "Line one\nLine two",
         "Joint OK + Line one\r\nLine two",
         {"Joint OK + Line one", "Line two"}},
        {"a CR LF stays one break",
         "Joint OK",
         "Line one\r\nLine two",
         "Joint OK + Line one\r\nLine two",
         {"Joint OK + Line one", "Line two"}},
        {"a lone CR is a break",
         "---",
         "Line one\rLine two",
         "Line one\r\nLine two",
         {"Line one", "Line two"}},
        {"after the logger's own lines",
         "Joint OK\r\nSecond line",
         "Third\nFourth",
         "Joint OK\r\nSecond line + Third\r\nFourth",
         {"Joint OK", "Second line + Third", "Fourth"}},
        {"empty lines around go", "---", "\n\nBead\n\n", "Bead", {"Bead"}},
        // Five left: a break takes two, so "ab", the break and "c" fill them.
        {"the break counts two",
         QString(195, u'n'),
         "ab\ncd",
         QString(195, u'n') + " + ab\r\nc",
         {}},
        // Three left: the break would be cut in half, so it goes.
        {"never half a break", QString(197, u'n'), "ab\ncd", QString(197, u'n') + " + ab", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = open(QStringLiteral("lines.tjr"), reportWithNotes(c.notes));
        ASSERT_EQ(AppendNotes(doc, state, prompter, typing(c.typed, prompter, Answer::Yes)),
                  AppendNotesResult::Appended);
        const JointRecord stored = test::decodeBytes(readFile(path));
        EXPECT_EQ(stored.fields.notes, c.stored);
        EXPECT_LE(stored.fields.notes.size(), notes::kLimit + 3);
        if (c.lines.isEmpty()) continue;
        const qsizetype first =
            stored.headerLines.indexOf(QRegularExpression(QStringLiteral("^[ 0-9]+\\. Notes:$")));
        ASSERT_GE(first, 0) << stored.headerLines.join(u'|').toStdString();
        QStringList shown = stored.headerLines.mid(first + 1);
        for (QString& line : shown) {
            EXPECT_TRUE(line.startsWith(tenBlanks));
            line.remove(0, tenBlanks.size());
        }
        EXPECT_EQ(shown, c.lines);
    }
}

TEST(RemarksModel, PromptCountsDownAndTheEditStopsAtTheLimit) {
    struct Case {
        const char* name;
        QString notes;
        int remaining;
        qsizetype typed;
        const char* prompt;
    } cases[] = {
        {"no notes", "---", 200, 0,
         "Once appended, notes cannot be changed or deleted.\n(Up to 200 characters)"},
        {"150 old", QString(150, u'n'), 50, 0,
         "Once appended, notes cannot be changed or deleted.\n(Up to 50 characters)"},
        {"150 old, 12 typed", QString(150, u'n'), 50, 12,
         "Once appended, notes cannot be changed or deleted.\n(Up to 38 characters)"},
        {"150 old, all typed", QString(150, u'n'), 50, 50,
         "Once appended, notes cannot be changed or deleted.\n(Up to 0 characters)"},
        {"the logger's two lines", "Joint OK\r\nSecond line", 179, 0,
         "Once appended, notes cannot be changed or deleted.\n(Up to 179 characters)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RemarksModel model(c.notes);
        EXPECT_EQ(model.remaining(), c.remaining);
        EXPECT_EQ(model.prompt(c.typed), QString::fromUtf8(c.prompt));
        EXPECT_EQ(model.promptFor(QString(c.typed, u'e')), QString::fromUtf8(c.prompt));
    }
    // A line break in the edit takes two characters, as it does once stored.
    EXPECT_EQ(RemarksModel(QStringLiteral("---")).promptFor(QStringLiteral("Bead\neven\n")),
              "Once appended, notes cannot be changed or deleted.\n(Up to 188 characters)");

    // 150 old characters leave 50 for the edit.
    const RemarksModel model(QString(150, u'n'));
    using Span = RemarksModel::Span;
    const QString fits(50, u'a');
    const QString face = QStringLiteral("\U0001F600");  // two code units
    struct Edit {
        const char* name;
        QString before, after;
        std::optional<Span> drop;
    } edits[] = {
        {"within the limit", fits.left(49), fits, std::nullopt},
        {"one typed past the limit", fits, fits + "b", Span{50, 1}},
        {"typed in the middle", fits, fits.left(10) + "b" + fits.mid(10), Span{10, 1}},
        {"a paste cut to what fits", fits.left(45), fits.left(45) + "0123456789", Span{50, 5}},
        {"never half a character", fits.left(49), fits.left(49) + face, Span{49, 2}},
        {"a line break takes two", fits.left(49), fits.left(49) + "\n", Span{49, 1}},
        {"a line break with room for it", fits.left(48), fits.left(48) + "\n", std::nullopt},
        {"a pasted line break goes with the end", fits.left(40), fits.left(40) + "123456789\nabc",
         Span{49, 4}},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(model.overflow(e.before, e.after), e.drop);
    }
}

TEST(RemarksModel, OkAndCancelAskFirst) {
    struct Case {
        const char* name;
        bool ok;  // OK pressed, else Cancel
        QString typed;
        Answer answer;
        Close close;
        QString asked;  // the question, empty when none
        QString notes;  // the dialog's notes afterwards
    } cases[] = {
        {"OK, Yes", true, " Cut out ", Answer::Yes, Close::Ok, kConfirmAppend,
         "Bead even + Cut out"},
        {"OK, No", true, "Cut out", Answer::No, Close::StayOpen, kConfirmAppend, "Bead even"},
        {"OK, Cancel", true, "Cut out", Answer::Cancel, Close::StayOpen, kConfirmAppend,
         "Bead even"},
        {"OK, blank", true, " \n\t", Answer::Yes, Close::Ok, "", "Bead even"},
        {"Cancel, Yes", false, "Cut out", Answer::Yes, Close::Cancel, kConfirmDiscard, "Bead even"},
        {"Cancel, No", false, "Cut out", Answer::No, Close::StayOpen, kConfirmDiscard, "Bead even"},
        {"Cancel, Cancel", false, "Cut out", Answer::Cancel, Close::StayOpen, kConfirmDiscard,
         "Bead even"},
        {"Cancel, blank", false, "   ", Answer::No, Close::Cancel, "", "Bead even"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompter prompter;
        prompter.answers = {c.answer};
        RemarksModel model(QStringLiteral("Bead even"));
        const Close close =
            c.ok ? model.accept(c.typed, prompter) : model.cancel(c.typed, prompter);
        EXPECT_EQ(close, c.close);
        EXPECT_EQ(model.notes(), c.notes);
        EXPECT_EQ(model.appended(), c.notes != QStringLiteral("Bead even"));
        if (c.asked.isEmpty()) {
            EXPECT_TRUE(prompter.shown.isEmpty());
        } else {
            ASSERT_EQ(prompter.shown.size(), 1);
            EXPECT_EQ(prompter.shown[0].text, c.asked);
            EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("Notes"));
        }
    }
}

TEST(AppendedNotes, NotesStringBytes) {
    struct Case {
        const char* name;
        QString notes;
        const char* bytes;  // what stands between "<<" and ">>"
    } cases[] = {
        {"two characters", "AB", "02 00 00 41 00 42"},
        {"empty keeps its filler word", "", "00 00 00 00"},
        {"beyond Latin-1", QStringLiteral("\u00B0\u20AC"), "02 00 00 B0 20 AC"},
        {"two code units", QStringLiteral("\U0001F600"), "02 00 D8 3D DE 00"},
    };
    // An old notes string "Old" between the markers, with bytes on both sides.
    const QByteArray image = test::hex("AA BB 03 00 00 4F 00 6C 00 64 CC DD");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(imageWithNotes(image, 2, 10, c.notes),
                  test::hex("AA BB") + test::hex(c.bytes) + test::hex("CC DD"));
    }
}

TEST_F(AppendNotesTest, EveryByteOutsideTheNotesStaysTheSame) {
    // Every description of tests/fixtures, and one with bytes after its last sample.
    std::vector<std::pair<QString, QByteArray>> reports;
    const QDir fixtures(QStringLiteral(VR5_FIXTURE_DIR));
    for (const QString& file : fixtures.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        const QString name = QFileInfo(file).completeBaseName();
        reports.emplace_back(name, test::fixtureBytes(name));
    }
    reports.emplace_back(QStringLiteral("trailer"), test::reportBytes(QStringLiteral(
                                                        "notes: Bead even\ninterval: 5\n"
                                                        "ramp: 300 50\ntrailer_hex: 00 FF 7E\n")));
    ASSERT_GE(reports.size(), 10u);

    int appended = 0;
    for (const auto& [name, before] : reports) {
        SCOPED_TRACE(name.toStdString());
        const QString path = open(name + QStringLiteral(".tjr"), before);
        const JointRecord old = doc.record();
        const AppendNotesResult result = AppendNotes(
            doc, state, prompter, typing(QStringLiteral("Checked"), prompter, Answer::Yes));
        const QByteArray after = readFile(path);

        if (!old.has(ReportItem::Notes)) {
            // Damaged before the end of its notes: nothing to rebuild the file from.
            EXPECT_EQ(result, AppendNotesResult::Refused);
            EXPECT_EQ(after, before);
            ASSERT_EQ(prompter.messages.size(), 1);
            EXPECT_TRUE(prompter.messages[0].contains(QStringLiteral("damaged before its notes")));
            continue;
        }
        if (old.fields.notes.size() >= notes::kLimit) {
            EXPECT_EQ(result, AppendNotesResult::NotesFull);
            EXPECT_EQ(after, before);
            continue;
        }
        ASSERT_EQ(result, AppendNotesResult::Appended);
        ++appended;
        const QString joined = old.fields.notes == QStringLiteral("---")
                                   ? QStringLiteral("Checked")
                                   : old.fields.notes + QStringLiteral(" + Checked");
        QByteArray notesBytes;
        notesBytes.append(static_cast<char>(joined.size())).append('\0');
        for (QChar c : joined) {
            notesBytes.append(static_cast<char>(c.unicode() >> 8));
            notesBytes.append(static_cast<char>(c.unicode() & 0xff));
        }
        EXPECT_EQ(after, before.left(old.notesPos) + notesBytes + before.mid(old.notesEnd));

        const JointRecord now = test::decodeBytes(after);
        EXPECT_EQ(now.fields.notes, joined);
        EXPECT_EQ(now.fields.reserve, old.fields.reserve);
        EXPECT_EQ(now.fields.summaryLine, old.fields.summaryLine);
        EXPECT_EQ(now.time, old.time);
        EXPECT_EQ(now.pressure, old.pressure);
        EXPECT_EQ(now.problem.item, old.problem.item);
    }
    EXPECT_GE(appended, 9);
}

TEST_F(AppendNotesTest, SecondAppendGivesTheSameAsBothAtOnce) {
    const QByteArray report = test::fixtureBytes(QStringLiteral("plain_hydraulic"));
    const QString both = open(QStringLiteral("both.tjr"), report);
    ASSERT_EQ(AppendNotes(doc, state, prompter,
                          typing(QStringLiteral("Bead even + Cooled"), prompter, Answer::Yes)),
              AppendNotesResult::Appended);
    const QByteArray once = readFile(both);

    // Twice while the report stays open: the file is rebuilt from the image read at opening.
    const QString twice = open(QStringLiteral("twice.tjr"), report);
    ASSERT_EQ(AppendNotes(doc, state, prompter,
                          typing(QStringLiteral("Bead even"), prompter, Answer::Yes)),
              AppendNotesResult::Appended);
    ASSERT_EQ(
        AppendNotes(doc, state, prompter, typing(QStringLiteral("Cooled"), prompter, Answer::Yes)),
        AppendNotesResult::Appended);
    EXPECT_EQ(readFile(twice), once);

    // Twice with the view reading the file again in between.
    const QString reread = open(QStringLiteral("reread.tjr"), report);
    ASSERT_EQ(AppendNotes(doc, state, prompter,
                          typing(QStringLiteral("Bead even"), prompter, Answer::Yes)),
              AppendNotesResult::Appended);
    ASSERT_EQ(doc.ReloadIfFlagged(), CVR5XPDoc::OpenResult::Opened);
    EXPECT_FALSE(state.reloadFlag);
    ASSERT_EQ(
        AppendNotes(doc, state, prompter, typing(QStringLiteral("Cooled"), prompter, Answer::Yes)),
        AppendNotesResult::Appended);
    EXPECT_EQ(readFile(reread), once);
    EXPECT_EQ(test::decodeBytes(once).fields.notes,
              QStringLiteral("Joint OK + Bead even + Cooled"));
}

TEST_F(AppendNotesTest, RefusesWithoutTheReportOnShow) {
    const QString shown = open(QStringLiteral("shown.tjr"), reportWithNotes(QStringLiteral("A")));
    const QString other = write(QStringLiteral("other.tjr"), reportWithNotes(QStringLiteral("B")));
    const QByteArray otherBefore = readFile(other);
    struct Case {
        const char* name;
        QString currentPath;
        const char* says;
    } cases[] = {
        {"no current report", QString(), "No file name given"},
        {"another report than the one on show", other, "not the one on show"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.currentReportPath = c.currentPath;
        prompter.messages.clear();
        int runs = 0;
        EXPECT_EQ(AppendNotes(doc, state, prompter,
                              typing(QStringLiteral("x"), prompter, Answer::Yes, &runs)),
                  AppendNotesResult::Refused);
        EXPECT_EQ(runs, 0);
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_TRUE(prompter.messages[0].contains(QString::fromUtf8(c.says)));
        EXPECT_EQ(readFile(other), otherBefore);
        EXPECT_FALSE(state.reloadFlag);
    }
    EXPECT_EQ(test::decodeBytes(readFile(shown)).fields.notes, QStringLiteral("A"));
}

}  // namespace
}  // namespace vr5
