#pragma once

#include <QString>
#include <functional>

#include "archive/archive_location.h"

class QWidget;

namespace vr5 {

class SettingsStore;

// A report just stored (a download, a report Append Notes rewrote) goes into the archive when
// the settings say so ("Archive Downloads", on unless 0). The bytes are read at once, so the
// archive holds what was stored; the archive itself is written on a thread of its own, so a
// slow or stopped database server never holds the window, and a failing archive never fails
// what was stored. When the report cannot be archived, `failed` is called once on the window's
// thread with the reason; when nothing is wanted it is never called.
using ArchiveFailure = std::function<void(const QString& why)>;
void archiveStoredReport(const SettingsStore& settings, const QString& path,
                         const ArchiveFailure& failed);
// The same for any location, whatever the settings say (what the above runs).
void archiveStoredBytes(const ArchiveLocation& location, const QByteArray& bytes,
                        const QString& sourceName, const ArchiveFailure& failed);

// The same, saying a failure once in a message beside `parent` that does not wait for an
// answer; `what` names the report's kind in it ("downloaded report", "report with the notes").
void archiveStoredReport(const SettingsStore& settings, const QString& path, QWidget* parent,
                         const QString& what);

// Waits until every report handed over so far is archived or has failed (the program ending,
// tests). False when `timeoutMs` passed first.
bool waitForStoredReports(int timeoutMs = -1);

// The message's caption, and the object name tests find it by.
inline constexpr const char* kNotArchivedCaption = "Not Archived";
inline constexpr const char* kNotArchivedObject = "notArchivedMessage";

}  // namespace vr5
