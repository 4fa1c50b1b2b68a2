// A joint downloaded in the Log/Status window goes into the archive as it is stored; an archive
// that cannot take it never fails the download.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "archive/joint_archive.h"
#include "emulator_process.h"
#include "report/report_decoder.h"
#include "settings/settings_keys.h"
#include "ui/archive/archive_on_store.h"
#include "ui/logger/log_status_dlg.h"

namespace vr5 {
namespace {

// Yes to every question, OK to connect.
class YesPrompter final : public Prompter {
public:
    void show(const QString& text, const QString&, Icon) override { shown << text; }
    using Prompter::ask;
    Answer ask(const QString& text, const QString&, Buttons buttons, Icon) override {
        shown << text;
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    QStringList shown;
};

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The open messages saying a report was not archived; closed once seen.
QStringList takeNotArchivedMessages() {
    QStringList texts;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || box->objectName() != QString::fromLatin1(kNotArchivedObject)) continue;
        texts << box->text();
        box->close();
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return texts;
}

TEST(ArchiveDownloadE2eTest, ADownloadIsArchivedAndABrokenArchiveNeverFailsIt) {
    const QByteArray notAnArchive("this is no database\n");
    const struct {
        const char* what;
        int archiveDownloads;
        bool broken;
        int archived;  // reports in the archive afterwards
        int messages;  // "not archived" messages
    } cases[] = {
        {"archived as it is stored", 1, false, 1, 0},
        {"the setting off", 0, false, 0, 0},
        {"an archive that is no database", 1, true, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir home;
        const QString archivePath = home.filePath(QStringLiteral("archive.sqlite"));
        if (c.broken) {
            QFile file(archivePath);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(notAnArchive);
        }
        qputenv("VR5XP_ARCHIVE", archivePath.toUtf8());
        test::EmulatorProcess emulator;
        ASSERT_TRUE(emulator.start(
            {"--state", "finished", "--samples", "300", "--page-size", "100", "--pace", "115200"}));
        MemorySettingsStore settings;
        settings.write(keys::ComPort, static_cast<int>(test::EmulatorProcess::kPort) - 1);
        settings.write(keys::ArchiveDownloads, c.archiveDownloads);
        ProgramState state;
        YesPrompter prompter;
        QWidget mainWindow;
        QTemporaryDir reports;
        {
            CLogStatusDlg dialog({settings, state, prompter}, reports.path(), &mainWindow);
            dialog.show();
            dialog.connectButton()->click();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 30000))
                << emulator.log().toStdString();
        }
        ASSERT_TRUE(waitForStoredReports(30000));
        // The download is stored whole whatever became of the archive.
        const QString report = state.currentReportPath;
        ASSERT_FALSE(report.isEmpty());
        EXPECT_TRUE(state.reloadFlag);
        const QByteArray bytes = bytesOf(report);
        JointRecord rec;
        decodeReport(bytes, rec);
        EXPECT_FALSE(rec.problem.isDamaged());
        EXPECT_EQ(rec.time.size(), 300u);

        const QStringList messages = takeNotArchivedMessages();
        EXPECT_EQ(messages.size(), c.messages) << messages.join(u'\n').toStdString();
        if (c.broken) {
            EXPECT_TRUE(messages.value(0).contains(QDir::toNativeSeparators(report)));
            EXPECT_EQ(bytesOf(archivePath), notAnArchive);
        } else if (c.archived == 0) {
            EXPECT_FALSE(QFile::exists(archivePath));
        } else {
            JointArchive archive;
            ASSERT_TRUE(archive.open(ArchiveLocation::sqliteFile(archivePath)));
            const QList<ArchivedReport> listed = archive.list();
            ASSERT_EQ(listed.size(), c.archived);
            EXPECT_EQ(listed[0].sha256, sha256Hex(bytes));
            EXPECT_EQ(archive.verify(report).answer, VerifyResult::Answer::Identical);
        }
        qunsetenv("VR5XP_ARCHIVE");
    }
}

}  // namespace
}  // namespace vr5
