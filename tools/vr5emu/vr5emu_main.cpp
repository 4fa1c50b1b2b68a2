// vr5emu: the VR5 logger's side of the serial protocol on a pseudo-terminal.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <iostream>

#include "emu_options.h"
#include "emulator.h"
#include "pty_port.h"

namespace {

int stopPipe[2] = {-1, -1};

void onStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(stopPipe[1], &byte, 1);
}

bool catchStopSignals() {
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    vr5emu::EmuOptions options;
    std::string why;
    if (!vr5emu::parseOptions(argc, argv, options, &why)) {
        std::cerr << "vr5emu: " << why << "\n(vr5emu --help lists the options)" << std::endl;
        return 1;
    }
    if (options.help) {
        std::cout << vr5emu::kUsage;
        return 0;
    }
    if (!catchStopSignals()) {
        std::cerr << "vr5emu: cannot catch signals" << std::endl;
        return 2;
    }
    vr5emu::PtyPort port;
    if (!port.open(&why)) {
        std::cerr << "vr5emu: no pty: " << why << std::endl;
        return 2;
    }
    vr5emu::PortLink link;
    if (!options.link.empty() && !link.make(options.link, port.slavePath(), &why)) {
        std::cerr << "vr5emu: --link " << why << std::endl;
        return 2;
    }
    vr5emu::Emulator emulator(options, port);
    std::cout << "PORT " << port.slavePath() << std::endl;

    const auto end = emulator.run(stopPipe[0]);
    link.remove();
    if (options.verbose) {
        std::cerr << "vr5emu: "
                  << (end == vr5emu::Emulator::End::DownloadDone ? "download read, ending"
                      : end == vr5emu::Emulator::End::Dropped    ? "link dropped, ending"
                                                                 : "ending")
                  << std::endl;
    }
    return end == vr5emu::Emulator::End::Failed ? 2 : 0;
}
