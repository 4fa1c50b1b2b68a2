#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

#include "prompter.h"

namespace vr5 {

// Writes one downloaded run as a joint report. The replies go, converted, into a hidden
// temporary file in the report folder; only when the download ends is it moved into place,
// under the first name that does not exist yet, so an earlier report is never replaced and a
// crash never leaves half a report where the operator would open it. A writer that goes while
// its report is unfinished (the program quits during a download) keeps what arrived as a report.
class DownloadWriter {
public:
    static constexpr const char* kTemporaryPrefix = ".vr5xp-download-";

    // The names a run is stored under, from the logger's joint information reply.
    struct Names {
        QString download;  // "VR Job <job> Joint <n> by <id>.tjr"
        QString fallback;  // "VR <yyyy>-<mm>-<dd> <hh>-<mm>-<ss>.tjr"
    };
    static Names namesFrom(const QByteArray& jointInformationReply);
    // A text from the logger made fit to be part of a file name: no path separators or other
    // forbidden characters, no control characters, no leading dot.
    static QString safeNamePart(const QString& text);

    DownloadWriter() = default;
    ~DownloadWriter();
    DownloadWriter(const DownloadWriter&) = delete;
    DownloadWriter& operator=(const DownloadWriter&) = delete;

    enum class Begun {
        Opened,
        NoFolder,  // the report folder is not there and cannot be made
        NoFile,    // the folder is there, but no file can be made in it
    };
    // Starts a report from the joint information reply: creates the folder when missing and the
    // temporary file (an unfinished earlier one is thrown away). Failures are told to the
    // operator.
    Begun begin(const QString& folder, const QByteArray& jointInformationReply, Prompter& prompter);
    bool isOpen() const { return file_ != nullptr; }

    // Appends a hex reply converted to words; the characters converted over.
    qsizetype appendSection(const QByteArray& reply);
    // Appends at most `maxSamples` samples of a whole page; the samples written.
    qsizetype appendPage(const QByteArray& page, qsizetype maxSamples);
    // Appends the summary reply's text as it is, then a zero byte.
    void appendSummary(const QByteArray& reply);

    // Moves the report into place; its path, or empty when it could not be kept. A report whose
    // bytes equal a report already in the folder is not stored again: the temporary file goes
    // and the path is the existing report's (alreadySaved() then says so).
    QString finish(Prompter& prompter);
    // The last finish found the run already saved and stored nothing new.
    bool alreadySaved() const { return alreadySaved_; }
    // A report in `folder` whose bytes equal the file at `path` (which is not itself counted);
    // empty when there is none.
    static QString sameReportIn(const QString& folder, const QString& path);
    // Throws the unfinished report away.
    void discard();

    QString temporaryPath() const { return file_ ? file_->fileName() : QString(); }

private:
    void write(const QByteArray& bytes);
    QString moveIntoPlace(const QString& name);

    std::unique_ptr<QFile> file_;
    QString folder_;
    Names names_;
    bool writeFailed_ = false;
    bool alreadySaved_ = false;
};

}  // namespace vr5
