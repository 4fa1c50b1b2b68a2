#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

#include "page/evaluation_page.h"
#include "page/report_page.h"
#include "program_state.h"
#include "prompter.h"
#include "report/calibration_record.h"
#include "report/joint_record.h"

namespace vr5 {

// Reads a report or calibration file whole (at most CVR5XPDoc::kMaxReportBytes), or says why it
// cannot: missing, a folder, far too large, unreadable.
bool readRecordFile(const QString& path, QByteArray& bytes, QString& why);

// What a file held: its length and a digest of its bytes, enough to tell that it changed
// although its modification time may not show it (coarse clocks, a copy that keeps the time).
struct FileContents {
    qint64 size = -1;
    QByteArray digest;

    static FileContents of(const QByteArray& bytes);
    bool operator==(const FileContents&) const = default;
};

// The one file the main window shows: the whole image of a joint report and its decoded record,
// or a calibration file's record, which shows as its certificate. A report is never written
// through the document.
class CVR5XPDoc : public QObject {
    Q_OBJECT
public:
    enum class OpenResult {
        Opened,   // read and decoded whole
        Damaged,  // read; what could be decoded is shown and the operator was told
        Failed,   // not read; the previous report stays
    };

    // Files larger than this are not reports; they are refused before being read.
    static constexpr qint64 kMaxReportBytes = 16 * 1024 * 1024;

    CVR5XPDoc(ProgramState& state, Prompter& prompter, QObject* parent = nullptr);
    ~CVR5XPDoc() override;

    // Opens a joint report, or a calibration file (by its ".tdc" extension). Every problem is
    // shown to the operator through the prompter.
    OpenResult Open(const QString& path);
    // Loads the report at the current report path (after a download or an appended note).
    OpenResult LoadCurrentReportPath();
    // Loads the current report path when the reload flag asks for it, and clears the flag.
    OpenResult ReloadIfFlagged();
    // Back to no report: the view shows its start picture.
    void New();

    // Decodes the report again with the heater-removal search limited to the first `percent`
    // (5..100) of the logged time.
    void SetSearchRangePercent(int percent);

    // A file is open: a joint report, or a calibration file (then record() is an empty joint
    // record and calibration() holds what the file says).
    bool hasReport() const { return loaded_; }
    bool hasCalibration() const { return calibration_ != nullptr; }
    const JointRecord& record() const { return *record_; }
    // Only while hasCalibration().
    const CalibrationRecord& calibration() const { return *calibration_; }
    const QByteArray& image() const { return image_; }
    QString path() const { return path_; }
    // "<file name> - Tarnell VR5-XP", or the application title alone.
    QString windowTitle() const;

    // While the Analyzer is open the page shows its layout: the chosen stretch and the readout.
    const AnalyzerView& analyzer() const { return analyzer_; }
    void setAnalyzer(const AnalyzerView& analyzer) {
        analyzer_ = analyzer;
        Q_EMIT changed();
    }

    // While the evaluation is on, a joint report shows as its evaluation against the procedure
    // (a calibration file still shows its certificate). It stays on when another file is opened.
    const EvaluationView& evaluation() const { return evaluation_; }
    void setEvaluation(const EvaluationView& evaluation) {
        evaluation_ = evaluation;
        Q_EMIT changed();
    }

    // What the report file held when it was read, or after the last notes this document
    // appended to it: anything else there was written by someone else since.
    const FileContents& fileContents() const { return contents_; }

    // Notes appended to the report file, which now holds `written`: the record shows them until
    // the file is read again.
    void setNotes(const QString& notes, const QByteArray& written);

    // A calibration file rather than a joint report: its extension is ".tdc", in any case.
    static bool isCalibrationPath(const QString& path);
    // The message the operator sees for a damaged report.
    static QString damageMessage(const QString& path, const DecodeProblem& problem);

Q_SIGNALS:
    // The record changed: every view repaints.
    void changed();

private:
    OpenResult load(const QString& path, QString titleText);
    OpenResult loadCalibrationFile(const QString& path);

    ProgramState& state_;
    Prompter& prompter_;
    QByteArray image_;
    FileContents contents_;
    std::unique_ptr<JointRecord> record_;
    std::unique_ptr<CalibrationRecord> calibration_;
    QString path_;
    QString title_;
    bool loaded_ = false;
    AnalyzerView analyzer_;
    EvaluationView evaluation_;
};

}  // namespace vr5
