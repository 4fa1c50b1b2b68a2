#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "evaluation/evaluation.h"
#include "evaluation/procedure.h"
#include "report/joint_record.h"

// The CSV files an inspector files: the job summary (one row per joint, checked against a fusion
// procedure) and a joint's smoothed samples. The command line and the window write the same.
namespace vr5 {

class SettingsStore;

// One field of a CSV row: quoted (inner quotes doubled) when it holds a comma, a quote or a line
// break, as spreadsheets read it. A text that starts with =, +, -, @, a tab or a carriage return
// gets a leading apostrophe, so that a spreadsheet shows it as text instead of running it; a
// number ("-12.5") stays as it is.
QString csvField(const QString& text);
// The fields as one CSV row, ending in CR LF.
QString csvRow(const QStringList& fields);

// Writes the CSV text whole beside its place, after the UTF-8 byte order mark, and puts it there
// only once complete; never over a report or calibration file. False with `error` set otherwise.
bool writeCsvFile(const QString& path, const QByteArray& text, QString& error);

// The record's samples after smoothing, as the text of a CSV file: the joint's facts as leading
// "# Label,value" rows, then time (s), pressure in the report's unit and pressure in psi. Rows
// end in CR LF; numbers always use '.'.
QByteArray samplesCsv(const JointRecord& rec);

// The procedure named (on the command line), else the remembered one, else the default.
ProcedureLoad chooseProcedure(const QString& named, const SettingsStore& settings);

// Opens joint reports one after another without a window; what the document would have told
// the operator is kept for the caller. A calibration file is refused, being no joint.
class JointReader {
public:
    enum class Opened { Report, Damaged, Failed };

    JointReader();
    ~JointReader();
    JointReader(const JointReader&) = delete;
    JointReader& operator=(const JointReader&) = delete;

    Opened open(const QString& path, int searchRangePercent = 100);
    // After Failed: why, in a line. After Damaged: the document's message (it names the file).
    const QString& message() const { return message_; }
    // The record read last (what could be read of a damaged one).
    const JointRecord& record() const;
    // What is wrong with a damaged report, in a line: "damaged: the ... (at byte N)".
    QString damage() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    QString message_;
};

// The job summary as a table: the headings, then a row per file in the order added.
class JobSummary {
public:
    JobSummary();

    void addJoint(const JointRecord& rec, const Evaluation& evaluation, const QString& file,
                  const QString& problem = {});
    void addUnreadable(const QString& file, const QString& why);

    // The CSV text, without the byte order mark writeCsvFile puts first.
    QByteArray csv() const { return table_.toUtf8(); }
    int joints() const { return joints_; }
    int unreadable() const { return unreadable_; }

private:
    QString table_;
    int joints_ = 0;
    int unreadable_ = 0;
};

// Told before each file is read, with its place in the list; false stops the job.
using FileProgress = std::function<bool(qsizetype index, const QString& path)>;

// What a long job over many files is doing: "Evaluating 3 of 40: name.tjr" for the file at
// `index` (from 0), by its name alone.
QString fileProgressText(const QString& verb, qsizetype index, qsizetype count,
                         const QString& path);

struct JobSummaryResult {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Failed;
    int joints = 0;      // rows of reports read (damaged ones included)
    int damaged = 0;     // of those, reports read only in part
    int unreadable = 0;  // rows of files that could not be read
    QString error;       // when Failed
};

// Evaluates the reports in order against the procedure and writes the job summary to `output`,
// as --evaluate-csv does. Nothing is written when the output is refused, when the job is
// stopped or when writing fails.
JobSummaryResult writeJobSummary(const QStringList& files, const Procedure& procedure,
                                 const QString& output, const FileProgress& progress = {},
                                 int searchRangePercent = 100);

// What the operator is told once the job summary is saved: where, how many joints it holds and
// how many files could not be read.
QString jobSummaryMessage(const JobSummaryResult& result, const QString& output);

}  // namespace vr5
