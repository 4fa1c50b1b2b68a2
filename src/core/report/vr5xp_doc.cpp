#include "report/vr5xp_doc.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app_info.h"
#include "report/report_decoder.h"
#include "report/report_strings.h"
#include "report/report_text.h"

namespace vr5 {

namespace {

QString appTitle() {
    return QString::fromUtf8(kAppTitle);
}

// What kind of file is being read, for the messages.
struct FileKind {
    const char* name;      // "report file"
    const char* tooLarge;  // "a joint report"
};
constexpr FileKind kReportFile{"report file", "a joint report"};
constexpr FileKind kCalibrationFile{"calibration file", "a calibration file"};
constexpr FileKind kRecordFile{"report or calibration file", "a report or calibration file"};

// Reads the whole file, or says why it could not.
bool readWhole(const QString& path, const FileKind& kind, QByteArray& bytes, QString& why) {
    const QFileInfo info(path);
    if (!info.exists()) {
        why = QStringLiteral("The file does not exist.");
        return false;
    }
    if (info.isDir()) {
        why = QStringLiteral("It is a folder, not a %1.").arg(QLatin1String(kind.name));
        return false;
    }
    if (info.size() > CVR5XPDoc::kMaxReportBytes) {
        why = QStringLiteral("The file is %1 bytes long, far too large to be %2.")
                  .arg(info.size())
                  .arg(QLatin1String(kind.tooLarge));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString() + u'.';
        return false;
    }
    bytes = file.read(CVR5XPDoc::kMaxReportBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        why = file.errorString() + u'.';
        return false;
    }
    return true;
}

bool refuseUnreadable(const QString& path, const FileKind& kind, QByteArray& bytes,
                      Prompter& prompter) {
    QString why;
    if (readWhole(path, kind, bytes, why)) return false;
    prompter.show(QStringLiteral("Cannot open the %1\n%2\n\n%3")
                      .arg(QLatin1String(kind.name), QDir::toNativeSeparators(path), why),
                  appTitle(), Prompter::Icon::Error);
    return true;
}

}  // namespace

bool readRecordFile(const QString& path, QByteArray& bytes, QString& why) {
    return readWhole(path, kRecordFile, bytes, why);
}

FileContents FileContents::of(const QByteArray& bytes) {
    return {bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)};
}

CVR5XPDoc::CVR5XPDoc(ProgramState& state, Prompter& prompter, QObject* parent)
    : QObject(parent),
      state_(state),
      prompter_(prompter),
      record_(std::make_unique<JointRecord>()) {}

CVR5XPDoc::~CVR5XPDoc() = default;

QString CVR5XPDoc::windowTitle() const {
    return title_.isEmpty() ? appTitle() : title_ + QStringLiteral(" - ") + appTitle();
}

QString CVR5XPDoc::damageMessage(const QString& path, const DecodeProblem& problem) {
    const QString file = QDir::toNativeSeparators(path);
    if (!problem.stopped()) {
        return QStringLiteral(
                   "The report file\n%1\ndoes not start with a report version identifier, so it "
                   "may not be a joint report.\n\nEverything after its first 10 bytes was read "
                   "and is shown.")
            .arg(file);
    }
    const QString start = problem.notVersionIdentifier
                              ? QStringLiteral(
                                    "it does not start with a report version "
                                    "identifier, and ")
                              : QString();
    return QStringLiteral(
               "The report file\n%1\nis damaged: %2the %3 %4 (at byte %5).\n\n"
               "Only what was read before that point is shown.")
        .arg(file, start, reportItemName(problem.item), problem.what)
        .arg(problem.offset);
}

CVR5XPDoc::OpenResult CVR5XPDoc::Open(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    if (isCalibrationPath(full)) return loadCalibrationFile(full);
    return load(full, QFileInfo(full).fileName());
}

CVR5XPDoc::OpenResult CVR5XPDoc::LoadCurrentReportPath() {
    // A load that fails leaves the report on show as it is, its search range included; one that
    // succeeds starts from 100%.
    if (state_.currentReportPath.isEmpty()) {
        prompter_.show(QString::fromUtf8(str::kNoFileName), appTitle(), Prompter::Icon::Warning);
        return OpenResult::Failed;
    }
    const QString path = state_.currentReportPath;
    const OpenResult result = load(path, QDir::toNativeSeparators(path));
    if (result == OpenResult::Failed) state_.currentReportPath.clear();
    return result;
}

CVR5XPDoc::OpenResult CVR5XPDoc::load(const QString& path, QString titleText) {
    QByteArray bytes;
    if (refuseUnreadable(path, kReportFile, bytes, prompter_)) return OpenResult::Failed;

    auto record = std::make_unique<JointRecord>();
    record->searchRangePercent = 100;
    decodeReport(bytes, *record);

    contents_ = FileContents::of(bytes);
    image_ = std::move(bytes);
    record_ = std::move(record);
    calibration_.reset();
    path_ = path;
    title_ = std::move(titleText);
    loaded_ = true;
    analyzer_ = {};
    state_.currentReportPath = path;
    state_.resetRangeFlag = true;

    Q_EMIT changed();
    if (record_->problem.isDamaged()) {
        prompter_.show(damageMessage(path, record_->problem), appTitle(), Prompter::Icon::Warning);
        return OpenResult::Damaged;
    }
    return OpenResult::Opened;
}

CVR5XPDoc::OpenResult CVR5XPDoc::loadCalibrationFile(const QString& path) {
    QByteArray bytes;
    if (refuseUnreadable(path, kCalibrationFile, bytes, prompter_)) return OpenResult::Failed;
    auto calibration = std::make_unique<CalibrationRecord>();
    if (loadCalibration(bytes, *calibration) != CalibrationProblem::None) {
        prompter_.show(QString::fromUtf8(kInvalidCalibrationFile), appTitle(),
                       Prompter::Icon::Warning);
        return OpenResult::Failed;
    }

    // The joint record is let go, and with it the report path the report commands work on.
    image_.clear();
    contents_ = {};
    record_ = std::make_unique<JointRecord>();
    calibration_ = std::move(calibration);
    path_ = path;
    title_ = QFileInfo(path).fileName();
    loaded_ = true;
    analyzer_ = {};
    state_.currentReportPath.clear();
    state_.reloadFlag = false;
    Q_EMIT changed();
    return OpenResult::Opened;
}

bool CVR5XPDoc::isCalibrationPath(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("tdc"), Qt::CaseInsensitive) == 0;
}

CVR5XPDoc::OpenResult CVR5XPDoc::ReloadIfFlagged() {
    if (!state_.reloadFlag || state_.currentReportPath.isEmpty()) return OpenResult::Failed;
    state_.reloadFlag = false;
    return LoadCurrentReportPath();
}

void CVR5XPDoc::New() {
    image_.clear();
    contents_ = {};
    record_ = std::make_unique<JointRecord>();
    calibration_.reset();
    path_.clear();
    title_.clear();
    loaded_ = false;
    analyzer_ = {};
    state_.currentReportPath.clear();
    state_.reloadFlag = false;
    Q_EMIT changed();
}

void CVR5XPDoc::setNotes(const QString& notes, const QByteArray& written) {
    // The image stays the one read, so that a further append rebuilds the file from it.
    contents_ = FileContents::of(written);
    record_->fields.notes = notes;
    record_->headerLines = buildReportHeaderLines(*record_);
    Q_EMIT changed();
}

void CVR5XPDoc::SetSearchRangePercent(int percent) {
    record_->searchRangePercent = std::clamp(percent, 5, 100);
    if (!loaded_ || calibration_) return;
    decodeReport(image_, *record_);
    Q_EMIT changed();
}

}  // namespace vr5
