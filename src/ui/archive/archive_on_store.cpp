#include "ui/archive/archive_on_store.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "archive/joint_archive.h"
#include "settings/settings_keys.h"

namespace vr5 {

namespace {

// The reports handed over cross to the storing thread, and their failures back, under a
// std::mutex only; the window's thread is woken by a call without arguments. (Qt's own queues
// hand data over through locks a thread checker cannot see.)
class StoringDoor final : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void deliver();
};

struct StoringJob {
    quint64 id = 0;
    ArchiveLocation location;
    QByteArray bytes;
    QString sourceName;
};

struct Storing {
    std::mutex mutex;
    std::condition_variable wake, idle;
    std::deque<StoringJob> jobs;
    bool busy = false;
    std::vector<std::pair<quint64, QString>> failures;
    // The window's thread only.
    StoringDoor* door = nullptr;
    std::map<quint64, ArchiveFailure> told;
    quint64 next = 0;
};

QString store(const StoringJob& job) {
    JointArchive archive;
    if (!archive.open(job.location)) return archive.error();
    QString detail;
    switch (archive.archiveBytes(job.bytes, job.sourceName, &detail)) {
        case ImportOutcome::Failed:
            return archive.error();
        case ImportOutcome::Unreadable:
            return detail;
        default:
            return {};
    }
}

void storeForever(Storing* s) {
    for (;;) {
        std::unique_lock lock(s->mutex);
        s->wake.wait(lock, [s] { return !s->jobs.empty(); });
        const StoringJob job = std::move(s->jobs.front());
        s->jobs.pop_front();
        s->busy = true;
        lock.unlock();
        const QString why = store(job);
        lock.lock();
        if (!why.isEmpty()) s->failures.emplace_back(job.id, why);
        s->busy = false;
        const bool idle = s->jobs.empty();
        lock.unlock();
        if (!why.isEmpty()) QMetaObject::invokeMethod(s->door, "deliver", Qt::QueuedConnection);
        if (idle) s->idle.notify_all();
    }
}

// Made on first use on the window's thread, and kept for the program's life: the thread waits
// for reports and is never stopped while it stores one (the program waits for it at its end).
Storing& storing() {
    static Storing* s = [] {
        auto* made = new Storing;
        made->door = new StoringDoor;
        std::thread(storeForever, made).detach();
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, made->door,
                         [] { waitForStoredReports(); });
        return made;
    }();
    return *s;
}

void StoringDoor::deliver() {
    Storing& s = storing();
    std::vector<std::pair<quint64, QString>> failures;
    {
        std::lock_guard lock(s.mutex);
        failures.swap(s.failures);
    }
    for (const auto& [id, why] : failures) {
        const auto it = s.told.find(id);
        if (it == s.told.end()) continue;
        const ArchiveFailure failed = std::move(it->second);
        s.told.erase(it);
        if (failed) failed(why);
    }
}

// Hands a report over; `failed` is kept here and told on this thread.
void handOver(StoringJob job, const ArchiveFailure& failed) {
    Storing& s = storing();
    job.id = ++s.next;
    // Only a failure is told: a report that went in leaves nothing behind here.
    if (failed) s.told.emplace(job.id, failed);
    {
        std::lock_guard lock(s.mutex);
        s.jobs.push_back(std::move(job));
    }
    s.wake.notify_one();
}

// Tells a failure found before any hand-over as the others are told: after the caller went on.
void tellLater(const ArchiveFailure& failed, const QString& why) {
    Storing& s = storing();
    const quint64 id = ++s.next;
    s.told.emplace(id, failed);
    {
        std::lock_guard lock(s.mutex);
        s.failures.emplace_back(id, why);
    }
    QMetaObject::invokeMethod(s.door, "deliver", Qt::QueuedConnection);
}

}  // namespace

void archiveStoredBytes(const ArchiveLocation& location, const QByteArray& bytes,
                        const QString& sourceName, const ArchiveFailure& failed) {
    handOver({0, location, bytes, sourceName}, failed);
}

void archiveStoredReport(const SettingsStore& settings, const QString& path,
                         const ArchiveFailure& failed) {
    if (settings.read(keys::ArchiveDownloads, 1) == 0) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (failed) {
            tellLater(failed,
                      QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString());
        }
        return;
    }
    archiveStoredBytes(ArchiveLocation::chosen(settings), file.readAll(), path, failed);
}

void archiveStoredReport(const SettingsStore& settings, const QString& path, QWidget* parent,
                         const QString& what) {
    QPointer<QWidget> near(parent);
    const QString name = QDir::toNativeSeparators(path);
    archiveStoredReport(settings, path, [near, name, what](const QString& why) {
        auto* box = new QMessageBox(
            QMessageBox::Warning, QString::fromLatin1(kNotArchivedCaption),
            QStringLiteral("The %1 was not archived; it is kept as it is:\n%2\n\n%3")
                .arg(what, name, why),
            QMessageBox::Ok, near.data());
        box->setObjectName(QString::fromLatin1(kNotArchivedObject));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    });
}

bool waitForStoredReports(int timeoutMs) {
    Storing& s = storing();
    bool done = true;
    {
        std::unique_lock lock(s.mutex);
        const auto over = [&s] { return s.jobs.empty() && !s.busy; };
        if (timeoutMs < 0)
            s.idle.wait(lock, over);
        else
            done = s.idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), over);
    }
    // The failures it found are told now, on this thread.
    s.door->deliver();
    return done;
}

}  // namespace vr5

#include "archive_on_store.moc"
