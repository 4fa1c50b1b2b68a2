#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

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
    bool running() const { return running_; }
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
    // On the window's thread: the progress and the end the work has left since.
    Q_INVOKABLE void deliver();

    struct Progress {
        qsizetype index = 0, count = 0;
        QString path;
    };

    std::thread thread_;
    bool running_ = false;
    std::atomic_bool cancel_{false};
    // What the work leaves for the window's thread. The work's data crosses under this lock
    // only; the window's thread is woken by a call without arguments.
    std::mutex mutex_;
    std::optional<Progress> progress_;
    bool ended_ = false;
    QString openError_;
};

}  // namespace vr5
