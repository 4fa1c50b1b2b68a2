#include "logger/download_writer.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "logger/protocol.h"
#include "scripted_prompter.h"

namespace vr5 {
namespace {

using protocol::numberField;
using protocol::stringField;

// A joint information reply with the fields the file name is made of.
QByteArray jointReply(const QString& machineId, const QString& employee, const QString& job,
                      int joint) {
    QByteArray line = "Pw02:";
    for (int v : {2026, 3, 4, 5, 6, 7}) line += numberField(v);
    line += stringField(machineId) + numberField(2) + stringField(QStringLiteral("ZG 412")) +
            stringField(QStringLiteral("4.2")) + numberField(0);
    line += stringField(employee) + stringField(job) + numberField(joint);
    return line + "eom";
}

TEST(DownloadWriterTest, FileNamesFromTheLoggerStayInsideTheReportFolder) {
    const struct {
        QString employee, job;
        QString expected;
    } cases[] = {
        {"A5", "12", "VR Job 12 Joint 7 by A5.tjr"},
        {"", "", "VR Job  Joint 7 by .tjr"},
        {"..", "../../etc", "VR Job ___.._etc Joint 7 by __.tjr"},
        {"a\\b", "x:y*z?", "VR Job x_y_z_ Joint 7 by a_b.tjr"},
        {"\"<>|", "tab\there", "VR Job tab_here Joint 7 by ____.tjr"},
        {".hidden", "J 1", "VR Job J 1 Joint 7 by _hidden.tjr"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "1", "VR Job 1 Joint 7 by ABCDEFGHIJKLMNOPQRST.tjr"},
        {QString(QChar(0xD800)) + u'x', "\u00E9", "VR Job \u00E9 Joint 7 by _x.tjr"},
    };
    for (const auto& c : cases) {
        const auto names = DownloadWriter::namesFrom(jointReply(QString(), c.employee, c.job, 7));
        EXPECT_EQ(names.download, c.expected) << c.employee.toStdString();
        EXPECT_EQ(names.fallback, QStringLiteral("VR 2026-03-04 05-06-07.tjr"));
    }
    // An empty machine ID does not shift the fields after it.
    EXPECT_EQ(DownloadWriter::namesFrom(jointReply(QStringLiteral("M-1"), "A5", "12", 7)).download,
              DownloadWriter::namesFrom(jointReply(QString(), "A5", "12", 7)).download);
    // A reply cut short names what it holds.
    EXPECT_EQ(DownloadWriter::namesFrom("Pw02:07eaeom").download,
              QStringLiteral("VR Job  Joint 0 by .tjr"));
}

// A download killed part way leaves its hidden temporary file; the next download into that
// folder clears away such files once they are a day old, and nothing else.
TEST(DownloadWriterTest, ClearsOnlyItsOwnTemporaryFilesLeftLongAgo) {
    const struct {
        const char* left;  // a file in the report folder
        bool old;          // last written two days ago
        bool removed;
    } cases[] = {
        {".vr5xp-download-4242-1700000000000.part", true, true},
        // Perhaps another program's download under way.
        {".vr5xp-download-4242-1700000000000.part", false, false},
        {".vr5xp-download-4242-1700000000000.part.keep", true, false},
        {".vr5xp-download-notes.part", true, false},
        {".vr5xp-notes-k1l2m3n4.part", true, false},
        {"VR Job 12 Joint 7 by A5.tjr", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.left) + (c.old ? ", old" : ", new"));
        QTemporaryDir folder;
        QFile left(QDir(folder.path()).filePath(QString::fromLatin1(c.left)));
        ASSERT_TRUE(left.open(QIODevice::WriteOnly));
        left.write("left");
        left.flush();  // before the time is set, which a later write would move on
        if (c.old) {
            ASSERT_TRUE(left.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                         QFileDevice::FileModificationTime));
        }
        left.close();

        test::ScriptedPrompter prompter;
        DownloadWriter writer;
        ASSERT_TRUE(writer.begin(folder.path(), jointReply("M-1", "B7", "13", 8), prompter));
        EXPECT_EQ(QFile::exists(left.fileName()), !c.removed);
        writer.discard();
        EXPECT_TRUE(prompter.messages.isEmpty());
    }
}

}  // namespace
}  // namespace vr5
