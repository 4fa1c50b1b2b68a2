#include "ui/archive/archive_answers.h"

#include <QBrush>
#include <QDir>
#include <QLabel>
#include <QListWidget>

namespace vr5 {

namespace {

QString archivedBy(const ArchivedReport& r) {
    return QStringLiteral("archived on %1 by %2").arg(r.importedAt, r.importer);
}

}  // namespace

QString verifyAnswerText(const FileAnswer& a) {
    const QString name = QDir::toNativeSeparators(a.path);
    const VerifyResult& v = a.result;
    switch (v.answer) {
        case VerifyResult::Answer::Identical:
            return name + QStringLiteral(": identical to the copy ") + archivedBy(*v.archived);
        case VerifyResult::Answer::NotesAppended:
            return name + QStringLiteral(": the report %1 (%2) with notes appended since: \"%3\"")
                              .arg(archivedBy(*v.archived), v.archived->sha256, v.appended);
        case VerifyResult::Answer::Altered:
            return name + QStringLiteral(
                              ": altered after archiving: it differs from the report of the same "
                              "logger, date, job and joint %1 (%2)")
                              .arg(archivedBy(*v.archived), v.archived->sha256);
        case VerifyResult::Answer::NotArchived:
            return name + QStringLiteral(": not in the archive");
        case VerifyResult::Answer::Unreadable:
            return name + QStringLiteral(": cannot be verified: ") + v.why;
    }
    return name;
}

QString verifySummaryText(const QList<FileAnswer>& answers, bool cancelled) {
    int counts[5] = {};
    for (const FileAnswer& a : answers) ++counts[static_cast<int>(a.result.answer)];
    using A = VerifyResult::Answer;
    QString text = QStringLiteral(
                       "%1 %2: %3 identical, %4 with notes appended since, %5 altered, "
                       "%6 not archived")
                       .arg(answers.size())
                       .arg(answers.size() == 1 ? QStringLiteral("file") : QStringLiteral("files"))
                       .arg(counts[static_cast<int>(A::Identical)])
                       .arg(counts[static_cast<int>(A::NotesAppended)])
                       .arg(counts[static_cast<int>(A::Altered)])
                       .arg(counts[static_cast<int>(A::NotArchived)]);
    if (const int unreadable = counts[static_cast<int>(A::Unreadable)]; unreadable > 0)
        text += QStringLiteral(", %1 unreadable").arg(unreadable);
    return cancelled ? QStringLiteral("Cancelled after ") + text : text;
}

QString importCountsText(const ImportCounts& c) {
    return QStringLiteral("new %1, already archived %2, conflicts %3, damaged %4, unreadable %5")
        .arg(c.fresh)
        .arg(c.already)
        .arg(c.conflicts)
        .arg(c.damaged)
        .arg(c.unreadable);
}

void showVerifyAnswers(QListWidget* list, QLabel* label, const QList<FileAnswer>& answers,
                       const QString& folder, bool cancelled) {
    list->clear();
    for (const FileAnswer& a : answers) {
        auto* item = new QListWidgetItem(verifyAnswerText(a), list);
        item->setData(Qt::UserRole, static_cast<int>(a.result.answer));
        // What needs the inspector's eye stands out.
        if (a.result.answer == VerifyResult::Answer::Altered)
            item->setForeground(QBrush(QColor(0xb0, 0x00, 0x00)));
        else if (a.result.answer == VerifyResult::Answer::NotesAppended)
            item->setForeground(QBrush(QColor(0x90, 0x60, 0x00)));
    }
    list->setVisible(true);
    label->setText(
        QStringLiteral("Verify of %1: %2")
            .arg(QDir::toNativeSeparators(folder), verifySummaryText(answers, cancelled)));
}

void showImportCounts(QListWidget* list, QLabel* label, const ImportCounts& counts,
                      const QString& folder) {
    list->clear();
    for (const QString& name : counts.conflictNames)
        new QListWidgetItem(QStringLiteral("conflict: ") + name, list);
    for (const QString& name : counts.unreadableNames)
        new QListWidgetItem(QStringLiteral("unreadable: ") + name, list);
    QString text = QStringLiteral("Import of %1: %2")
                       .arg(QDir::toNativeSeparators(folder), importCountsText(counts));
    if (counts.cancelled) text = QStringLiteral("Cancelled. ") + text;
    if (!counts.failure.isEmpty()) {
        text += u'\n' + counts.failure + QStringLiteral("\nRun the import again to complete it.");
    }
    list->setVisible(list->count() > 0);
    label->setText(text);
}

}  // namespace vr5
