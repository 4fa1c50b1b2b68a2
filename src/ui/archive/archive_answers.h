#pragma once

#include <QList>
#include <QString>

#include "archive/joint_archive.h"

class QLabel;
class QListWidget;

namespace vr5 {

// One file of a folder verified, and how it stands against the archive.
struct FileAnswer {
    QString path;
    VerifyResult result;
};

// "name.tjr: identical to the copy archived on <when> by <user@computer>", and the other
// answers as the command line gives them.
QString verifyAnswerText(const FileAnswer& answer);
// "12 files: 9 identical, 1 with notes appended since, 1 altered, 1 not archived", with
// "cancelled" in front when the verify was cut short and unreadable files counted when any.
QString verifySummaryText(const QList<FileAnswer>& answers, bool cancelled);
// "new N, already archived N, conflicts N, damaged N, unreadable N", as the command line says.
QString importCountsText(const ImportCounts& counts);

// The answers in the list (altered ones marked), the summary in the label.
void showVerifyAnswers(QListWidget* list, QLabel* label, const QList<FileAnswer>& answers,
                       const QString& folder, bool cancelled);
// The counts in the label, each conflict, unreadable file and failure in the list.
void showImportCounts(QListWidget* list, QLabel* label, const ImportCounts& counts,
                      const QString& folder);

}  // namespace vr5
