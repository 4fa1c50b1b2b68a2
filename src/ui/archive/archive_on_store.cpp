#include "ui/archive/archive_on_store.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QThreadPool>

#include "app_info.h"
#include "archive/joint_archive.h"
#include "settings/settings_keys.h"

namespace vr5 {

namespace {

// One thread stores every report handed over, in the order given, each with a connection of
// its own. It belongs to the application, which waits for it before the program ends.
QThreadPool& storingThread() {
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(qApp);
        pool->setMaxThreadCount(1);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, pool.data(),
                         [p = pool.data()] { p->waitForDone(); });
    }
    return *pool;
}

}  // namespace

void archiveStoredBytes(const ArchiveLocation& location, const QByteArray& bytes,
                        const QString& sourceName, const ArchiveFailure& failed) {
    storingThread().start([location, bytes, sourceName, failed] {
        QString why;
        {
            JointArchive archive;
            if (!archive.open(location)) {
                why = archive.error();
            } else {
                QString detail;
                switch (archive.archiveBytes(bytes, sourceName, &detail)) {
                    case ImportOutcome::Failed:
                        why = archive.error();
                        break;
                    case ImportOutcome::Unreadable:
                        why = detail;
                        break;
                    default:
                        break;
                }
            }
        }
        if (why.isEmpty() || !failed) return;
        // Told on the window's thread; dropped when the application has gone meanwhile.
        QMetaObject::invokeMethod(
            qApp, [failed, why] { failed(why); }, Qt::QueuedConnection);
    });
}

void archiveStoredReport(const SettingsStore& settings, const QString& path,
                         const ArchiveFailure& failed) {
    if (settings.read(keys::ArchiveDownloads, 1) == 0) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (failed) {
            const QString why =
                QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
            QMetaObject::invokeMethod(
                qApp, [failed, why] { failed(why); }, Qt::QueuedConnection);
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
    const bool done = storingThread().waitForDone(timeoutMs);
    // The failures it told are delivered on this thread.
    QCoreApplication::sendPostedEvents();
    return done;
}

}  // namespace vr5
