#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

#include "archive/joint_archive.h"

namespace vr5 {

// Long work on the archive (an import, a verify of a folder) on a thread of its own, with a
// connection of its own, so that the window keeps answering. Progress comes back as a signal
// on the window's thread; cancel() asks the work to stop before its next file.
class ArchiveTask final : public QObject {
    Q_OBJECT
public:
    // Runs on the task's thread with the archive open there.
    using Work = std::function<void(JointArchive& archive, const ArchiveProgress& progress,
                                    const std::atomic_bool& cancel)>;

    explicit ArchiveTask(QObject* parent = nullptr);
    // Cancels the work and waits for it: nothing runs on after its window has gone.
    ~ArchiveTask() override;

    // False when work is running already.
    bool start(const ArchiveLocation& location, Work work);
    bool running() const { return thread_ != nullptr; }
    void cancel() { cancel_ = true; }
    bool cancelled() const { return cancel_; }
    // Waits until the work has ended and finished() was sent (tests).
    bool wait(int timeoutMs);

Q_SIGNALS:
    void progressed(qsizetype index, qsizetype count, const QString& path);
    // The work has ended; `openError` says why the archive could not be opened (the work did
    // not run then).
    void finished(const QString& openError);

private:
    void ended();

    QThread* thread_ = nullptr;
    std::atomic_bool cancel_{false};
    std::shared_ptr<QString> openError_;
};

}  // namespace vr5
