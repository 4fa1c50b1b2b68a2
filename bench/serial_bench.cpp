// How fast the serial port hands the logger's bytes to its owner: a pty stands in for the line,
// a thread of its own plays the logger, and the owner feeds every byte to the line assembler on
// the main thread, as the Log/Status dialog does. The figure is bytes per second; the port must
// keep up with ten times the line rate of 115,200 baud (11,520 bytes/s), i.e. 115,200 bytes/s:
// compare bytes_per_second with target_Bps.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>

#include "logger/line_assembler.h"
#include "platform/pty_pair.h"
#include "platform/serial_port.h"
#include "temporary_home.h"

namespace {

using namespace vr5;

constexpr unsigned kPort = 9;
constexpr double kTargetBytesPerSecond = 115200;

// Reply-sized lines, as a page of samples arrives.
QByteArray replyLines(qsizetype total) {
    QByteArray bytes;
    for (int n = 0; bytes.size() < total; ++n)
        bytes += "Pw0102030405060708090A0B0C0D0E0F" + QByteArray::number(n) + "\r\n";
    bytes.truncate(total);
    bytes[total - 1] = '\n';
    return bytes;
}

class AssemblingSink : public SerialByteSink {
public:
    void onSerialByte(unsigned char byte, unsigned) override {
        ++bytes;
        if (assembler.feed(byte) != LineAssembler::Fed::Byte) ++lines;
    }
    void onSerialError(const QString&, bool) override { ++errors; }

    LineAssembler assembler;
    qint64 bytes = 0;
    qint64 lines = 0;
    int errors = 0;
};

void BM_SerialDeliveryToLineAssembler(benchmark::State& state) {
    const qsizetype blockSize = state.range(0);
    test::PtyPair line;
    test::PortFolder folder;
    if (!line.valid() || !folder.link(kPort, line.slavePath())) {
        state.SkipWithError("no pty");
        return;
    }
    AssemblingSink sink;
    CSerialPort port;
    if (!port.Open(&sink, kPort) || !port.StartReader()) {
        state.SkipWithError("the port did not open");
        return;
    }
    const QByteArray block = replyLines(blockSize);
    for (auto _ : state) {
        const qint64 wanted = sink.bytes + block.size();
        test::BackgroundSender logger(line, block);
        QDeadlineTimer deadline(60000);
        while (sink.bytes < wanted && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!logger.finish() || sink.bytes < wanted) {
            state.SkipWithError("bytes went missing");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * blockSize);
    state.counters["target_Bps"] = kTargetBytesPerSecond;
    state.SetLabel("target >= 115200 B/s");
    if (sink.errors != 0 || sink.lines == 0) state.SkipWithError("the port reported a failure");
}
BENCHMARK(BM_SerialDeliveryToLineAssembler)
    ->Arg(64 * 1024)
    ->Arg(1024 * 1024)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    vr5::test::useTemporaryHome(home);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
