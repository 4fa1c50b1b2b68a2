#include "ui/archive/archive_task.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <utility>

namespace vr5 {

ArchiveTask::ArchiveTask(QObject* parent) : QObject(parent) {}

ArchiveTask::~ArchiveTask() {
    if (!thread_.joinable()) return;
    cancel_ = true;
    thread_.join();
}

bool ArchiveTask::start(const ArchiveLocation& location, Work work) {
    if (running_) return false;
    cancel_ = false;
    running_ = true;
    {
        std::lock_guard lock(mutex_);
        progress_.reset();
        ended_ = false;
        openError_.clear();
    }
    // The task outlives the thread (its destructor joins it), so `this` stays valid there.
    thread_ = std::thread([this, location, work = std::move(work)] {
        const auto wake = [this] {
            QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
        };
        QString openError;
        {
            JointArchive archive;
            if (archive.open(location)) {
                work(
                    archive,
                    [this, &wake](qsizetype index, qsizetype count, const QString& path) {
                        {
                            std::lock_guard lock(mutex_);
                            progress_ = Progress{index, count, path};
                        }
                        wake();
                    },
                    cancel_);
            } else {
                openError = archive.error();
            }
        }
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
            openError_ = openError;
        }
        wake();
    });
    return true;
}

void ArchiveTask::deliver() {
    std::optional<Progress> progress;
    bool ended = false;
    QString openError;
    {
        std::lock_guard lock(mutex_);
        progress = std::exchange(progress_, std::nullopt);
        ended = std::exchange(ended_, false);
        openError = openError_;
    }
    if (progress) Q_EMIT progressed(progress->index, progress->count, progress->path);
    if (!ended || !running_) return;
    thread_.join();
    running_ = false;
    Q_EMIT finished(openError);
}

bool ArchiveTask::wait(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (running_) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace vr5
