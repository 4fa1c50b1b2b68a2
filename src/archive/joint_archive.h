#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "archive/archive_location.h"

// The joint archive: every report kept once, keyed by the SHA-256 of its bytes, with its decoded
// facts and its evaluation under every built-in procedure, in an SQLite file on this computer or
// in a PostgreSQL database a company shares. Decoding and evaluation are core's; this layer
// only stores and finds. One JointArchive is one connection; use it from one thread.
namespace vr5 {

class Procedure;
struct PreparedReport;

// The facts of one archived report, as list() gives them.
struct ArchivedReport {
    QString sha256;  // 64 lower-case hex digits
    QString kind;    // "report" or "calibration"
    QString date;    // "YYYY-MM-DD HH:MM:SS"; empty when the file does not say
    QString job;
    int joint = 0;
    QString employee;
    QString machine;
    QString model;
    QString material;
    QString pipe;    // as the report page shows it ("8 IPS DR 11")
    QString logger;  // the logger's identity
    int samples = 0;
    double durationS = 0;
    bool demo = false;
    bool damaged = false;
    QString damage;  // what is wrong with a damaged one
    QString notes;
    QString sourceName;  // the file's name when it was archived
    qint64 size = 0;
    QString importer;    // user@computer
    QString importedAt;  // UTC, ISO 8601
    QString procedure;   // the procedure `verdict` is under
    QString verdict;     // "within", "outside", "incomplete", "demo"; empty for a calibration
};

// What list() selects; an empty field selects everything.
struct ArchiveFilter {
    QString job;
    QString employee;
    QString machine;
    std::optional<QDate> from;  // reports of this day and later
    std::optional<QDate> to;    // reports of this day and earlier
    QString verdict;            // under `procedure`
    QString procedure;          // empty: astm-f2620
    int limit = 0;              // at most this many rows, newest first; 0: all
};

// What happened to one file of an import.
enum class ImportOutcome {
    New,         // archived now
    Already,     // the same bytes were archived before
    Conflict,    // archived now, beside a report of the same logger, date, job and joint whose
                 // bytes differ in more than appended notes
    Damaged,     // archived now, flagged as damaged
    Unreadable,  // not archived: it could not be read
    Failed,      // not archived: the archive failed (its transaction was rolled back)
};

struct ImportCounts {
    int fresh = 0;
    int already = 0;
    int conflicts = 0;
    int damaged = 0;
    int unreadable = 0;
    QStringList conflictNames;    // "<file>: same logger, date, job and joint as <name> (<sha>)"
    QStringList unreadableNames;  // "<file>: why"
    bool cancelled = false;
    // The archive failed during the import: every report before it stays, the one being stored
    // was rolled back, nothing after it was tried. Says what failed.
    QString failure;
    int total() const { return fresh + already + conflicts + damaged + unreadable; }
};

struct VerifyResult {
    enum class Answer {
        Identical,      // byte for byte a report in the archive
        NotesAppended,  // an archived report with notes appended since
        Altered,        // differs from the archived report of its logger, date, job and joint
        NotArchived,    // nothing in the archive has its logger, date, job and joint
        Unreadable,     // the file could not be read
    };
    Answer answer = Answer::NotArchived;
    std::optional<ArchivedReport> archived;  // the archived report it was compared with
    QString appended;                        // NotesAppended: the text added since
    QString why;                             // Unreadable: why
};

// Told before each file of an import; the same index and count as the job's other progress.
using ArchiveProgress = std::function<void(qsizetype index, qsizetype count, const QString& path)>;

class JointArchive {
public:
    // The schema this program writes. Older archives are brought up to it when opened.
    static int currentVersion();

    JointArchive();
    ~JointArchive();
    JointArchive(const JointArchive&) = delete;
    JointArchive& operator=(const JointArchive&) = delete;

    // Opens (and on first use makes) the archive. False with error() set when it cannot be
    // opened: not an SQLite file, damaged, made by a newer program (never changed then), or a
    // database that does not answer.
    bool open(const ArchiveLocation& location);
    // The location the settings and the environment choose (see archive_location.h).
    bool open(const SettingsStore& settings) { return open(ArchiveLocation::chosen(settings)); }
    bool isOpen() const;
    const QString& error() const { return error_; }
    // "SQLite /path/archive.sqlite" or "PostgreSQL user@host:port/db", for messages.
    QString describe() const;

    // Archives files and folders (folders searched recursively for .tjr and .tdc; hidden files,
    // writes still going, are left out). Each report goes in whole or not at all: on SQLite a
    // few share a transaction, on PostgreSQL each has its own. Files are read and evaluated on
    // worker threads; `progress` and the storing stay on the caller's thread. Setting `cancel`
    // stops before the next file, keeping what was stored.
    ImportCounts importFiles(const QStringList& paths, const ArchiveProgress& progress = {},
                             const std::atomic_bool* cancel = nullptr);
    // Archives one report from its bytes (a download just stored, a report Append Notes just
    // rewrote). `sourceName` is the file it came from. On Conflict, `detail` names the other.
    ImportOutcome archiveBytes(const QByteArray& bytes, const QString& sourceName,
                               QString* detail = nullptr);

    // The .tjr and .tdc files among `paths`, folders searched recursively, in a stable order
    // (what importFiles() takes; a window verifying a folder goes through these). Paths that do
    // not exist go to `missing`.
    static QStringList archivableFiles(const QStringList& paths, QStringList* missing = nullptr);

    // The archived reports the filter selects, newest first.
    QList<ArchivedReport> list(const ArchiveFilter& filter = {});
    // How the file stands against the archive: found by its bytes, else compared with the
    // archived reports of its logger, date, job and joint.
    VerifyResult verify(const QString& path);
    VerifyResult verifyBytes(const QByteArray& bytes, const QString& sourceName = {});
    // The archived bytes of a report by its SHA-256 (or a unique beginning of at least 8 hex
    // digits); empty when there is none. error() says why.
    std::optional<QByteArray> reportBytes(const QString& sha);
    // Writes the archived bytes to `outPath`, never over an existing file nor through a link to
    // one. False with error() set otherwise.
    bool exportReport(const QString& sha, const QString& outPath);

    // Every reader and writer of the tables; for the archive's own parts and its tests.
    struct Connection;
    Connection& connection();

private:
    std::unique_ptr<Connection> connection_;
    ArchiveLocation location_;
    QString error_;
    // Loaded procedures, once per archive.
    struct Procedures;
    std::unique_ptr<Procedures> procedures_;

    QString importer_;  // user@computer, once

    // The steps of open() after the connection: the version read, the journal chosen, the
    // schema brought up to date. Busy when another program holds the SQLite file a moment.
    enum class Settled { Ready, Busy, Refused };
    Settled settle(QString& why);

    const QList<Procedure>& procedures();
    // Stores one report inside the caller's transaction; Failed with `why` set.
    ImportOutcome write(const PreparedReport& prepared, QString* detail, QString& why);
};

// The SHA-256 of the bytes as 64 lower-case hex digits.
QString sha256Hex(const QByteArray& bytes);

}  // namespace vr5
