// File > Archive...: the table, its filters and count, opening, exporting, importing and
// verifying, and an archive that cannot be opened.
#include "ui/archive/archive_browser.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

#include "archive/archive_connection.h"
#include "archive_ui_support.h"
#include "report/appended_notes.h"
#include "report/report_decoder.h"
#include "report/vr5xp_doc.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/archive/archive_table.h"
#include "ui/archive/archive_task.h"
#include "ui/main_frame.h"
#include "ui_support.h"

namespace vr5 {
namespace {

using test::jointReport;

QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

const QString kHostileJob = QStringLiteral("O'Brien; DROP TABLE reports; --");

class ArchiveBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(files.isValid());
        browser = std::make_unique<ArchiveBrowser>(settings, prompter, [this](const QString& p) {
            opened << p;
            return true;
        });
    }

    // Six joints of two jobs (and one with a hostile job text), by three employees over four
    // days; under ASTM F2620 two within, two outside, one incomplete and one demo.
    void archiveSix() {
        const struct {
            const char* fixture;
            QString job;
            int joint;
            const char* employee;
            const char* when;
        } joints[] = {
            {"plain_hydraulic", QStringLiteral("J-118"), 1, "E-1", "2024-05-06 08:00:00"},
            {"direct_area", QStringLiteral("J-118"), 2, "E-2", "2024-05-06 23:59:59"},
            {"mpa", QStringLiteral("J-118"), 10, "E-1", "2024-05-07 00:00:00"},
            {"mechanical", QStringLiteral("J-200"), 1, "E-2", "2024-05-08 09:00:00"},
            {"bar", kHostileJob, 3, "E-1", "2024-06-01 10:00:00"},
            {"demo", QStringLiteral("J-200"), 2, "E-3", "2024-05-08 12:00:00"},
        };
        auto archive = place.open();
        for (const auto& j : joints) {
            const QByteArray bytes = jointReport(QString::fromLatin1(j.fixture), j.job, j.joint,
                                                 QString::fromLatin1(j.employee), at(j.when));
            EXPECT_EQ(archive->archiveBytes(bytes, QString::fromLatin1(j.fixture) + ".tjr"),
                      ImportOutcome::New);
        }
    }

    int rows() const { return browser->table()->model()->rowCount(); }
    QString cell(int row, int column) const {
        return browser->table()->model()->index(row, column).data().toString();
    }

    test::ArchiveInFolder place;
    QTemporaryDir files;
    MemorySettingsStore settings;
    test::ScriptedPrompter prompter;
    QStringList opened;
    std::unique_ptr<ArchiveBrowser> browser;
};

TEST_F(ArchiveBrowserTest, FiltersSelectAndTheSummaryCountsWhatTheyShow) {
    archiveSix();
    browser->show();
    ASSERT_EQ(rows(), 6) << browser->locationLabel()->text().toStdString();
    EXPECT_TRUE(browser->locationLabel()->text().contains(place.path()));

    // What is typed is looked up once typing pauses.
    QTest::keyClicks(browser->jobBox()->lineEdit(), QStringLiteral("J-200"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == 2; }, 3000));
    EXPECT_EQ(browser->summaryLabel()->text(),
              QStringLiteral("2 reports: 0 within, 0 outside, 1 incomplete, 1 demo"));

    const struct {
        const char* what;
        QString job;
        const char* employee;
        const char* from;
        const char* to;
        const char* verdict;
        int rows;
        const char* summary;
    } cases[] = {
        {"everything",
         {},
         "",
         "",
         "",
         "",
         6,
         "6 reports: 2 within, 2 outside, 1 incomplete, 1 demo"},
        {"a job", QStringLiteral("J-118"), "", "", "", "", 3,
         "3 reports: 2 within, 1 outside, 0 incomplete"},
        {"a job typed with spaces around", QStringLiteral("  J-118 "), "", "", "", "", 3,
         "3 reports: 2 within, 1 outside, 0 incomplete"},
        {"a job with quotes and SQL in it", kHostileJob, "", "", "", "", 1,
         "1 report: 0 within, 1 outside, 0 incomplete"},
        {"an employee", {}, "E-1", "", "", "", 3, "3 reports: 1 within, 2 outside, 0 incomplete"},
        {"one day, its last second included",
         {},
         "",
         "2024-05-06",
         "2024-05-06",
         "",
         2,
         "2 reports: 2 within, 0 outside, 0 incomplete"},
        {"from a day on",
         {},
         "",
         "2024-05-07",
         "",
         "",
         4,
         "4 reports: 0 within, 2 outside, 1 incomplete, 1 demo"},
        {"up to a day",
         {},
         "",
         "",
         "2024-05-07",
         "",
         3,
         "3 reports: 2 within, 1 outside, 0 incomplete"},
        {"a verdict", {}, "", "", "", "outside", 2, "2 reports: 0 within, 2 outside, 0 incomplete"},
        {"a job and a verdict", QStringLiteral("J-118"), "", "", "", "within", 2,
         "2 reports: 2 within, 0 outside, 0 incomplete"},
        {"nothing in range",
         {},
         "",
         "2025-01-01",
         "",
         "",
         0,
         "0 reports: 0 within, 0 outside, 0 incomplete"},
        // A date that is no date filters nothing in silence: the list is empty and says why.
        {"a month 13",
         {},
         "",
         "2024-13-01",
         "",
         "",
         0,
         "The date \"2024-13-01\" is not of the form YYYY-MM-DD."},
        {"a date the other way round",
         {},
         "",
         "",
         "06.05.2024",
         "",
         0,
         "The date \"06.05.2024\" is not of the form YYYY-MM-DD."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        browser->jobBox()->setEditText(c.job);
        browser->employeeBox()->setEditText(QString::fromLatin1(c.employee));
        browser->fromBox()->setText(QString::fromLatin1(c.from));
        browser->toBox()->setText(QString::fromLatin1(c.to));
        browser->verdictBox()->setCurrentIndex(
            std::max(0, browser->verdictBox()->findData(QString::fromLatin1(c.verdict))));
        browser->refresh();
        EXPECT_EQ(browser->summaryLabel()->text(), QString::fromUtf8(c.summary));
        EXPECT_EQ(rows(), c.rows);
        for (int row = 0; row < rows(); ++row) {
            if (!c.job.isEmpty()) {
                EXPECT_EQ(cell(row, ArchiveTableModel::Job), c.job.trimmed());
            }
            if (*c.verdict) {
                EXPECT_EQ(cell(row, ArchiveTableModel::Verdict), QString::fromLatin1(c.verdict));
            }
        }
    }
}

// The verdicts shown are those of the procedure chosen; the table sorts numbers as numbers.
TEST_F(ArchiveBrowserTest, ProcedureChoosesTheVerdictsAndColumnsSortByValue) {
    archiveSix();
    browser->show();
    ASSERT_GE(browser->procedureBox()->count(), 3);
    for (int i = 0; i < browser->procedureBox()->count(); ++i) {
        browser->procedureBox()->setCurrentIndex(i);
        const QString id = browser->procedureBox()->itemData(i).toString();
        ASSERT_EQ(browser->model()->rowCount(), 6);
        for (const ArchivedReport& r : browser->model()->reports()) EXPECT_EQ(r.procedure, id);
    }
    const struct {
        int column;
        Qt::SortOrder order;
        QStringList expected;
    } cases[] = {
        {ArchiveTableModel::Joint, Qt::AscendingOrder, {"1", "1", "2", "2", "3", "10"}},
        {ArchiveTableModel::Joint, Qt::DescendingOrder, {"10", "3", "2", "2", "1", "1"}},
        {ArchiveTableModel::Date,
         Qt::AscendingOrder,
         {"2024-05-06 08:00:00", "2024-05-06 23:59:59", "2024-05-07 00:00:00",
          "2024-05-08 09:00:00", "2024-05-08 12:00:00", "2024-06-01 10:00:00"}},
    };
    for (const auto& c : cases) {
        browser->table()->sortByColumn(c.column, c.order);
        QStringList shown;
        for (int row = 0; row < rows(); ++row) shown << cell(row, c.column);
        EXPECT_EQ(shown, c.expected) << c.column;
    }
}

// A double-click opens the archived bytes: a new read-only file of the browser's own for each
// opening, never the file the report came from, which may have changed or gone since.
TEST_F(ArchiveBrowserTest, DoubleClickOpensTheArchivedBytesInTheMainWindow) {
    const QByteArray report = test::describedReport(QStringLiteral("plain_hydraulic"));
    const QString source = files.filePath(QStringLiteral("VR Job J-2024-118 Joint 7.tjr"));
    ASSERT_TRUE(test::putFile(source, report));
    ASSERT_EQ(place.open()->importFiles({source}).fresh, 1);
    // The file on disk is changed after archiving: the archive's copy is what opens.
    ASSERT_TRUE(test::putFile(source, QByteArray("not the report any more")));

    CMainFrame frame(settings, prompter);
    QMenu* file = frame.menuBar()->actions().first()->menu();
    QAction* command = file->findChild<QAction*>(QStringLiteral("archiveAction"));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), QStringLiteral("&Archive..."));
    command->trigger();
    auto* shown = frame.findChild<ArchiveBrowser*>();
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(shown->isVisible());
    // One browser for the window, shown again.
    shown->close();
    command->trigger();
    EXPECT_EQ(frame.findChildren<ArchiveBrowser*>().size(), 1);
    ASSERT_EQ(shown->table()->model()->rowCount(), 1);

    QStringList paths;
    for (int time = 0; time < 2; ++time) {
        QTableView* table = shown->table();
        const QRect cellRect = table->visualRect(table->model()->index(0, 1));
        // A view takes a double-click on the row the first click of it pressed.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellRect.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellRect.center());
        ASSERT_FALSE(shown->lastOpened().isEmpty());
        ASSERT_EQ(frame.document().path(), shown->lastOpened()) << time;
        paths << shown->lastOpened();
        EXPECT_EQ(test::fileBytes(shown->lastOpened()), report);
        EXPECT_EQ(QFileInfo(shown->lastOpened()).permissions() &
                      (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
                  QFile::Permissions());
        EXPECT_EQ(QFileInfo(shown->lastOpened()).fileName(),
                  QStringLiteral("VR Job J-2024-118 Joint 7.tjr"));
        EXPECT_EQ(frame.document().record().fields.jobNumber, QStringLiteral("J-2024-118"));
    }
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_EQ(test::fileBytes(paths[0]), report);
    EXPECT_NE(paths[0], source);
    // A copy that lives only as long as the program is no recent file.
    EXPECT_TRUE(settings.read(keys::recentFile(0)).isEmpty());
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join(u'\n').toStdString();
}

TEST_F(ArchiveBrowserTest, ExportNeverWritesOverAFile) {
    const QByteArray report = test::describedReport(QStringLiteral("plain_hydraulic"));
    ASSERT_EQ(place.open()->archiveBytes(report, QStringLiteral("plain.tjr")), ImportOutcome::New);
    browser->show();
    ASSERT_EQ(rows(), 1);
    const QByteArray mine("a report of someone's, not to be lost");
    const QString existing = files.filePath(QStringLiteral("existing.tjr"));
    ASSERT_TRUE(test::putFile(existing, mine));
    const QString link = files.filePath(QStringLiteral("link.tjr"));
    ASSERT_TRUE(QFile::link(existing, link));
    const struct {
        const char* what;
        QString out;
        bool written;
    } cases[] = {
        {"a new file", files.filePath(QStringLiteral("taken out.tjr")), true},
        {"a file that exists", existing, false},
        {"a link to a file that exists", link, false},
        {"the file just written, again", files.filePath(QStringLiteral("taken out.tjr")), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.messages.clear();
        EXPECT_EQ(browser->exportRow(0, c.out), c.written);
        EXPECT_EQ(prompter.messages.size(), c.written ? 0 : 1);
        if (!c.written) {
            EXPECT_TRUE(prompter.messages.value(0).contains(u"never written over"));
        }
        EXPECT_EQ(test::fileBytes(existing), mine);
    }
    EXPECT_EQ(test::fileBytes(files.filePath(QStringLiteral("taken out.tjr"))), report);
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

// Each file of a folder, subfolders too, with its answer; nothing in the folder changes.
TEST_F(ArchiveBrowserTest, VerifyFolderAnswersForEachFile) {
    const QByteArray plain = test::describedReport(QStringLiteral("plain_hydraulic"));
    ASSERT_EQ(place.open()->archiveBytes(plain, QStringLiteral("plain.tjr")), ImportOutcome::New);
    JointRecord rec;
    decodeReport(plain, rec);
    const QByteArray noted =
        imageWithNotes(plain, rec.notesPos, rec.notesEnd, QStringLiteral("Joint OK + Bead even"));
    const QByteArray altered = test::describedReport(
        QStringLiteral("plain_hydraulic"), [](ReportContent& c) { c.samples[40].pressure += 9; });
    QDir().mkpath(files.filePath(QStringLiteral("in/sub")));
    const struct {
        const char* name;
        QByteArray bytes;
        VerifyResult::Answer answer;
        const char* says;
    } cases[] = {
        {"in/a copy.tjr", plain, VerifyResult::Answer::Identical,
         ": identical to the copy archived on"},
        {"in/sub/noted.tjr", noted, VerifyResult::Answer::NotesAppended,
         "with notes appended since: \"Bead even\""},
        {"in/edited.tjr", altered, VerifyResult::Answer::Altered, ": altered after archiving"},
        {"in/other.tjr", test::describedReport(QStringLiteral("mpa")),
         VerifyResult::Answer::NotArchived, ": not in the archive"},
    };
    for (const auto& c : cases)
        ASSERT_TRUE(test::putFile(files.filePath(QString::fromLatin1(c.name)), c.bytes));
    browser->show();
    ASSERT_TRUE(browser->verifyFolder(files.filePath(QStringLiteral("in"))));
    EXPECT_FALSE(browser->importButton()->isEnabled());
    ASSERT_TRUE(browser->waitUntilIdle());
    EXPECT_TRUE(browser->importButton()->isEnabled());
    QListWidget* list = browser->answers();
    ASSERT_EQ(list->count(), 4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QDir::toNativeSeparators(files.filePath(QString::fromLatin1(c.name)));
        const auto found = list->findItems(path + u':', Qt::MatchStartsWith);
        ASSERT_EQ(found.size(), 1);
        EXPECT_TRUE(found[0]->text().contains(QString::fromUtf8(c.says)))
            << found[0]->text().toStdString();
        EXPECT_EQ(found[0]->data(Qt::UserRole).toInt(), static_cast<int>(c.answer));
        EXPECT_EQ(test::fileBytes(files.filePath(QString::fromLatin1(c.name))), c.bytes);
    }
    EXPECT_TRUE(browser->workLabel()->text().endsWith(
        "4 files: 1 identical, 1 with notes appended since, 1 altered, 1 not archived"))
        << browser->workLabel()->text().toStdString();
    EXPECT_EQ(rows(), 1);  // a verify archives nothing
}

TEST_F(ArchiveBrowserTest, ImportFolderCountsAndListsWhatItTook) {
    const QByteArray plain = test::describedReport(QStringLiteral("plain_hydraulic"));
    ASSERT_EQ(place.open()->archiveBytes(plain, QStringLiteral("first.tjr")), ImportOutcome::New);
    QDir().mkpath(files.filePath(QStringLiteral("in/sub")));
    const struct {
        const char* name;
        QByteArray bytes;
    } put[] = {
        {"in/again.tjr", plain},  // already archived
        {"in/mpa.tjr", test::describedReport(QStringLiteral("mpa"))},
        {"in/sub/bar.tjr", test::describedReport(QStringLiteral("bar"))},
        {"in/sub/damaged.tjr", test::describedReport(QStringLiteral("damaged_truncated"))},
        {"in/remade.tjr",
         test::describedReport(QStringLiteral("plain_hydraulic"),
                               [](ReportContent& c) { c.samples[40].pressure += 9; })},
        {"in/empty.tjr", QByteArray()},
        {"in/notes.txt", QByteArray("not a report, not taken")},
    };
    for (const auto& p : put)
        ASSERT_TRUE(test::putFile(files.filePath(QString::fromLatin1(p.name)), p.bytes));
    browser->show();
    ASSERT_EQ(rows(), 1);
    ASSERT_TRUE(browser->importFolder(files.filePath(QStringLiteral("in"))));
    // One piece of work at a time.
    EXPECT_FALSE(browser->verifyFolder(files.filePath(QStringLiteral("in"))));
    ASSERT_TRUE(browser->waitUntilIdle());
    EXPECT_TRUE(browser->workLabel()->text().endsWith(
        "new 2, already archived 1, conflicts 1, damaged 1, unreadable 1"))
        << browser->workLabel()->text().toStdString();
    QStringList listed;
    for (int i = 0; i < browser->answers()->count(); ++i)
        listed << browser->answers()->item(i)->text();
    ASSERT_EQ(listed.size(), 2) << listed.join(u'\n').toStdString();
    EXPECT_TRUE(listed[0].startsWith(u"conflict: ")) << listed[0].toStdString();
    EXPECT_TRUE(listed[1].startsWith(u"unreadable: ")) << listed[1].toStdString();
    EXPECT_TRUE(listed[1].contains(u"empty.tjr"));
    // The table shows what is archived now, and the job box offers its jobs.
    EXPECT_EQ(rows(), 5);
    EXPECT_GE(browser->jobBox()->findText(QStringLiteral("J-2024-118")), 0);
}

// An archive that cannot be opened is named with why; the window stays usable and empty, and
// nothing is written to it, by the list nor by an import.
TEST_F(ArchiveBrowserTest, AnArchiveThatCannotBeOpenedIsLeftAsItIs) {
    const QByteArray text("these are not the archive's bytes\n");
    QByteArray damaged("SQLite format 3");
    damaged.append('\0');
    damaged.append(QByteArray(200, '\x7f'));
    const QString newer = files.filePath(QStringLiteral("newer.sqlite"));
    {
        auto archive = std::make_unique<JointArchive>();
        ASSERT_TRUE(archive->open(ArchiveLocation::sqliteFile(newer)));
        QSqlQuery q(archive->connection().db());
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE archive_version SET version = 999")));
    }
    const QByteArray newerBytes = test::fileBytes(newer);
    const QString report = files.filePath(QStringLiteral("in/r.tjr"));
    QDir().mkpath(files.filePath(QStringLiteral("in")));
    ASSERT_TRUE(test::putFile(report, test::describedReport(QStringLiteral("mpa"))));
    const struct {
        const char* what;
        QString file;  // written with `bytes` first unless empty
        QByteArray bytes;
        QString location;
        const char* says;
    } cases[] = {
        {"a text file", files.filePath(QStringLiteral("text.sqlite")), text, {}, "not an SQLite"},
        {"a damaged file", files.filePath(QStringLiteral("damaged.sqlite")), damaged, {}, ""},
        {"an archive of a newer program", newer, newerBytes, {}, "newer version"},
        {"an address that is none",
         {},
         {},
         QStringLiteral("http://example.invalid/archive"),
         "neither a file nor"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.bytes.isEmpty() && c.file != newer) {
            ASSERT_TRUE(test::putFile(c.file, c.bytes));
        }
        test::ArchiveInFolder::name(c.file.isEmpty() ? c.location : c.file);
        ArchiveBrowser shown(settings, prompter, {});
        shown.show();
        EXPECT_TRUE(shown.locationLabel()->text().contains(QString::fromUtf8(c.says)))
            << shown.locationLabel()->text().toStdString();
        EXPECT_FALSE(shown.locationLabel()->text().isEmpty());
        EXPECT_EQ(shown.table()->model()->rowCount(), 0);
        EXPECT_FALSE(shown.exportButton()->isEnabled());
        shown.refresh();
        ASSERT_TRUE(shown.importFolder(files.filePath(QStringLiteral("in"))));
        ASSERT_TRUE(shown.waitUntilIdle());
        EXPECT_FALSE(shown.workLabel()->text().isEmpty());
        EXPECT_FALSE(shown.workLabel()->text().startsWith(u"Import of"));
        if (!c.file.isEmpty()) {
            EXPECT_EQ(test::fileBytes(c.file), c.bytes);
        }
        EXPECT_FALSE(QFileInfo::exists(c.file + QStringLiteral("-wal")));
    }
}

}  // namespace
}  // namespace vr5

namespace vr5 {
namespace {

// Work on the archive's own thread ends when asked: by Cancel, by its window going (which waits
// for it rather than leaving it to run on), and never starts on an archive that cannot open.
TEST(ArchiveTask, CancelAndAGoneWindowStopTheWorkAndAnArchiveThatCannotOpenRunsNone) {
    enum class End { Cancel, WindowGone, CannotOpen };
    for (const End end : {End::Cancel, End::WindowGone, End::CannotOpen}) {
        SCOPED_TRACE(static_cast<int>(end));
        test::ArchiveInFolder place;
        auto task = std::make_unique<ArchiveTask>();
        auto ran = std::make_shared<std::atomic_bool>(false);
        auto stopped = std::make_shared<std::atomic_bool>(false);
        int progressed = 0;
        QStringList finished;
        QObject::connect(task.get(), &ArchiveTask::progressed, [&] { ++progressed; });
        QObject::connect(task.get(), &ArchiveTask::finished,
                         [&](const QString& error) { finished << error; });
        const ArchiveLocation location = end == End::CannotOpen
                                             ? ArchiveLocation::parse(QStringLiteral("ftp://x/y"))
                                             : ArchiveLocation::sqliteFile(place.path());
        ASSERT_TRUE(
            task->start(location, [ran, stopped](JointArchive&, const ArchiveProgress& progress,
                                                 const std::atomic_bool& cancel) {
                *ran = true;
                for (qsizetype i = 0; !cancel; ++i) {
                    progress(i, 1000000, QStringLiteral("r.tjr"));
                    QThread::msleep(1);
                }
                *stopped = true;
            }));
        EXPECT_FALSE(task->start(location, {}));
        if (end == End::CannotOpen) {
            ASSERT_TRUE(task->wait(10000));
            EXPECT_FALSE(*ran);
            ASSERT_EQ(finished.size(), 1);
            EXPECT_TRUE(finished[0].contains(u"neither a file nor")) << finished[0].toStdString();
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return progressed > 0; }, 10000));
        if (end == End::WindowGone) {
            task.reset();
            EXPECT_TRUE(*stopped);
            EXPECT_TRUE(finished.isEmpty());
            continue;
        }
        task->cancel();
        ASSERT_TRUE(task->wait(10000));
        EXPECT_TRUE(*stopped);
        EXPECT_EQ(finished, QStringList{QString()});
        EXPECT_FALSE(task->running());
    }
}

}  // namespace
}  // namespace vr5
