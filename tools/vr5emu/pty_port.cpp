#include "pty_port.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vr5emu {

namespace {

std::string lastError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PtyPort::~PtyPort() {
    close();
}

bool PtyPort::open(std::string* why) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        *why = lastError("posix_openpt");
        return false;
    }
    const char* name = nullptr;
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || !(name = ptsname(master_))) {
        *why = lastError("preparing the pty");
        close();
        return false;
    }
    slavePath_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        *why = lastError(slavePath_.c_str());
        close();
        return false;
    }
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation.
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tcsetattr(slave_, TCSANOW, &tio);
    return true;
}

void PtyPort::close() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

int PtyPort::unread() const {
    int count = 0;
    if (slave_ < 0 || ioctl(slave_, FIONREAD, &count) != 0) return 0;
    return count;
}

bool PortLink::make(const std::string& path, const std::string& target, std::string* why) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path link(path);
    const auto status = fs::symlink_status(link, ec);
    if (fs::exists(status) && !fs::is_symlink(status)) {
        *why = path + " exists and is not a symlink; left alone";
        return false;
    }
    if (link.has_parent_path()) fs::create_directories(link.parent_path(), ec);
    // A new link beside the old one, renamed over it: the name is never missing.
    const fs::path temporary = link.string() + ".vr5emu-" + std::to_string(getpid());
    fs::remove(temporary, ec);
    fs::create_symlink(target, temporary, ec);
    if (!ec) fs::rename(temporary, link, ec);
    if (ec) {
        fs::remove(temporary, ec);
        *why = path + ": " + ec.message();
        return false;
    }
    path_ = path;
    target_ = target;
    return true;
}

void PortLink::remove() {
    if (path_.empty()) return;
    std::error_code ec;
    if (std::filesystem::read_symlink(path_, ec) == target_ && !ec) {
        std::filesystem::remove(path_, ec);
    }
    path_.clear();
}

}  // namespace vr5emu
