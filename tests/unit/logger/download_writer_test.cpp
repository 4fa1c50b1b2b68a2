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

// A download killed part way, or one whose report could be made under no name, leaves the run
// in its hidden temporary file: the only copy of what arrived. A later download never removes
// it, however old.
TEST(DownloadWriterTest, NeverRemovesARunLeftInATemporaryFile) {
    for (const char* left : {".vr5xp-download-4242-1700000000000.part", ".vr5xp-notes-k1l2.part",
                             "VR Job 12 Joint 7 by A5.tjr"}) {
        SCOPED_TRACE(left);
        QTemporaryDir folder;
        QFile file(QDir(folder.path()).filePath(QString::fromLatin1(left)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("left");
        file.flush();  // before the time is set, which a later write would move on
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-400),
                                     QFileDevice::FileModificationTime));
        file.close();

        test::ScriptedPrompter prompter;
        DownloadWriter writer;
        ASSERT_EQ(writer.begin(folder.path(), jointReply("M-1", "B7", "13", 8), prompter),
                  DownloadWriter::Begun::Opened);
        writer.discard();
        EXPECT_TRUE(QFile::exists(file.fileName()));
        EXPECT_TRUE(prompter.messages.isEmpty());
    }
}

}  // namespace
}  // namespace vr5
