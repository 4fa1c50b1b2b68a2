#include "ui/work_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace vr5 {

WorkProgress::WorkProgress(QWidget* parent, const QString& caption, const QString& verb,
                           qsizetype count)
    : verb_(verb), count_(count) {
    if (count < 2) return;
    dialog_ = std::make_unique<QProgressDialog>(parent);
    dialog_->setObjectName(QStringLiteral("workProgress"));
    dialog_->setWindowTitle(caption);
    dialog_->setCancelButtonText(QStringLiteral("Cancel"));
    dialog_->setRange(0, static_cast<int>(count));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(kShowAfterMs);
    dialog_->setMinimumWidth(420);
    dialog_->setLabelText(fileProgressText(verb_, 0, count_, QString()));
    dialog_->setValue(0);
}

WorkProgress::~WorkProgress() = default;

bool WorkProgress::step(qsizetype index, const QString& path) {
    if (!dialog_) return true;
    dialog_->setLabelText(fileProgressText(verb_, index, count_, path));
    dialog_->setValue(static_cast<int>(index));
    // Until the dialog shows, the window must not take clicks: it would start another job in
    // the middle of this one. Once it shows, it blocks the window itself.
    QCoreApplication::processEvents(dialog_->isVisible() ? QEventLoop::AllEvents
                                                         : QEventLoop::ExcludeUserInputEvents);
    return !dialog_->wasCanceled();
}

void WorkProgress::finish() {
    dialog_.reset();
}

}  // namespace vr5
