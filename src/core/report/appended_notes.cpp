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

namespace vr5 {

namespace {

QString appTitle() {
    return QString::fromUtf8(kAppTitle);
}

// The first `limit` code units of text, without half of a character that takes two.
QString leftWhole(const QString& text, qsizetype limit) {
    if (text.size() <= limit) return text;
    qsizetype cut = std::max<qsizetype>(limit, 0);
    if (cut > 0 && text[cut - 1].isHighSurrogate()) --cut;
    return text.left(cut);
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

}  // namespace

RemarksModel::RemarksModel(const QString& reportNotes)
    : notes_(reportNotes),
      oldNotes_(reportNotes == QLatin1String(notes::kNoNotes) ? QString() : reportNotes) {
    remaining_ = static_cast<int>(std::max<qsizetype>(notes::kLimit - oldNotes_.size(), 0));
}

QString RemarksModel::prompt(qsizetype typed) const {
    return QString::asprintf(notes::kPrompt, static_cast<int>(remaining_ - typed));
}

std::optional<RemarksModel::Span> RemarksModel::overflow(const QString& before,
                                                         const QString& after) const {
    return overflowingPart(before, after, remaining_);
}

RemarksModel::Close RemarksModel::accept(const QString& editText, Prompter& prompter) {
    // The edit holds no more than what is left; a longer text is cut as the edit would cut it.
    const QString added = leftWhole(editText, remaining_).trimmed();
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

std::optional<QString> replaceReportFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo existing(path);
    if (existing.isDir()) {
        return failure(notes::kCannotOpen, path, QStringLiteral("Filename refers to a directory."));
    }
    if (existing.exists() && !existing.isWritable()) {
        return failure(notes::kCannotOpen, path,
                       QStringLiteral("Existing file %1 is not writable.")
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
        return failure(notes::kCannotOpen, path, file.errorString() + u'.');
    }
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
            return failure(notes::kCannotWrite, path, why);
        }
        written += n;
    }
    if (!file.commit()) return failure(notes::kCannotWrite, path, file.errorString() + u'.');
    // The report keeps who may read and write it.
    if (existing.exists()) QFile::setPermissions(hidden, QFileInfo(target).permissions());
    std::error_code error;
    std::filesystem::rename(nativePath(hidden), nativePath(target), error);
    if (error) {
        QFile::remove(hidden);
        return failure(notes::kCannotWrite, path, QString::fromLocal8Bit(error.message()) + u'.');
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

    // The document's image and notes positions stay those of the file as it was read, so a
    // second append before the file is read again rebuilds it from the same bytes.
    const QByteArray bytes = imageWithNotes(doc.image(), rec.notesPos, rec.notesEnd, *joined);
    if (const std::optional<QString> why = replaceReportFile(path, bytes)) {
        prompter.show(*why, appTitle(), Prompter::Icon::Error);
        return AppendNotesResult::Failed;
    }
    doc.setNotes(*joined);
    state.reloadFlag = true;
    return AppendNotesResult::Appended;
}

}  // namespace vr5
