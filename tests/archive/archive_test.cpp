// Importing, listing, verifying and taking reports out of the archive.
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include "archive/archive_connection.h"
#include "archive_support.h"
#include "report/appended_notes.h"
#include "report/report_decoder.h"

namespace vr5::test {

namespace {

// The report with `added` appended to its notes, as Append Notes writes it.
QByteArray withNotes(const QByteArray& bytes, const QString& added) {
    JointRecord rec;
    decodeReport(bytes, rec);
    const QString old = rec.fields.notes == u"---" ? QString() : rec.fields.notes;
    const QString joined = old.isEmpty() ? added : old + QStringLiteral(" + ") + added;
    return imageWithNotes(bytes, rec.notesPos, rec.notesEnd, joined);
}

}  // namespace

using ImportTest = ArchiveTest;

TEST_F(ImportTest, CountsEachFileOnce) {
    const QByteArray plain = builtReport(QStringLiteral("plain_hydraulic"));
    // The same logger, date, job and joint with a pressure changed: altered or re-made.
    const QByteArray altered = fixtureReport(QStringLiteral("plain_hydraulic"),
                                             [](ReportContent& c) { c.samples[40].pressure += 9; });
    ASSERT_NE(altered, plain);
    QDir().mkpath(path(QStringLiteral("in/sub")));
    const auto put = [&](const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(writeFile(path(name), bytes));
        return path(name);
    };
    put(QStringLiteral("in/plain.tjr"), plain);
    put(QStringLiteral("in/sub/mechanical.tjr"), builtReport(QStringLiteral("mechanical")));
    put(QStringLiteral("in/sub/demo.TJR"), builtReport(QStringLiteral("demo")));
    put(QStringLiteral("in/sub/notes.txt"), "not a report, not looked at");
    put(QStringLiteral("in/.vr5xp-download-1-1.part.tjr"), "a write still going");

    struct Step {
        const char* what;
        QStringList paths;
        int fresh, already, conflicts, damaged, unreadable;
        QString conflictWith;  // the name a conflict is listed with
    } steps[] = {
        {"a folder, searched recursively", {path(QStringLiteral("in"))}, 3, 0, 0, 0, 0, {}},
        {"the same folder again", {path(QStringLiteral("in"))}, 0, 3, 0, 0, 0, {}},
        {"a copy under another name", {put(QStringLiteral("copy.tjr"), plain)}, 0, 1, 0, 0, 0, {}},
        {"notes appended since: a new version, no conflict",
         {put(QStringLiteral("appended.tjr"), withNotes(plain, QStringLiteral("Bead checked")))},
         1,
         0,
         0,
         0,
         0,
         {}},
        {"the same joint with other bytes",
         {put(QStringLiteral("altered.tjr"), altered)},
         0,
         0,
         1,
         0,
         0,
         QStringLiteral("plain.tjr")},
        {"a report cut short",
         {put(QStringLiteral("cut.tjr"), builtReport(QStringLiteral("damaged_truncated")))},
         0,
         0,
         0,
         1,
         0,
         {}},
        {"files that are no report, and a file that is not there",
         {put(QStringLiteral("junk.tjr"), "junk"), put(QStringLiteral("empty.tjr"), {}),
          put(QStringLiteral("bad.tdc"), "not a calibration file"),
          path(QStringLiteral("gone.tjr"))},
         0,
         0,
         0,
         0,
         4,
         {}},
    };
    JointArchive archive;
    ASSERT_TRUE(archive.open(location)) << archive.error().toStdString();
    int archived = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        const ImportCounts counts = archive.importFiles(s.paths);
        EXPECT_TRUE(counts.failure.isEmpty()) << counts.failure.toStdString();
        EXPECT_EQ(counts.fresh, s.fresh);
        EXPECT_EQ(counts.already, s.already);
        EXPECT_EQ(counts.conflicts, s.conflicts);
        EXPECT_EQ(counts.damaged, s.damaged);
        EXPECT_EQ(counts.unreadable, s.unreadable);
        EXPECT_EQ(counts.unreadableNames.size(), s.unreadable);
        if (!s.conflictWith.isEmpty()) {
            ASSERT_EQ(counts.conflictNames.size(), 1);
            EXPECT_TRUE(counts.conflictNames[0].contains(s.conflictWith))
                << counts.conflictNames[0].toStdString();
        }
        archived += s.fresh + s.conflicts + s.damaged;
        EXPECT_EQ(archive.list().size(), archived);
    }
    // A damaged report is archived flagged, with what is wrong.
    bool flagged = false;
    for (const ArchivedReport& r : archive.list()) {
        if (r.sourceName == u"cut.tjr") flagged = r.damaged && !r.damage.isEmpty();
    }
    EXPECT_TRUE(flagged);
}

TEST_F(ImportTest, KeepsTheFactsAndEveryVerdict) {
    JointArchive archive;
    ASSERT_TRUE(archive.open(location)) << archive.error().toStdString();
    const QByteArray plain = builtReport(QStringLiteral("plain_hydraulic"));
    ASSERT_EQ(archive.archiveBytes(plain, QStringLiteral("/somewhere/VR Job 1.tjr")),
              ImportOutcome::New);
    ASSERT_EQ(archive.archiveBytes(builtReport(QStringLiteral("demo")), QStringLiteral("d.tjr")),
              ImportOutcome::New);
    struct Row {
        const char* procedure;
        const char* verdictFilter;
        int rows;
        const char* verdict;
    } rows[] = {
        {"astm-f2620", "within", 1, "within"}, {"iso-21307-slp", "", 2, nullptr},
        {"dvs-2207-1", "", 2, nullptr},        {"astm-f2620", "demo", 1, "demo"},
        {"astm-f2620", "outside", 0, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.procedure) + " " + row.verdictFilter);
        ArchiveFilter filter;
        filter.procedure = QString::fromLatin1(row.procedure);
        filter.verdict = QString::fromLatin1(row.verdictFilter);
        const QList<ArchivedReport> found = archive.list(filter);
        ASSERT_EQ(found.size(), row.rows);
        for (const ArchivedReport& r : found) {
            // Every report has a verdict under every built-in procedure.
            EXPECT_FALSE(r.verdict.isEmpty());
            if (row.verdict) {
                EXPECT_EQ(r.verdict, QString::fromLatin1(row.verdict));
            }
        }
    }
    ArchiveFilter byJob;
    byJob.job = QStringLiteral("J-2024-118");
    const QList<ArchivedReport> found = archive.list(byJob);
    ASSERT_EQ(found.size(), 1);
    const ArchivedReport& r = found[0];
    EXPECT_EQ(r.sha256, sha256Hex(plain));
    EXPECT_EQ(r.date, QStringLiteral("2024-05-06 14:32:07"));
    EXPECT_EQ(r.joint, 7);
    EXPECT_EQ(r.employee, QStringLiteral("E-117"));
    EXPECT_EQ(r.machine, QStringLiteral("M-1042"));
    EXPECT_EQ(r.material, QStringLiteral("HDPE PE4710"));
    EXPECT_EQ(r.logger, QStringLiteral("VR5Xv0.3.0 ABCD12320120506"));
    EXPECT_EQ(r.sourceName, QStringLiteral("VR Job 1.tjr"));
    EXPECT_EQ(r.notes, QStringLiteral("Joint OK"));
    EXPECT_TRUE(r.importer.contains(u'@'));
    EXPECT_GT(r.samples, 900);
    EXPECT_FALSE(r.demo);
}

TEST_F(ImportTest, SelectsByDateJobEmployeeAndMachine) {
    JointArchive archive;
    ASSERT_TRUE(archive.open(location)) << archive.error().toStdString();
    const struct {
        int day;
        const char* job;
        const char* employee;
        const char* machine;
    } made[] = {{3, "J-1", "E-1", "M-1"}, {4, "J-1", "E-2", "M-1"}, {5, "J-2", "E-1", "M-2"}};
    for (const auto& m : made) {
        const QByteArray bytes =
            fixtureReport(QStringLiteral("plain_hydraulic"), [&](ReportContent& c) {
                c.fields.day = m.day;
                c.fields.jobNumber = QString::fromLatin1(m.job);
                c.fields.employeeId = QString::fromLatin1(m.employee);
                c.fields.machineId = QString::fromLatin1(m.machine);
            });
        ASSERT_EQ(archive.archiveBytes(bytes, QStringLiteral("r.tjr")), ImportOutcome::New);
    }
    const auto day = [](int d) { return QDate(2024, 5, d); };
    struct Case {
        const char* what;
        ArchiveFilter filter;
        QList<int> days;  // newest first
    } cases[] = {
        {"everything", {}, {5, 4, 3}},
        {"a job", {.job = QStringLiteral("J-1")}, {4, 3}},
        {"an employee", {.employee = QStringLiteral("E-1")}, {5, 3}},
        {"a machine", {.machine = QStringLiteral("M-2")}, {5}},
        {"from a day on", {.from = day(4)}, {5, 4}},
        {"up to a day, all of it", {.to = day(4)}, {4, 3}},
        {"one day", {.from = day(3), .to = day(3)}, {3}},
        {"a job and an employee",
         {.job = QStringLiteral("J-1"), .employee = QStringLiteral("E-2")},
         {4}},
        {"no such job", {.job = QStringLiteral("J-3")}, {}},
        {"a limit", {.limit = 2}, {5, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QList<int> days;
        for (const ArchivedReport& r : archive.list(c.filter)) days << r.date.mid(8, 2).toInt();
        EXPECT_TRUE(archive.error().isEmpty()) << archive.error().toStdString();
        EXPECT_EQ(days, c.days);
    }
}

TEST_F(ImportTest, HostileTextsArchiveAndListExactly) {
    JointArchive archive;
    ASSERT_TRUE(archive.open(location)) << archive.error().toStdString();
    const QString longest(kMaxStringUnits, u'x');
    const QString texts[] = {
        QStringLiteral("O'Brien \"the\" pipe"),
        QStringLiteral("J-1; DROP TABLE reports; --"),
        QStringLiteral("' OR '1'='1"),
        QStringLiteral("SELECT * FROM evaluations WHERE 1=1"),
        QStringLiteral("tab\there, bell\a, escape\x1b, line\r\nbreak"),
        QStringLiteral("%_* ? :name $1 @p \\x00"),
        QStringLiteral("Rohrverbindung \u00fc\u00df \u2013 \u6f22\u5b57"),
        longest,
    };
    int joint = 0;
    for (const QString& text : texts) {
        SCOPED_TRACE(text.left(60).toStdString());
        ++joint;
        const QByteArray bytes =
            fixtureReport(QStringLiteral("plain_hydraulic"), [&](ReportContent& c) {
                c.fields.jobNumber = text;
                c.fields.employeeId = text;
                c.fields.machineId = text;
                c.fields.notes = text.left(200);
                c.fields.jointNumber = joint;
            });
        // The file's own name may be as hostile, and far longer than any text of a report.
        const QString name = text + QString(10000 - text.size(), u';');
        ASSERT_EQ(archive.archiveBytes(bytes, name), ImportOutcome::New)
            << archive.error().toStdString();
        ArchiveFilter filter;
        filter.job = text;
        filter.employee = text;
        filter.machine = text;
        const QList<ArchivedReport> found = archive.list(filter);
        ASSERT_EQ(found.size(), 1) << archive.error().toStdString();
        EXPECT_EQ(found[0].job, text);
        EXPECT_EQ(found[0].employee, text);
        EXPECT_EQ(found[0].machine, text);
        EXPECT_EQ(found[0].notes, text.left(200));
        EXPECT_EQ(found[0].sourceName, name);
        EXPECT_EQ(archive.reportBytes(found[0].sha256), bytes);
    }
    // Filters as hostile select nothing, and harm nothing.
    for (const QString& filterText : {QString(10000, u'\''), QStringLiteral("x' OR 1=1 --"),
                                      QStringLiteral("%"), QStringLiteral("_")}) {
        ArchiveFilter filter;
        filter.job = filterText;
        EXPECT_TRUE(archive.list(filter).isEmpty());
        EXPECT_TRUE(archive.error().isEmpty()) << archive.error().toStdString();
    }
    EXPECT_EQ(archive.list().size(), static_cast<qsizetype>(std::size(texts)));
}

using VerifyTest = ArchiveTest;

TEST_F(VerifyTest, GivesEachOfItsAnswers) {
    const QByteArray plain = builtReport(QStringLiteral("plain_hydraulic"));
    const QByteArray noted = withNotes(plain, QStringLiteral("Bead width checked"));
    const QByteArray notedTwice = withNotes(noted, QStringLiteral("second look"));
    {
        JointArchive archive;
        ASSERT_TRUE(archive.open(location)) << archive.error().toStdString();
        ASSERT_EQ(archive.archiveBytes(plain, QStringLiteral("plain.tjr")), ImportOutcome::New);
        ASSERT_EQ(archive.archiveBytes(builtReport(QStringLiteral("mpa")), QStringLiteral("m.tjr")),
                  ImportOutcome::New);
    }
    QByteArray notesChanged = noted;
    notesChanged.replace("Bead width", "Bead WIDTH");  // not the report's own bytes: UTF-16
    JointRecord rec;
    decodeReport(plain, rec);
    // Notes that replace the old ones instead of being appended to them.
    const QByteArray notesReplaced =
        imageWithNotes(plain, rec.notesPos, rec.notesEnd, QStringLiteral("All fine"));
    QByteArray sampleChanged = plain;
    sampleChanged[plain.size() - 5] = static_cast<char>(sampleChanged[plain.size() - 5] ^ 1);
    using A = VerifyResult::Answer;
    struct Case {
        const char* what;
        QByteArray bytes;
        A answer;
        QString appended;
    } cases[] = {
        {"the archived bytes", plain, A::Identical, {}},
        {"notes appended since", noted, A::NotesAppended, QStringLiteral("Bead width checked")},
        {"notes appended twice since", notedTwice, A::NotesAppended,
         QStringLiteral("Bead width checked + second look")},
        {"notes replaced", notesReplaced, A::Altered, {}},
        {"a byte of a sample changed", sampleChanged, A::Altered, {}},
        {"a pressure changed",
         fixtureReport(QStringLiteral("plain_hydraulic"),
                       [](ReportContent& c) { c.samples[3].pressure += 1; }),
         A::Altered,
         {}},
        {"another joint", builtReport(QStringLiteral("mechanical")), A::NotArchived, {}},
        {"no report at all", QByteArray("junk"), A::Unreadable, {}},
    };
    JointArchive archive;
    ASSERT_TRUE(archive.open(location)) << archive.error().toStdString();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = path(QStringLiteral("verify.tjr"));
        QFile::remove(file);
        ASSERT_TRUE(writeFile(file, c.bytes));
        const VerifyResult v = archive.verify(file);
        EXPECT_EQ(v.answer, c.answer) << v.why.toStdString();
        EXPECT_EQ(v.appended, c.appended);
        if (c.answer == A::Identical || c.answer == A::NotesAppended || c.answer == A::Altered) {
            ASSERT_TRUE(v.archived.has_value());
            EXPECT_EQ(v.archived->sha256, sha256Hex(plain));
            EXPECT_TRUE(v.archived->importer.contains(u'@'));
            EXPECT_FALSE(v.archived->importedAt.isEmpty());
        }
    }
    // Once the noted version is archived too, the twice-noted one grew from it.
    ASSERT_EQ(archive.archiveBytes(noted, QStringLiteral("noted.tjr")), ImportOutcome::New);
    const VerifyResult v = archive.verifyBytes(notedTwice);
    EXPECT_EQ(v.answer, A::NotesAppended);
    EXPECT_EQ(v.appended, QStringLiteral("second look"));
    ASSERT_TRUE(v.archived);
    EXPECT_EQ(v.archived->sha256, sha256Hex(noted));
}

using ExportTest = ArchiveTest;

TEST_F(ExportTest, NeverWritesOverAFile) {
    const QByteArray plain = builtReport(QStringLiteral("plain_hydraulic"));
    const QByteArray other = builtReport(QStringLiteral("mpa"));
    JointArchive archive;
    ASSERT_TRUE(archive.open(location)) << archive.error().toStdString();
    ASSERT_EQ(archive.archiveBytes(plain, QStringLiteral("plain.tjr")), ImportOutcome::New);
    const QString sha = sha256Hex(plain);
    ASSERT_TRUE(writeFile(path(QStringLiteral("there.tjr")), other));
    ASSERT_TRUE(writeFile(path(QStringLiteral("there.csv")), "a,b"));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("there.tjr")), path(QStringLiteral("link.tjr"))));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("later.tjr")), path(QStringLiteral("ahead.tjr"))));
    struct Case {
        const char* what;
        QString sha;
        QString out;
        bool written;
        QString lands;  // where the bytes land when written
    } cases[] = {
        {"a new file", sha, path(QStringLiteral("new.tjr")), true, path(QStringLiteral("new.tjr"))},
        {"by the first digits", sha.left(8), path(QStringLiteral("short.tjr")), true,
         path(QStringLiteral("short.tjr"))},
        {"an existing report", sha, path(QStringLiteral("there.tjr")), false, {}},
        {"an existing file of another kind", sha, path(QStringLiteral("there.csv")), false, {}},
        {"a link to an existing report", sha, path(QStringLiteral("link.tjr")), false, {}},
        {"a link to a file not there yet", sha, path(QStringLiteral("ahead.tjr")), true,
         path(QStringLiteral("later.tjr"))},
        {"a SHA-256 not archived", QString(64, u'0'), path(QStringLiteral("none.tjr")), false, {}},
        {"too few digits", sha.left(7), path(QStringLiteral("few.tjr")), false, {}},
        {"not hex", QStringLiteral("zz") + sha.mid(2), path(QStringLiteral("hex.tjr")), false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray before = readFile(c.out);
        EXPECT_EQ(archive.exportReport(c.sha, c.out), c.written) << archive.error().toStdString();
        if (c.written) {
            EXPECT_EQ(readFile(c.lands), plain);
        } else {
            EXPECT_FALSE(archive.error().isEmpty());
            EXPECT_EQ(readFile(c.out), before);
        }
    }
    EXPECT_EQ(readFile(path(QStringLiteral("there.tjr"))), other);
    // No temporary file is left behind.
    EXPECT_TRUE(QDir(dir.path())
                    .entryList({QStringLiteral(".vr5xp-export-*")}, QDir::Hidden | QDir::Files)
                    .isEmpty());
}

}  // namespace vr5::test
