#include "logger/download_writer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "app_info.h"
#include "logger/protocol.h"

namespace vr5 {

namespace {

// Strings of the joint information keep at most this many units in a file name.
constexpr int kNameUnits = 20;
// How many "(n)" names are tried before the report is kept under its fallback name.
constexpr int kMaxCopies = 9999;

QString twoDigits(int value) {
    return QString::number(value).rightJustified(2, u'0');
}

void tell(Prompter& prompter, const QString& text) {
    prompter.show(text, QString::fromUtf8(kAppTitle), Prompter::Icon::Error);
}

// Nobody is left to tell when a writer goes with its report unfinished.
class SilentPrompter final : public Prompter {
public:
    void show(const QString&, const QString&, Icon) override {}
    using Prompter::ask;
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::No; }
};

bool sameBytes(QFile& a, QFile& b) {
    constexpr qint64 kChunk = 64 * 1024;
    while (true) {
        const QByteArray left = a.read(kChunk);
        const QByteArray right = b.read(kChunk);
        if (left != right) return false;
        if (left.isEmpty()) return a.error() == QFile::NoError && b.error() == QFile::NoError;
    }
}

QString withCopyNumber(const QString& name, int copy) {
    if (copy <= 1) return name;
    const QString base = name.left(name.size() - 4);  // without ".tjr"
    return base + QStringLiteral(" (") + QString::number(copy) + QStringLiteral(").tjr");
}

}  // namespace

QString DownloadWriter::safeNamePart(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        const bool forbidden = u < 0x20 || u == 0x7F || QStringView(u"\\/:*?\"<>|").contains(c);
        // Half of a surrogate pair without its other half cannot be a file name's character.
        const bool loneSurrogate =
            (c.isHighSurrogate() && !(i + 1 < text.size() && text[i + 1].isLowSurrogate())) ||
            (c.isLowSurrogate() && !(i > 0 && text[i - 1].isHighSurrogate()));
        out += (forbidden || loneSurrogate) ? QChar(u'_') : c;
    }
    for (qsizetype i = 0; i < out.size() && out[i] == u'.'; ++i) out[i] = u'_';
    return out;
}

DownloadWriter::Names DownloadWriter::namesFrom(const QByteArray& reply) {
    protocol::HexReader r(reply, 5);
    int dateTime[6];
    for (int& value : dateTime) value = r.number();
    r.string(kNameUnits);  // machine ID
    r.number();            // machine model index
    r.string(kNameUnits);  // machine model text
    r.string(kNameUnits);  // piston area
    r.number();            // piston area unit
    const QString employee = r.string(kNameUnits);
    const QString job = r.string(kNameUnits);
    const int joint = r.number();

    Names names;
    names.fallback = QStringLiteral("VR ") + QString::number(dateTime[0]).rightJustified(4, u'0') +
                     u'-' + twoDigits(dateTime[1]) + u'-' + twoDigits(dateTime[2]) + u' ' +
                     twoDigits(dateTime[3]) + u'-' + twoDigits(dateTime[4]) + u'-' +
                     twoDigits(dateTime[5]) + QStringLiteral(".tjr");
    names.download = QStringLiteral("VR Job ") + safeNamePart(job) + QStringLiteral(" Joint ") +
                     QString::number(joint) + QStringLiteral(" by ") + safeNamePart(employee) +
                     QStringLiteral(".tjr");
    return names;
}

DownloadWriter::~DownloadWriter() {
    // What arrived may be the only copy the operator ever gets of part of a run.
    SilentPrompter nobody;
    finish(nobody);
}

DownloadWriter::Begun DownloadWriter::begin(const QString& folder, const QByteArray& reply,
                                            Prompter& prompter) {
    discard();
    folder_ = folder;
    names_ = namesFrom(reply);
    writeFailed_ = false;
    if (!QDir().mkpath(folder)) {
        tell(prompter, QStringLiteral("Could not create folder\n%1\nto save data!")
                           .arg(QDir::toNativeSeparators(folder)));
        return Begun::NoFolder;
    }
    const auto create = [this] {
        auto file = std::make_unique<QFile>(QDir(folder_).filePath(
            QString::fromLatin1(kTemporaryPrefix) +
            QString::number(QCoreApplication::applicationPid()) + u'-' +
            QString::number(QDateTime::currentMSecsSinceEpoch()) + QStringLiteral(".part")));
        if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
        file_ = std::move(file);
        return true;
    };
    if (!create()) {
        const QString path = QDir::toNativeSeparators(QDir(folder).filePath(names_.download));
        tell(prompter, QStringLiteral("Could not save data to:\n") + path +
                           QStringLiteral("\nTrying to save data to:\n") + names_.fallback);
        if (!create()) {
            tell(prompter, QStringLiteral("Could not save data to:\n") +
                               QDir::toNativeSeparators(QDir(folder).filePath(names_.fallback)));
            return Begun::NoFile;
        }
    }
    write(kVersionId);
    appendSection(reply);
    return Begun::Opened;
}

void DownloadWriter::write(const QByteArray& bytes) {
    if (!file_ || writeFailed_) return;
    if (file_->write(bytes) != bytes.size()) writeFailed_ = true;
}

qsizetype DownloadWriter::appendSection(const QByteArray& reply) {
    QByteArray words;
    const qsizetype converted = protocol::convertSection(reply, words);
    write(words);
    return converted;
}

qsizetype DownloadWriter::appendPage(const QByteArray& page, qsizetype maxSamples) {
    const qsizetype samples = qBound<qsizetype>(0, protocol::pageSamples(page), maxSamples);
    if (samples > 0) {
        appendSection(page.left(5 + samples * protocol::kSampleDigits) + "eom");
    }
    return samples;
}

void DownloadWriter::appendSummary(const QByteArray& reply) {
    const qsizetype length = reply.size() - 5 - 3;
    write((length > 0 ? reply.mid(5, length) : QByteArray()) + '\0');
}

QString DownloadWriter::moveIntoPlace(const QString& name) {
    const QDir dir(folder_);
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
        const QString target = dir.filePath(withCopyNumber(name, copy));
        if (QFileInfo::exists(target)) continue;
        // Renaming never replaces an existing file, so a name taken meanwhile is skipped too.
        if (QFile::rename(file_->fileName(), target)) return target;
        if (!QFileInfo::exists(target)) return {};  // the name itself cannot be made
    }
    return {};
}

QString DownloadWriter::sameReportIn(const QString& folder, const QString& path) {
    QFile run(path);
    if (!run.open(QIODevice::ReadOnly)) return {};
    const QFileInfo self(path);
    // Any report of the folder may hold the run, whatever it was named or renamed to; only one
    // of the same size can be the same.
    const QFileInfoList reports = QDir(folder).entryInfoList(
        {QStringLiteral("*.tjr")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& report : reports) {
        if (report.size() != self.size() || report == self) continue;
        QFile other(report.filePath());
        if (!other.open(QIODevice::ReadOnly)) continue;
        run.seek(0);
        if (sameBytes(run, other)) return report.filePath();
    }
    return {};
}

QString DownloadWriter::finish(Prompter& prompter) {
    alreadySaved_ = false;
    if (!file_) return {};
    if (!file_->flush()) writeFailed_ = true;
    file_->close();
    // A logger that keeps offering a run it already gave is not saved again. Only a file written
    // whole says what the run holds.
    if (!writeFailed_) {
        const QString existing = sameReportIn(folder_, file_->fileName());
        if (!existing.isEmpty() && file_->remove()) {
            file_.reset();
            alreadySaved_ = true;
            return existing;
        }
    }
    QString path = moveIntoPlace(names_.download);
    if (path.isEmpty()) {
        tell(prompter, QStringLiteral("Could not save data to:\n") +
                           QDir::toNativeSeparators(QDir(folder_).filePath(names_.download)) +
                           QStringLiteral("\nTrying to save data to:\n") + names_.fallback);
        path = moveIntoPlace(names_.fallback);
        if (path.isEmpty()) {
            // The run stays in the temporary file rather than being lost.
            tell(prompter, QStringLiteral("Could not save data to:\n") +
                               QDir::toNativeSeparators(QDir(folder_).filePath(names_.fallback)));
            file_.reset();
            return {};
        }
    }
    if (writeFailed_) {
        tell(prompter,
             QStringLiteral("Could not save data to:\n") + QDir::toNativeSeparators(path));
    }
    file_.reset();
    return path;
}

void DownloadWriter::discard() {
    if (!file_) return;
    file_->close();
    file_->remove();
    file_.reset();
}

}  // namespace vr5
