// The serial line through the Win32 API, for the Windows build (its Qt has no SerialPort): the
// COM port opened as \\.\COMn, 115200 8N1 with RTS on, read by the port's thread in short
// blocking reads, and purged both ways before each write.

#include <windows.h>

#include <QMetaObject>
#include <string>
#include <utility>

#include "platform/serial_line.h"

namespace vr5::serial_detail {

namespace {

// How long one read waits for the first byte. The port's thread handles the owner's writes
// and Close between reads, so this bounds how long a command waits to go out.
constexpr DWORD kReadWaitMs = 10;
constexpr DWORD kReadChunk = 4096;

QString systemText(DWORD error) {
    return qt_error_string(static_cast<int>(error));
}

BYTE parityOf(char letter) {
    switch (letter) {
        case 'E':
        case 'e':
            return EVENPARITY;
        case 'O':
        case 'o':
            return ODDPARITY;
        case 'M':
        case 'm':
            return MARKPARITY;
        case 'S':
        case 's':
            return SPACEPARITY;
        default:
            return NOPARITY;
    }
}

class Win32PortWorker : public PortWorker {
    Q_OBJECT
public:
    using PortWorker::PortWorker;
    ~Win32PortWorker() override { closeLine(); }

    bool open() override {
        // The device namespace reaches COM10 and above too, which a plain "COM10" does not.
        const std::wstring path = (QStringLiteral("\\\\.\\") + line_.device).toStdWString();
        handle_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) return false;
        configure();
        return true;
    }

    void closeLine() override {
        if (handle_ == INVALID_HANDLE_VALUE) return;
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

    void startReading() override {
        if (handle_ != INVALID_HANDLE_VALUE) PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
        reading_ = true;
        announceReader();
        sendPending();
        readSome();
    }

    void sendPending() override {
        // The reader sends: what was written before it ran waits for it.
        if (!reading_) return;
        const QByteArray bytes = takePending();
        if (bytes.isEmpty() || lost_ || handle_ == INVALID_HANDLE_VALUE) return;
        // Whatever the logger sent before this command answers nothing we still wait for.
        PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(bytes.size());
        const bool ok = WriteFile(handle_, bytes.constData(), size, &written, nullptr);
        if (!ok || written != size) {
            const DWORD error = ok ? ERROR_WRITE_FAULT : GetLastError();
            handOver(
                {},
                failureText(QStringLiteral("WriteFile()"), systemText(error), shared_->portNumber),
                false);
        }
    }

    void dropLink() override { closeLine(); }

private Q_SLOTS:
    // One read of what arrived (waiting at most kReadWaitMs for it), then the next one after
    // whatever the owner asked for meanwhile.
    void readSome() {
        if (!reading_ || lost_ || handle_ == INVALID_HANDLE_VALUE) return;
        char buffer[kReadChunk];
        DWORD got = 0;
        if (!ReadFile(handle_, buffer, kReadChunk, &got, nullptr)) {
            lost_ = true;
            const QString text = failureText(QStringLiteral("ReadFile()"),
                                             systemText(GetLastError()), shared_->portNumber);
            closeLine();
            handOver({}, text, true);
            return;
        }
        if (got > 0 && line_.watchChars)
            handOver(QByteArray(buffer, static_cast<int>(got)), {}, false);
        QMetaObject::invokeMethod(this, "readSome", Qt::QueuedConnection);
    }

private:
    void configure() {
        const QString invalid = invalidLineText(line_, shared_->portNumber);
        if (!invalid.isEmpty()) {
            failures_ << invalid;
        } else {
            DCB dcb{};
            dcb.DCBlength = sizeof dcb;
            bool ok = GetCommState(handle_, &dcb);
            if (ok) {
                dcb.BaudRate = static_cast<DWORD>(line_.baud);
                dcb.fBinary = TRUE;
                dcb.Parity = parityOf(line_.parity);
                dcb.fParity = dcb.Parity != NOPARITY;
                dcb.ByteSize = static_cast<BYTE>(line_.dataBits);
                dcb.StopBits = line_.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
                // No flow control; RTS and DTR asserted for as long as the port is open.
                dcb.fOutxCtsFlow = FALSE;
                dcb.fOutxDsrFlow = FALSE;
                dcb.fDsrSensitivity = FALSE;
                dcb.fOutX = FALSE;
                dcb.fInX = FALSE;
                dcb.fNull = FALSE;
                dcb.fAbortOnError = FALSE;
                dcb.fRtsControl = RTS_CONTROL_ENABLE;
                dcb.fDtrControl = DTR_CONTROL_ENABLE;
                ok = SetCommState(handle_, &dcb);
            }
            if (!ok)
                failures_ << failureText(QStringLiteral("SetCommState()"),
                                         systemText(GetLastError()), shared_->portNumber);
        }
        // A read returns what has arrived at once, or waits up to kReadWaitMs for the first
        // byte; a write may take its time at the line's speed.
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
        timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
        timeouts.WriteTotalTimeoutMultiplier = 1;
        timeouts.WriteTotalTimeoutConstant = 2000;
        if (!SetCommTimeouts(handle_, &timeouts))
            failures_ << failureText(QStringLiteral("SetCommTimeouts()"),
                                     systemText(GetLastError()), shared_->portNumber);
        if (!PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT))
            failures_ << failureText(QStringLiteral("PurgeComm()"), systemText(GetLastError()),
                                     shared_->portNumber);
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool reading_ = false;
    bool lost_ = false;
};

}  // namespace

std::unique_ptr<PortWorker> makePortWorker(std::shared_ptr<PortShared> shared,
                                           const LineSettings& line) {
    return std::make_unique<Win32PortWorker>(std::move(shared), line);
}

}  // namespace vr5::serial_detail

#include "serial_line_win32.moc"
