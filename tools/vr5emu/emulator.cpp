#include "emulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <iostream>
#include <optional>
#include <thread>
#include <utility>

namespace vr5emu {

namespace {

// A line of the logger's own longest reply is well below this; anything longer is noise.
constexpr size_t kMaxCommandLength = 4096;
// Paced output may go in small bursts, so that the loop need not wake for every byte.
constexpr auto kPaceBurst = std::chrono::milliseconds(5);
// How long an ending emulator waits for the program to read its last reply. The pty hands
// written bytes on to the slave side a little later, so an empty queue only counts after a
// while.
constexpr auto kDrainSettle = std::chrono::milliseconds(200);
constexpr auto kDrainLimit = std::chrono::seconds(5);

std::string printable(const std::string& line) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            text += c;
        } else {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        }
    }
    return text;
}

}  // namespace

Emulator::Emulator(const EmuOptions& options, PtyPort& port)
    : options_(options),
      port_(port),
      model_(options.logger),
      faults_(options.faults),
      start_(Clock::now()),
      nextByteAt_(start_) {
    const StoredJoint& joint = options.joint;
    const std::string reserve = buildReserve(probeIdentityOf(options.logger.info));
    switch (options.start) {
        case EmuOptions::Start::Idle:
            break;
        case EmuOptions::Start::Logging:
            model_.startRun(buildJointInfo(joint), buildNotes(QString()), reserve, 0,
                            std::max(options.samples, 0));
            break;
        case EmuOptions::Start::Finished: {
            const int whole = static_cast<int>(
                std::lround(options.logger.jointSeconds / LoggerModel::kTickSeconds));
            model_.storeFinishedRun(buildJointInfo(joint), buildNotes(QString()), reserve,
                                    options.samples >= 0 ? options.samples : whole);
            break;
        }
    }
}

double Emulator::loggerClock() const {
    return std::chrono::duration<double>(Clock::now() - start_).count() * options_.timeScale;
}

void Emulator::log(const char* direction, const std::string& line) const {
    if (options_.verbose) {
        std::cerr << "vr5emu: " << direction << ' ' << printable(line) << std::endl;
    }
}

void Emulator::onBytes(const char* data, size_t size) {
    for (size_t i = 0; i < size && !dropNow_; ++i) {
        const char c = data[i];
        if (c == '\n') {
            const std::string line = std::exchange(line_, {});
            if (std::exchange(lineTooLong_, false)) {
                std::cerr << "vr5emu: warning: a command line of more than " << kMaxCommandLength
                          << " characters, answered as unknown" << std::endl;
                queueReply("Pw??", 0);
            } else if (!line.empty()) {
                onLine(line);
            }
        } else if (c != '\r') {
            if (line_.size() < kMaxCommandLength) {
                line_ += c;
            } else {
                lineTooLong_ = true;
            }
        }
    }
}

void Emulator::onLine(const std::string& line) {
    log("<", line);
    const Command command = parseCommand(line);
    const FaultDecision fault = faults_.onCommand(command);
    if (fault.drop) {
        std::cerr << "vr5emu: dropping the link (fault)" << std::endl;
        dropNow_ = true;
        return;
    }
    if (fault.silence) {
        log("-", "(no answer: silence fault)");
        return;
    }
    LoggerModel::Reply reply = model_.handle(command, loggerClock());
    for (const std::string& warning : model_.takeWarnings()) {
        std::cerr << "vr5emu: warning: " << warning << std::endl;
    }
    std::string text = std::move(reply.line);
    if (fault.wrongRecord) text = model_.readBack(fault.wrongRecord);
    if (fault.shortStatus && text.size() > 42) text.resize(42);
    if (fault.garbage) text = std::string(FaultPlan::kGarbage);
    if (fault.cut) text.resize(text.size() / 2);
    if (fault.ff && !text.empty()) text[0] = '\xff';
    queueReply(std::move(text), fault.delayMs);
    downloadDone_ = downloadDone_ || reply.downloadDone;
}

void Emulator::queueReply(std::string line, int delayMs) {
    log(">", line);
    Clock::time_point due = Clock::now() + std::chrono::milliseconds(delayMs);
    // Replies keep their order, however late one of them is.
    if (!pending_.empty()) due = std::max(due, pending_.back().due);
    pending_.push_back({due, std::move(line) + "\r\n"});
}

Emulator::Wait Emulator::sendSome(Clock::time_point now) {
    while (!pending_.empty() && pending_.front().due <= now) {
        out_ += pending_.front().bytes;
        pending_.pop_front();
    }
    size_t allowed = out_.size();
    if (options_.paceBaud > 0 && !out_.empty()) {
        const auto byteTime = std::chrono::duration<double>(10.0 / options_.paceBaud);
        nextByteAt_ = std::max(nextByteAt_, now - kPaceBurst);
        allowed = std::min(allowed, static_cast<size_t>((now - nextByteAt_) / byteTime));
        // At least a millisecond's worth at a time, so that fast lines do not wake the loop
        // for every byte.
        const size_t chunk = std::min(
            out_.size(), std::max<size_t>(1, static_cast<size_t>(options_.paceBaud) / 10000));
        if (allowed < chunk) {
            const auto ready =
                nextByteAt_ + std::chrono::duration_cast<Clock::duration>(chunk * byteTime);
            return {Wait::Until, ready};
        }
    }
    if (allowed > 0) {
        const ssize_t written = ::write(port_.master(), out_.data(), allowed);
        if (written > 0) {
            out_.erase(0, static_cast<size_t>(written));
            if (options_.paceBaud > 0) {
                nextByteAt_ += std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double>(10.0 * written / options_.paceBaud));
            }
        }
    }
    if (!out_.empty()) {
        // The slave side's queue is full: paced output tries again shortly, the rest as soon as
        // there is room.
        if (options_.paceBaud > 0) return {Wait::Until, now + std::chrono::milliseconds(1)};
        return {Wait::Writable, now};
    }
    if (pending_.empty()) return {Wait::Idle, now};
    return {Wait::Until, pending_.front().due};
}

Emulator::End Emulator::run(int stopFd) {
    std::optional<Clock::time_point> draining;
    for (;;) {
        const auto now = Clock::now();
        Wait wait = sendSome(now);
        if (dropNow_) {
            port_.close();
            return End::Dropped;
        }
        if (downloadDone_ && options_.exitAfterDownload && wait.kind == Wait::Idle) {
            // Everything is sent; end once the program has read it (or it never will).
            if (!draining) draining = now;
            const auto waited = now - *draining;
            if ((waited >= kDrainSettle && port_.unread() == 0) || waited > kDrainLimit) {
                return End::DownloadDone;
            }
            wait = {Wait::Until, now + std::chrono::milliseconds(20)};
        }
        pollfd fds[2] = {{port_.master(), POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (wait.kind == Wait::Writable) fds[0].events |= POLLOUT;
        const long long us = std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::microseconds>(wait.until - now).count() + 1);
        const timespec timeout{static_cast<time_t>(us / 1000000),
                               static_cast<long>(us % 1000000 * 1000)};
        const int ready = ppoll(fds, 2, wait.kind == Wait::Until ? &timeout : nullptr, nullptr);
        if (ready < 0) {
            if (errno == EINTR) continue;
            std::cerr << "vr5emu: waiting for the line failed" << std::endl;
            return End::Failed;
        }
        if (fds[1].revents) return End::Stopped;
        if (fds[0].revents & POLLIN) {
            char buffer[4096];
            const ssize_t n = ::read(port_.master(), buffer, sizeof buffer);
            if (n > 0) onBytes(buffer, static_cast<size_t>(n));
        }
        if ((fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN)) {
            // Not expected while the emulator holds the slave itself; never spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

}  // namespace vr5emu
