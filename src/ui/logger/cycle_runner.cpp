#include "ui/logger/cycle_runner.h"

#include "app_info.h"

namespace vr5 {

CycleRunner::CycleRunner(LoggingCycle& cycle, Prompter& prompter, QObject* parent)
    : QObject(parent), cycle_(cycle), prompter_(prompter) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        runStep(lines_.takeLine() ? std::optional<QByteArray>(lines_.line()) : std::nullopt);
    });
}

CycleRunner::~CycleRunner() {
    close();
}

bool CycleRunner::open(unsigned portNumber) {
    closed_ = false;
    if (!port_.Open(this, portNumber)) return false;
    port_.StartReader();
    return true;
}

void CycleRunner::resumeSteps() {
    if (!closed_ && cycle_.polling() && !timer_.isActive()) timer_.start(LoggingCycle::kStepMs);
}

void CycleRunner::close() {
    closed_ = true;
    timer_.stop();
    port_.Close();
}

void CycleRunner::onSerialByte(unsigned char byte, unsigned /*portNumber*/) {
    const LineAssembler::Fed fed = lines_.feed(byte);
    if (fed == LineAssembler::Fed::LineRepaired) {
        prompter_.show(QString::fromLatin1(LineAssembler::kFirstByteRepaired),
                       QString::fromUtf8(kAppTitle), Prompter::Icon::None);
    }
    // A step that is showing a message is not entered again; its line waits for the timer.
    if (fed != LineAssembler::Fed::Byte && !inStep_ && !closed_ && lines_.lineReady() &&
        cycle_.takesLineAtOnce(lines_.line())) {
        timer_.stop();
        lines_.takeLine();
        runStep(lines_.line());
    }
}

void CycleRunner::onSerialError(const QString& text, bool linkLost) {
    prompter_.show(text, QStringLiteral("Application Error"), Prompter::Icon::Error);
    if (!linkLost || closed_) return;
    lines_.clear();
    cycle_.linkLost();
    Q_EMIT this->linkLost();
}

void CycleRunner::runStep(std::optional<QByteArray> line) {
    if (closed_) return;
    inStep_ = true;
    const LoggingCycle::StepResult result = cycle_.step(line);
    inStep_ = false;
    // A memory clear and the next read go out together, so the second cannot replace the first.
    QByteArray out;
    for (const QByteArray& command : result.commands) out += command;
    if (!out.isEmpty() && !closed_) {
        // Whatever part of a line came before this command answers nothing we wait for: the
        // port throws the rest of it away before it writes.
        lines_.dropPartial();
        port_.Write(out);
    }
    if (!result.endDialog && cycle_.polling() && !closed_) timer_.start(LoggingCycle::kStepMs);
    Q_EMIT stepped(result, line);
}

}  // namespace vr5
