#include "app/headless_progress.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "evaluation/job_summary.h"

#ifdef Q_OS_WIN
#include <io.h>
#define VR5_ISATTY _isatty
#else
#include <unistd.h>
#define VR5_ISATTY isatty
#endif

namespace vr5 {

QString ProgressLine::step(const QString& verb, qsizetype index, qsizetype count,
                           const QString& path) {
    QString text = fileProgressText(verb, index, count, path);
    if (text.size() > kWidth) {
        // The file's name is shortened in its middle; the count before it stays whole.
        const QString name = QFileInfo(path).fileName();
        const qsizetype lead = text.size() - name.size();
        const qsizetype kept = std::max<qsizetype>(kWidth - lead - 3, 2);
        text = text.left(lead) + name.left(kept - kept / 2) + QStringLiteral("...") +
               name.right(kept / 2);
    }
    QString line = u'\r' + text;
    if (shown_ > text.size()) line += QString(shown_ - text.size(), u' ');
    // The padding is blank already; only the text needs blanking next time.
    shown_ = text.size();
    return line;
}

QString ProgressLine::clear() {
    if (shown_ == 0) return {};
    const QString line = u'\r' + QString(shown_, u' ') + u'\r';
    shown_ = 0;
    return line;
}

bool writesToTerminal(const QTextStream& stream) {
    const auto* file = qobject_cast<const QFile*>(stream.device());
    return file && file->handle() >= 0 && VR5_ISATTY(file->handle());
}

TerminalProgress::TerminalProgress(QTextStream& err, QString verb, qsizetype count)
    : err_(err), verb_(std::move(verb)), count_(count), active_(writesToTerminal(err)) {}

TerminalProgress::~TerminalProgress() {
    clear();
}

void TerminalProgress::step(qsizetype index, const QString& path) {
    if (!active_) return;
    err_ << line_.step(verb_, index, count_, path);
    err_.flush();
}

void TerminalProgress::clear() {
    if (!active_) return;
    const QString line = line_.clear();
    if (line.isEmpty()) return;
    err_ << line;
    err_.flush();
}

}  // namespace vr5
