#include "ui/archive/archive_task.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace vr5 {

ArchiveTask::ArchiveTask(QObject* parent) : QObject(parent) {}

ArchiveTask::~ArchiveTask() {
    if (!thread_) return;
    cancel_ = true;
    thread_->wait();
    delete thread_;
}

bool ArchiveTask::start(const ArchiveLocation& location, Work work) {
    if (thread_) return false;
    cancel_ = false;
    openError_ = std::make_shared<QString>();
    thread_ = QThread::create([this, location, work = std::move(work), openError = openError_] {
        JointArchive archive;
        if (!archive.open(location)) {
            *openError = archive.error();
            return;
        }
        // The task outlives its thread (its destructor waits), so `this` stays valid here; the
        // progress goes to the window's thread.
        const ArchiveProgress progress = [this](qsizetype index, qsizetype count,
                                                const QString& path) {
            QMetaObject::invokeMethod(
                this, [this, index, count, path] { Q_EMIT progressed(index, count, path); },
                Qt::QueuedConnection);
        };
        work(archive, progress, cancel_);
    });
    connect(thread_, &QThread::finished, this, &ArchiveTask::ended);
    thread_->start();
    return true;
}

void ArchiveTask::ended() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    // Progress sent before the end arrives before it.
    QCoreApplication::sendPostedEvents(this);
    Q_EMIT finished(*openError_);
}

bool ArchiveTask::wait(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (thread_) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace vr5
