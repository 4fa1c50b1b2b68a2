#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "logger/line_assembler.h"
#include "logger/logging_cycle.h"
#include "logger/serial_link.h"
#include "platform/serial_port.h"

namespace vr5 {

// Drives a logging cycle from a serial port: the port's bytes become lines, the step timer
// (100 ms at first, then 300 ms) runs the cycle, and the cycle's commands go out on the port.
// During a download each reply is answered as soon as it is complete; the timer then only
// watches for silence. The Log/Status window and the command-line download both run this.
class CycleRunner : public QObject, public SerialByteSink {
    Q_OBJECT
public:
    CycleRunner(LoggingCycle& cycle, Prompter& prompter, QObject* parent = nullptr);
    ~CycleRunner() override;

    // Opens COM<portNumber> and starts reading; false when it cannot be opened.
    bool open(unsigned portNumber);
    void startSteps() { timer_.start(LoggingCycle::kFirstStepMs); }
    // Steps again after the cycle stopped them, when the port is open once more after it failed.
    void resumeSteps();
    // No more steps, nothing more from the port.
    void close();

    // The operator disconnected: a line that was waiting is dropped.
    void dropLine() { lines_.takeLine(); }

    void onSerialByte(unsigned char byte, unsigned portNumber) override;
    void onSerialError(const QString& text, bool linkLost) override;

Q_SIGNALS:
    // After every step, with what it did (the commands have been written).
    void stepped(const LoggingCycle::StepResult& result, const std::optional<QByteArray>& line);
    // The port failed for good; the cycle has been told.
    void linkLost();

private:
    void runStep(std::optional<QByteArray> line);

    LoggingCycle& cycle_;
    Prompter& prompter_;
    LineAssembler lines_;
    CSerialPort port_;
    QTimer timer_;
    bool inStep_ = false;
    bool closed_ = false;
};

}  // namespace vr5
