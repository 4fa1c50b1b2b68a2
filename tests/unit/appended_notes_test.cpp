// Notes appended to a stored report: the joining rules, the dialog's questions and the rewrite
// of the file, which changes nothing but the notes and nothing at all when it fails.

#include "report/appended_notes.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <string_view>

#include "report/vr5xp_doc.h"
#include "scripted_prompter.h"
#include "test_support.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

namespace vr5 {
namespace {

using Answer = Prompter::Answer;
using Close = RemarksModel::Close;

const QString kConfirmAppend = QString::fromUtf8(notes::kConfirmAppend);
const QString kConfirmDiscard = QString::fromUtf8(notes::kConfirmDiscard);

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// A report with the given notes text (empty: no notes) and a few samples.
QByteArray reportWithNotes(const QString& notes) {
    QString quoted = notes;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    quoted.replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
    return test::reportBytes(
        QStringLiteral("notes: \"%1\"\ninterval: 5\nramp: 300 50\nhold: 40\n").arg(quoted));
}

// The dialog as the operator would use it: types `typed`, presses OK and answers the question
// with `answer`.
RemarksRunner typing(const QString& typed, test::ScriptedPrompter& prompter, Answer answer,
                     int* runs = nullptr) {
    return [typed, &prompter, answer, runs](const QString& reportNotes) -> std::optional<QString> {
        if (runs) ++*runs;
        RemarksModel model(reportNotes);
        prompter.answers = {answer};
        if (model.accept(typed, prompter) != Close::Ok || !model.appended()) return std::nullopt;
        return model.notes();
    };
}

class AppendNotesTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // Writes the report and opens it in the document.
    QString open(const QString& name, const QByteArray& bytes) {
        const QString path = write(name, bytes);
        EXPECT_NE(doc.Open(path), CVR5XPDoc::OpenResult::Failed);
        prompter.shown.clear();
        prompter.messages.clear();
        return path;
    }

    QTemporaryDir dir;
    ProgramState state;
    test::ScriptedPrompter prompter;
    CVR5XPDoc doc{state, prompter};
};

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
         "Joint OK + Line one\nLine two", true, ""},
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RemarksModel model(c.notes);
        EXPECT_EQ(model.remaining(), c.remaining);
        EXPECT_EQ(model.prompt(c.typed), QString::fromUtf8(c.prompt));
    }

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

#ifdef Q_OS_UNIX
// Files this process writes may not grow beyond `bytes` while it lives; a write past that fails
// (as on a full disk), even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};
#endif

TEST_F(AppendNotesTest, FailedRewriteLeavesTheReportAsItWas) {
    const QString unchanged = QString::fromUtf8(notes::kLeftUnchanged);
    struct Case {
        const char* name;
        const char* fixture;
        // Breaks the way to the report after it was opened; false when it cannot be done here.
        std::function<bool(const QString& path)> breakIt;
        const char* message;
    };
    std::vector<Case> cases = {
        {"the report's folder is gone", "plain_hydraulic",
         [](const QString& path) { return QDir(QFileInfo(path).path()).removeRecursively(); },
         notes::kCannotOpen},
        {"a folder stands in the report's place", "plain_hydraulic",
         [](const QString& path) { return QFile::remove(path) && QDir().mkdir(path); },
         notes::kCannotOpen},
        {"a read-only folder", "plain_hydraulic",
         [](const QString& path) {
             // The superuser writes anyway; the file-size cases below stand for it there.
             const QString folder = QFileInfo(path).path();
             return QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner) &&
                    !QFileInfo(folder).isWritable();
         },
         notes::kCannotOpen},
    };
#ifdef Q_OS_UNIX
    // The write stops part way, in a small report and in one larger than any write buffer.
    for (const char* fixture : {"plain_hydraulic", "long_10000"}) {
        cases.push_back({"the disk is full", fixture, [](const QString&) { return true; },
                         notes::kCannotWrite});
    }
#endif

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", " + c.fixture);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("joint.tjr"));
        const QByteArray before = test::fixtureBytes(QString::fromUtf8(c.fixture));
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        ASSERT_EQ(doc.Open(path), CVR5XPDoc::OpenResult::Opened);
        const QString notesBefore = doc.record().fields.notes;
        const QStringList headerBefore = doc.record().headerLines;
        prompter.messages.clear();
        state.reloadFlag = false;
        if (!c.breakIt(path)) {
            QFile::setPermissions(folder.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            continue;
        }

        AppendNotesResult result;
        const RemarksRunner runner = typing(QStringLiteral("Cut out"), prompter, Answer::Yes);
        if (std::string_view(c.message) == notes::kCannotWrite) {
#ifdef Q_OS_UNIX
            FileSizeLimit limit(static_cast<rlim_t>(before.size() / 2));
            result = AppendNotes(doc, state, prompter, runner);
#endif
        } else {
            result = AppendNotes(doc, state, prompter, runner);
        }
        QFile::setPermissions(folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        EXPECT_EQ(result, AppendNotesResult::Failed);
        ASSERT_EQ(prompter.messages.size(), 2);  // the question, then the failure
        const QString& message = prompter.messages[1];
        EXPECT_TRUE(message.startsWith(QString::fromUtf8(c.message))) << message.toStdString();
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(path))) << message.toStdString();
        EXPECT_TRUE(message.endsWith(unchanged)) << message.toStdString();
        EXPECT_EQ(prompter.shown[1].icon, Prompter::Icon::Error);
        EXPECT_FALSE(state.reloadFlag);
        EXPECT_EQ(doc.record().fields.notes, notesBefore);
        EXPECT_EQ(doc.record().headerLines, headerBefore);
        if (QFileInfo(path).isFile()) {
            EXPECT_EQ(readFile(path), before);
            // Nothing half-written is left beside the report.
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                      QStringList{QStringLiteral("joint.tjr")});
        }
    }
}

// The new image is written to a hidden file beside the report first, so that a program killed
// part way leaves nothing in sight; what a killed rewrite left long ago is cleared away by the
// next rewrite in that folder, and nothing else beside the report is touched.
TEST(ReplaceReportFile, LeavesOnlyTheReportAndClearsItsOwnOldLeftovers) {
    const QByteArray before = test::fixtureBytes(QStringLiteral("plain_hydraulic"));
    const QByteArray after = before + QByteArray("new");
    const struct {
        const char* left;  // a file left beside the report
        bool old;          // last written a day ago
        bool removed;
    } cases[] = {
        {".vr5xp-notes-k1l2m3n4.part", true, true},
        // Perhaps another program's rewrite under way.
        {".vr5xp-notes-k1l2m3n4.part", false, false},
        {".vr5xp-download-4242-1700000000000.part", true, false},
        {"joint.tjr.AbCdEf", true, false},
        {".joint.tjr.swp", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.left) + (c.old ? ", old" : ", new"));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("joint.tjr"));
        QFile report(path);
        ASSERT_TRUE(report.open(QIODevice::WriteOnly));
        report.write(before);
        report.close();
        QFile left(folder.filePath(QString::fromLatin1(c.left)));
        ASSERT_TRUE(left.open(QIODevice::WriteOnly));
        left.write("left");
        left.flush();  // before the time is set, which a later write would move on
        if (c.old) {
            ASSERT_TRUE(left.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                         QFileDevice::FileModificationTime));
        }
        left.close();

        EXPECT_EQ(replaceReportFile(path, after), std::nullopt);
        EXPECT_EQ(readFile(path), after);
        QStringList expected{QStringLiteral("joint.tjr")};
        if (!c.removed) expected << QString::fromLatin1(c.left);
        expected.sort();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    }
}

#ifdef Q_OS_UNIX
// As a direct rewrite would: the report keeps its permissions, and a symbolic link stays a link
// to the report it names, which is the file rewritten.
TEST(ReplaceReportFile, KeepsPermissionsAndSymbolicLinks) {
    const QByteArray before = test::fixtureBytes(QStringLiteral("plain_hydraulic"));
    const QByteArray after = before + QByteArray("new");
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("real")));
    const QString real = folder.filePath(QStringLiteral("real/joint.tjr"));
    const QString link = folder.filePath(QStringLiteral("joint.tjr"));
    QFile report(real);
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.write(before);
    report.close();
    const QFile::Permissions ownerOnly =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    ASSERT_TRUE(QFile::setPermissions(real, ownerOnly));
    ASSERT_TRUE(QFile::link(QStringLiteral("real/joint.tjr"), link));

    EXPECT_EQ(replaceReportFile(link, after), std::nullopt);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(real), after);
    EXPECT_EQ(QFile::permissions(real), ownerOnly);
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("real"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("joint.tjr")});
}
#endif

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
