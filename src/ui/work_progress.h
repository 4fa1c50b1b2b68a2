#pragma once

#include <QString>
#include <memory>

#include "evaluation/job_summary.h"

class QProgressDialog;
class QWidget;

namespace vr5 {

// The progress of a long job over many files in the window: a window-modal dialog with Cancel,
// shown only once the job takes a while, and never for a single file. Between files the window
// repaints and the dialog answers, without any thread of its own.
class WorkProgress {
public:
    // Shows "<verb> 3 of 40: name.tjr" under the caption.
    WorkProgress(QWidget* parent, const QString& caption, const QString& verb, qsizetype count);
    ~WorkProgress();
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    // Before the file at `index` (from 0); false once Cancel was pressed.
    bool step(qsizetype index, const QString& path);
    // `step` as a job's progress callback.
    FileProgress callback() {
        return [this](qsizetype index, const QString& path) { return step(index, path); };
    }
    // The job is over: the dialog goes.
    void finish();

    // Null for a single file.
    QProgressDialog* dialog() const { return dialog_.get(); }

    // Shown after this long, when the job will take longer still.
    static constexpr int kShowAfterMs = 400;

private:
    QString verb_;
    qsizetype count_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace vr5
