#include "report/appended_notes.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app_info.h"
#include "report/report_strings.h"
#include "report/vr5xp_doc.h"
#include "setup/typed_text.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vr5 {

namespace {

QString appTitle() {
    return QString::fromUtf8(kAppTitle);
}

QString failure(const char* headline, const QString& path, const QString& why) {
    return QStringLiteral("%1\n\n%2\n%3\n\n%4")
        .arg(QString::fromUtf8(headline), QDir::toNativeSeparators(path), why,
             QString::fromUtf8(notes::kLeftUnchanged));
}

// The new image is written to a hidden file beside the report and then renamed over it, so that
// a program killed part way leaves nothing the operator would take for a report. One left by a
// killed program is removed by a later rewrite in the same folder once it is this old; a rewrite
// takes a moment, so it can belong to no one by then.
constexpr const char* kTemporaryPrefix = ".vr5xp-notes-";
constexpr qint64 kStaleTemporarySeconds = 60 * 60;

void removeStaleTemporaries(const QDir& folder) {
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporarySeconds);
    const QFileInfoList left = folder.entryInfoList({QString::fromLatin1(kTemporaryPrefix) + u'*'},
                                                    QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& info : left) {
        if (info.lastModified().toUTC() < stale) QFile::remove(info.filePath());
    }
}

// The file a path names, through any symbolic links, as QSaveFile writes it.
QString fileBehindLinks(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

// What the file at `path` holds now, or why it cannot be read.
std::optional<FileContents> contentsAt(const QString& path, QString& why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString() + u'.';
        return std::nullopt;
    }
    // One byte more than a report may have is enough to see that it is no longer the one read.
    const QByteArray bytes = file.read(CVR5XPDoc::kMaxReportBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        why = file.errorString() + u'.';
        return std::nullopt;
    }
    return FileContents::of(bytes);
}

// The new file takes the report's owner, group and permissions before anything is in it, as a
// rewrite in place would keep them. An owner the program may not give (another user's report in
// a shared folder) stays the program's; the group is still tried, as a member may give it.
bool takeOwnerAndMode(const QFileDevice& file, const QString& report) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (file.handle() < 0 || ::stat(QFile::encodeName(report).constData(), &st) != 0) return false;
    const int fd = file.handle();
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
        // Owned by the program, as any file it makes.
    }
    return ::fchmod(fd, st.st_mode & 0777) == 0;
#else
    Q_UNUSED(file);
    Q_UNUSED(report);
    return false;
#endif
}

// The report changed on disk since the document read it: the operator is told, and the document
// reads it again, so that the next append joins onto everything it holds.
AppendNotesResult readAgain(CVR5XPDoc& doc, const QString& path, Prompter& prompter, bool typed) {
    QString text = QDir::toNativeSeparators(path) + QStringLiteral("\n\n") +
                   QString::fromUtf8(notes::kChangedSinceOpened) + QStringLiteral("\n\n") +
                   QString::fromUtf8(notes::kReadAgain);
    if (typed) text.prepend(QString::fromUtf8(notes::kNotAppended) + QStringLiteral("\n\n"));
    prompter.show(text, appTitle(), Prompter::Icon::Warning);
    doc.LoadCurrentReportPath();
    return AppendNotesResult::Changed;
}

}  // namespace

RemarksModel::RemarksModel(const QString& reportNotes)
    : notes_(reportNotes),
      oldNotes_(reportNotes == QLatin1String(notes::kNoNotes) ? QString() : reportNotes) {
    remaining_ = static_cast<int>(std::max<qsizetype>(notes::kLimit - oldNotes_.size(), 0));
}

QString RemarksModel::prompt(qsizetype typed) const {
    return QString::asprintf(notes::kPrompt, static_cast<int>(remaining_ - typed));
}

QString RemarksModel::promptFor(const QString& editText) const {
    return prompt(storedNotesLength(editText));
}

std::optional<RemarksModel::Span> RemarksModel::overflow(const QString& before,
                                                         const QString& after) const {
    return notesOverflow(before, after, remaining_);
}

RemarksModel::Close RemarksModel::accept(const QString& editText, Prompter& prompter) {
    // The edit holds no more than what is left; a longer text is cut as the edit would cut it.
    const QString added = leftWholeNotes(notesAsStored(editText), remaining_).trimmed();
    if (added.isEmpty()) return Close::Ok;
    const Prompter::Answer answer =
        prompter.ask(QString::fromUtf8(notes::kConfirmAppend),
                     QString::fromUtf8(notes::kQuestionCaption), Prompter::Buttons::YesNoCancel);
    if (answer != Prompter::Answer::Yes) return Close::StayOpen;
    notes_ = oldNotes_.isEmpty() ? added : oldNotes_ + QLatin1String(notes::kSeparator) + added;
    appended_ = true;
    return Close::Ok;
}

RemarksModel::Close RemarksModel::cancel(const QString& editText, Prompter& prompter) {
    if (editText.trimmed().isEmpty()) return Close::Cancel;
    const Prompter::Answer answer =
        prompter.ask(QString::fromUtf8(notes::kConfirmDiscard),
                     QString::fromUtf8(notes::kQuestionCaption), Prompter::Buttons::YesNoCancel);
    return answer == Prompter::Answer::Yes ? Close::Cancel : Close::StayOpen;
}

QByteArray imageWithNotes(const QByteArray& image, qsizetype notesPos, qsizetype notesEnd,
                          const QString& notes) {
    const qsizetype before = std::clamp<qsizetype>(notesPos, 0, image.size());
    const qsizetype after = std::clamp<qsizetype>(notesEnd, before, image.size());
    const qsizetype units = notes.size();

    QByteArray out;
    out.reserve(image.size() - (after - before) + 4 + 2 * units);
    out.append(image.constData(), before);
    out.append(static_cast<char>(units & 0xff));
    out.append(static_cast<char>((units >> 8) & 0xff));
    if (units == 0) out.append(2, '\0');  // an empty string still has its filler word
    for (const QChar c : notes) {
        out.append(static_cast<char>(c.unicode() >> 8));
        out.append(static_cast<char>(c.unicode() & 0xff));
    }
    out.append(image.constData() + after, image.size() - after);
    return out;
}

std::optional<ReplaceFailure> replaceReportFile(const QString& path, const QByteArray& bytes,
                                                const FileContents* expected) {
    const auto failed = [&path](const char* headline, const QString& why) {
        return ReplaceFailure{false, failure(headline, path, why)};
    };
    const QFileInfo existing(path);
    if (existing.isDir()) {
        return failed(notes::kCannotOpen, QStringLiteral("Filename refers to a directory."));
    }
    if (existing.exists() && !existing.isWritable()) {
        return failed(notes::kCannotOpen, QStringLiteral("Existing file %1 is not writable.")
                                              .arg(QDir::toNativeSeparators(path)));
    }
    const QString target = fileBehindLinks(path);
    const QDir folder = QFileInfo(target).absoluteDir();
    removeStaleTemporaries(folder);
    const QString hidden = folder.filePath(
        QString::fromLatin1(kTemporaryPrefix) +
        QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".part"));

    QSaveFile file(hidden);
    // Unbuffered: a buffered QSaveFile commits a file cut short when its last flush writes
    // only part of the buffer (a full disk), so every write is checked here instead.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failed(notes::kCannotOpen, file.errorString() + u'.');
    }
    const bool kept = existing.exists() && takeOwnerAndMode(file, target);
    qint64 written = 0;
    while (written < bytes.size()) {
        // A write that stops part way is tried again for the rest, which then says why.
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString why = QStringLiteral("%1 (%2 of %3 bytes written).")
                                    .arg(file.errorString())
                                    .arg(written)
                                    .arg(bytes.size());
            file.cancelWriting();
            return failed(notes::kCannotWrite, why);
        }
        written += n;
    }
    if (!file.commit()) return failed(notes::kCannotWrite, file.errorString() + u'.');
    // Where the owner and mode could not be given as the file was made.
    if (existing.exists() && !kept) QFile::setPermissions(hidden, QFileInfo(target).permissions());

    // Checked at the last moment, so that nothing written since the report was read is lost.
    if (expected) {
        QString why;
        const std::optional<FileContents> now = contentsAt(target, why);
        if (!now || *now != *expected) {
            QFile::remove(hidden);
            if (!now) return failed(notes::kCannotOpen, why);
            return ReplaceFailure{true, QString()};
        }
    }
    std::error_code error;
    std::filesystem::rename(nativePath(hidden), nativePath(target), error);
    if (error) {
        QFile::remove(hidden);
        return failed(notes::kCannotWrite, QString::fromLocal8Bit(error.message()) + u'.');
    }
    return std::nullopt;
}

AppendNotesResult AppendNotes(CVR5XPDoc& doc, ProgramState& state, Prompter& prompter,
                              const RemarksRunner& runDialog) {
    const QString path = state.currentReportPath;
    if (path.isEmpty()) {
        prompter.show(QString::fromUtf8(str::kNoFileName), appTitle(), Prompter::Icon::Warning);
        return AppendNotesResult::Refused;
    }
    // The file is rebuilt from the document's image: that must be the image of this report.
    if (!doc.hasReport() || doc.path() != path) {
        prompter.show(QDir::toNativeSeparators(path) + QStringLiteral("\n\n") +
                          QString::fromUtf8(notes::kNotOnShow),
                      appTitle(), Prompter::Icon::Warning);
        return AppendNotesResult::Refused;
    }
    // The operator appends to the notes as they are on disk, not to an older copy of them.
    const FileContents read = doc.fileContents();
    {
        QString why;
        const std::optional<FileContents> now = contentsAt(path, why);
        if (!now) {
            prompter.show(failure(notes::kCannotOpen, path, why), appTitle(),
                          Prompter::Icon::Error);
            return AppendNotesResult::Failed;
        }
        if (*now != read) return readAgain(doc, path, prompter, false);
    }
    const JointRecord& rec = doc.record();
    if (!rec.has(ReportItem::Notes)) {
        prompter.show(QDir::toNativeSeparators(path) + QStringLiteral("\n\n") +
                          QString::fromUtf8(notes::kDamaged) + QStringLiteral("\n\n") +
                          QString::fromUtf8(notes::kLeftUnchanged),
                      appTitle(), Prompter::Icon::Warning);
        return AppendNotesResult::Refused;
    }
    if (rec.fields.notes.size() >= notes::kLimit) {
        prompter.show(QString::fromUtf8(notes::kNotesFull), appTitle(),
                      Prompter::Icon::Information);
        return AppendNotesResult::NotesFull;
    }

    const std::optional<QString> joined = runDialog(rec.fields.notes);
    if (!joined || joined->isEmpty()) return AppendNotesResult::NothingNew;
    // The notes were joined to what the document held when the dialog opened.
    if (!doc.hasReport() || doc.path() != path) {
        prompter.show(QString::fromUtf8(notes::kNotAppended) + QStringLiteral("\n\n") +
                          QDir::toNativeSeparators(path) + QStringLiteral("\n\n") +
                          QString::fromUtf8(notes::kNotOnShow),
                      appTitle(), Prompter::Icon::Warning);
        return AppendNotesResult::Refused;
    }
    if (doc.fileContents() != read) return readAgain(doc, path, prompter, true);

    // The document's image and notes positions stay those of the file as it was read, so a
    // second append before the file is read again rebuilds it from the same bytes.
    const JointRecord& shown = doc.record();
    const QByteArray bytes = imageWithNotes(doc.image(), shown.notesPos, shown.notesEnd, *joined);
    if (const std::optional<ReplaceFailure> why = replaceReportFile(path, bytes, &read)) {
        if (why->changed) return readAgain(doc, path, prompter, true);
        prompter.show(why->message, appTitle(), Prompter::Icon::Error);
        return AppendNotesResult::Failed;
    }
    doc.setNotes(*joined, bytes);
    state.reloadFlag = true;
    return AppendNotesResult::Appended;
}

}  // namespace vr5
