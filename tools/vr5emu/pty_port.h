#pragma once

#include <string>

namespace vr5emu {

// A pseudo-terminal in raw mode: the emulator speaks on the master side, the program opens the
// slave device as its serial port. The emulator holds the slave open itself, so the program
// closing and reopening its port never hangs up the master.
class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    bool open(std::string* why);
    // Both sides closed: whoever has the slave open sees the line hang up.
    void close();

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    // Bytes sent that nobody has read yet from the slave side.
    int unread() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// A symlink to the slave device under the name the program looks for (its ports folder), made
// at start and removed at exit if it still points at our slave.
class PortLink {
public:
    PortLink() = default;
    ~PortLink() { remove(); }
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Replaces a symlink (never any other file) at `path`, making its folder if need be.
    bool make(const std::string& path, const std::string& target, std::string* why);
    void remove();

private:
    std::string path_, target_;
};

}  // namespace vr5emu
