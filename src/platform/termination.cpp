#include "platform/termination.h"

#include <QCoreApplication>
#include <atomic>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>
#endif
#ifdef Q_OS_WIN
#include <windows.h>

#include <QMetaObject>
#endif

namespace vr5 {

namespace {

std::atomic<bool> requested{false};
std::function<void()> handler;

void react() {
    if (handler)
        handler();
    else
        QCoreApplication::quit();
}

#ifdef Q_OS_UNIX
// A signal handler may only write to a descriptor; the event loop reads the other end.
int wakeFds[2] = {-1, -1};

void onSignal(int signal) {
    // Asked twice: the program ends at once, as it would have without this handler.
    if (requested.exchange(true)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
}
#endif

#ifdef Q_OS_WIN
BOOL WINAPI onConsoleEvent(DWORD) {
    // Asked twice: the system's own handler ends the program at once, as on Unix.
    if (requested.exchange(true)) return FALSE;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &react, Qt::QueuedConnection);
    return TRUE;
}
#endif

}  // namespace

void quitOnTermination() {
    auto* app = QCoreApplication::instance();
    if (!app) return;
#ifdef Q_OS_UNIX
    if (wakeFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, wakeFds) != 0) return;
    auto* notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(wakeFds[1], &byte, 1);
        react();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
#endif
#ifdef Q_OS_WIN
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#endif
}

void setTerminationHandler(std::function<void()> newHandler) {
    handler = std::move(newHandler);
}

bool terminationRequested() {
    return requested;
}

}  // namespace vr5
