// Rewriting a report with appended notes: only onto the report as it is on disk, keeping what the
// file system keeps of it, and nothing at all when it fails.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "append_notes_support.h"
#include "report/appended_notes.h"
#include "report/vr5xp_doc.h"
#include "test_support.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace vr5 {
namespace {

using Answer = Prompter::Answer;
using test::AppendNotesTest;
using test::reportWithNotes;
using test::typing;

QByteArray readFile(const QString& path) {
    return test::fileBytes(path);
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

// While it lives this process can open no further file, so no temporary file can be made, even
// by root, whom a read-only folder does not stop.
class NoMoreFiles {
public:
    NoMoreFiles() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = ::open("/dev/null", O_RDONLY);
        ::close(lowestFree);
        rlimit limit = saved_;
        limit.rlim_cur = static_cast<rlim_t>(lowestFree);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    ~NoMoreFiles() { setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

struct stat statOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    return st;
}
#endif

// Two windows (or two computers) on one report: the notes of both are kept, whichever appends
// second is refused once, reads the report again and appends onto everything it holds.
TEST_F(AppendNotesTest, TwoWindowsOnOneReportKeepEveryNote) {
    enum class Meanwhile { OtherAppendsFirst, OtherAppendsDuringDialog, SameLengthAndTime };
    struct Case {
        const char* name;
        Meanwhile meanwhile;
        bool typed;      // the operator had typed notes when the report was found changed
        QString onDisk;  // the notes on disk once the other one is done
    } cases[] = {
        {"the other appended before", Meanwhile::OtherAppendsFirst, false,
         "Joint OK + From the office"},
        {"the other appended while the dialog was open", Meanwhile::OtherAppendsDuringDialog, true,
         "Joint OK + From the office"},
        // A copy that neither size nor modification time tells apart.
        {"replaced with as many bytes and the same time", Meanwhile::SameLengthAndTime, true,
         "Joint NO"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = open(QStringLiteral("joint.tjr"), reportWithNotes("Joint OK"));
        ProgramState otherState;
        test::ScriptedPrompter otherPrompter;
        CVR5XPDoc other(otherState, otherPrompter);
        ASSERT_EQ(other.Open(path), CVR5XPDoc::OpenResult::Opened);
        const auto otherOneWrites = [&] {
            if (c.meanwhile == Meanwhile::SameLengthAndTime) {
                const QDateTime time = QFileInfo(path).lastModified();
                write(QStringLiteral("joint.tjr"), reportWithNotes(c.onDisk));
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::Append));
                ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
                return;
            }
            ASSERT_EQ(
                AppendNotes(other, otherState, otherPrompter,
                            typing(QStringLiteral("From the office"), otherPrompter, Answer::Yes)),
                AppendNotesResult::Appended);
        };
        if (c.meanwhile == Meanwhile::OtherAppendsFirst) otherOneWrites();
        int runs = 0;
        const RemarksRunner typed = typing(QStringLiteral("From the site"), prompter, Answer::Yes);
        const RemarksRunner dialog = [&](const QString& notes) {
            ++runs;
            const std::optional<QString> joined = typed(notes);
            if (c.meanwhile != Meanwhile::OtherAppendsFirst) otherOneWrites();
            return joined;
        };
        prompter.messages.clear();
        state.reloadFlag = false;

        EXPECT_EQ(AppendNotes(doc, state, prompter, dialog), AppendNotesResult::Changed);
        EXPECT_EQ(runs, c.typed ? 1 : 0);
        const QByteArray theirs = readFile(path);
        EXPECT_EQ(test::decodeBytes(theirs).fields.notes, c.onDisk);
        ASSERT_FALSE(prompter.messages.isEmpty());
        const QString& told = prompter.messages.last();
        EXPECT_TRUE(told.contains(QString::fromUtf8(notes::kChangedSinceOpened)));
        EXPECT_TRUE(told.contains(QString::fromUtf8(notes::kReadAgain)));
        EXPECT_TRUE(told.contains(QDir::toNativeSeparators(path)));
        EXPECT_EQ(told.startsWith(QString::fromUtf8(notes::kNotAppended)), c.typed);
        EXPECT_EQ(prompter.shown.last().icon, Prompter::Icon::Warning);
        // Read again: the page shows what the report now holds.
        EXPECT_EQ(doc.record().fields.notes, c.onDisk);
        EXPECT_EQ(doc.image(), theirs);
        EXPECT_EQ(state.currentReportPath, path);

        // Appending again joins onto both.
        EXPECT_EQ(AppendNotes(doc, state, prompter,
                              typing(QStringLiteral("From the site"), prompter, Answer::Yes)),
                  AppendNotesResult::Appended);
        EXPECT_EQ(test::decodeBytes(readFile(path)).fields.notes,
                  c.onDisk + QStringLiteral(" + From the site"));
        EXPECT_TRUE(state.reloadFlag);
    }
}

TEST_F(AppendNotesTest, FailedRewriteLeavesTheReportAsItWas) {
    const QString unchanged = QString::fromUtf8(notes::kLeftUnchanged);
    enum class Limit { None, FileSize, OpenFiles };
    struct Case {
        const char* name;
        const char* fixture;
        // Breaks the way to the report after it was opened; false when it cannot be done here.
        std::function<bool(const QString& path)> breakIt;
        bool whileTyping;  // broken while the dialog is open, else before Append Notes
        Limit limit;       // in force from the dialog's end until Append Notes is done
        bool asked;        // found once the dialog was done, else before it opens
        const char* message;
    };
    [[maybe_unused]] const auto nothing = [](const QString&) { return true; };
    const auto folderGone = [](const QString& path) {
        return QDir(QFileInfo(path).path()).removeRecursively();
    };
    std::vector<Case> cases = {
        {"the report's folder is gone", "plain_hydraulic", folderGone, false, Limit::None, false,
         notes::kCannotOpen},
        {"the folder goes while the dialog is open", "plain_hydraulic", folderGone, true,
         Limit::None, true, notes::kCannotOpen},
        {"a folder stands in the report's place", "plain_hydraulic",
         [](const QString& path) { return QFile::remove(path) && QDir().mkdir(path); }, false,
         Limit::None, false, notes::kCannotOpen},
        {"a read-only folder", "plain_hydraulic",
         [](const QString& path) {
             // The superuser writes anyway; the next case stands for it there.
             const QString folder = QFileInfo(path).path();
             return QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner) &&
                    !QFileInfo(folder).isWritable();
         },
         false, Limit::None, true, notes::kCannotOpen},
    };
#ifdef Q_OS_UNIX
    cases.push_back({"no temporary file can be made", "plain_hydraulic", nothing, true,
                     Limit::OpenFiles, true, notes::kCannotOpen});
    // The write stops part way, in a small report and in one larger than any write buffer.
    for (const char* fixture : {"plain_hydraulic", "long_10000"}) {
        cases.push_back({"the disk is full", fixture, nothing, true, Limit::FileSize, true,
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
#ifdef Q_OS_UNIX
        const ino_t inode = statOf(path).st_ino;
#endif
        ASSERT_EQ(doc.Open(path), CVR5XPDoc::OpenResult::Opened);
        const QString notesBefore = doc.record().fields.notes;
        const QStringList headerBefore = doc.record().headerLines;
        prompter.messages.clear();
        prompter.shown.clear();
        state.reloadFlag = false;
        const auto restore = [&] {
            QFile::setPermissions(folder.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        if (!c.whileTyping && !c.breakIt(path)) {
            restore();
            continue;
        }

        bool broken = true;
#ifdef Q_OS_UNIX
        std::optional<FileSizeLimit> fileSize;
        std::optional<NoMoreFiles> noMoreFiles;
#endif
        const RemarksRunner typed = typing(QStringLiteral("Cut out"), prompter, Answer::Yes);
        const RemarksRunner dialog = [&](const QString& notes) {
            const std::optional<QString> joined = typed(notes);
            if (c.whileTyping) broken = c.breakIt(path);
#ifdef Q_OS_UNIX
            if (c.limit == Limit::FileSize)
                fileSize.emplace(static_cast<rlim_t>(before.size() / 2));
            if (c.limit == Limit::OpenFiles) noMoreFiles.emplace();
#endif
            return joined;
        };
        const AppendNotesResult result = AppendNotes(doc, state, prompter, dialog);
#ifdef Q_OS_UNIX
        fileSize.reset();
        noMoreFiles.reset();
#endif
        restore();
        if (!broken) continue;

        EXPECT_EQ(result, AppendNotesResult::Failed);
        // Found before the dialog opens, or after it: the question, then the failure.
        ASSERT_EQ(prompter.messages.size(), c.asked ? 2 : 1);
        const QString& message = prompter.messages.last();
        EXPECT_TRUE(message.startsWith(QString::fromUtf8(c.message))) << message.toStdString();
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(path))) << message.toStdString();
        EXPECT_TRUE(message.endsWith(unchanged)) << message.toStdString();
        EXPECT_EQ(prompter.shown.last().icon, Prompter::Icon::Error);
        EXPECT_FALSE(state.reloadFlag);
        EXPECT_EQ(doc.record().fields.notes, notesBefore);
        EXPECT_EQ(doc.record().headerLines, headerBefore);
        if (QFileInfo(path).isFile()) {
            // The very same file, byte for byte.
            EXPECT_EQ(readFile(path), before);
#ifdef Q_OS_UNIX
            EXPECT_EQ(statOf(path).st_ino, inode);
#endif
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
// As a rewrite in place would: the report keeps its permissions, its owner and group where the
// program may give them, and a symbolic link stays a link to the report it names, which is the
// file rewritten.
TEST(ReplaceReportFile, KeepsOwnerPermissionsAndSymbolicLinks) {
    const QByteArray before = test::fixtureBytes(QStringLiteral("plain_hydraulic"));
    const QByteArray after = before + QByteArray("new");
    // Root gives any owner; anyone else one of their own groups, when they have a second one.
    uid_t owner = ::geteuid();
    gid_t group = ::getegid();
    if (owner == 0) {
        owner = 4242;
        group = 4343;
    } else {
        gid_t groups[64];
        const int count = ::getgroups(64, groups);
        for (int i = 0; i < count; ++i) {
            if (groups[i] != group) {
                group = groups[i];
                break;
            }
        }
    }
    const struct {
        mode_t mode;
        bool throughLink;
    } cases[] = {{0600, false}, {0640, false}, {0640, true}, {0664, true}, {0604, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::number(c.mode, 8).toStdString() + (c.throughLink ? ", link" : ""));
        QTemporaryDir folder;
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("real")));
        const QString real = folder.filePath(QStringLiteral("real/joint.tjr"));
        const QString link = folder.filePath(QStringLiteral("joint.tjr"));
        QFile report(real);
        ASSERT_TRUE(report.open(QIODevice::WriteOnly));
        report.write(before);
        report.close();
        const QByteArray name = QFile::encodeName(real);
        ASSERT_EQ(::chown(name.constData(), owner, group), 0);
        ASSERT_EQ(::chmod(name.constData(), c.mode), 0);
        if (c.throughLink) {
            ASSERT_TRUE(QFile::link(QStringLiteral("real/joint.tjr"), link));
        }

        EXPECT_EQ(replaceReportFile(c.throughLink ? link : real, after), std::nullopt);
        EXPECT_EQ(readFile(real), after);
        const struct stat st = statOf(real);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        EXPECT_EQ(st.st_uid, owner);
        EXPECT_EQ(st.st_gid, group);
        if (c.throughLink) {
            EXPECT_TRUE(QFileInfo(link).isSymLink());
        }
        EXPECT_EQ(
            QDir(folder.filePath(QStringLiteral("real"))).entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("joint.tjr")});
    }
}
#endif

}  // namespace
}  // namespace vr5
