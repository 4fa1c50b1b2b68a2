#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

#include "archive/joint_archive.h"
#include "report/joint_record.h"

// What the archive keeps of a file besides its bytes, read by core's decoders.
namespace vr5 {

struct ReportFacts {
    ArchivedReport report;  // every fact but importer, time and verdict
    // The decoded joint (empty for a calibration file).
    std::shared_ptr<JointRecord> record;
    // Not archived: not a joint report nor a calibration file at all. Says why.
    QString unreadable;
};

// The facts of a report (or, for a name ending in .tdc, a calibration file) from its bytes.
ReportFacts decodeFacts(const QByteArray& bytes, const QString& sourceName);

// When `newer` is `older` with notes appended (the one change a report may have): the text
// appended. Every byte outside the notes must be the same, and the newer notes must begin with
// the older ones.
std::optional<QString> appendedNotes(const QByteArray& older, const JointRecord& olderRecord,
                                     const QByteArray& newer, const JointRecord& newerRecord);

}  // namespace vr5
