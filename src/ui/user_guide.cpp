#include "ui/user_guide.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "app_info.h"
#include "prompter.h"

namespace vr5 {

namespace {
const QString kGuideFolder = QStringLiteral("vr5xp/guide/");
}  // namespace

QStringList userGuideCandidates() {
    const QString name = kGuideFolder + QString::fromUtf8(kUserGuideFile);
    const QDir program(QCoreApplication::applicationDirPath());
    QStringList candidates{QDir::cleanPath(program.filePath(QStringLiteral("../share/") + name))};
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        candidates << QDir::cleanPath(data + u'/' + name);
    }
    // build/src/app/vr5xp finds build/guide/.
    candidates << QDir::cleanPath(
        program.filePath(QStringLiteral("../../guide/") + QString::fromUtf8(kUserGuideFile)));
    candidates.removeDuplicates();
    return candidates;
}

QString findUserGuide() {
    for (const QString& path : userGuideCandidates()) {
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

void openUserGuide(Prompter& prompter) {
    const QString guide = findUserGuide();
    if (guide.isEmpty()) {
        prompter.show(QStringLiteral("The user guide is not installed. It belongs in\n%1")
                          .arg(QDir::toNativeSeparators(userGuideCandidates().first())),
                      QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide))) {
        prompter.show(QStringLiteral("No web browser could open the user guide\n%1")
                          .arg(QDir::toNativeSeparators(guide)),
                      QString::fromUtf8(kAppTitle), Prompter::Icon::Warning);
    }
}

}  // namespace vr5
