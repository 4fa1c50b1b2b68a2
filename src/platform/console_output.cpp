#include "platform/console_output.h"

#include <windows.h>

#include <cstdio>

namespace vr5 {

namespace {

bool missing(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

}  // namespace

void attachToCallersConsole() {
    const bool noOutput = missing(STD_OUTPUT_HANDLE);
    const bool noErrors = missing(STD_ERROR_HANDLE);
    if (!noOutput && !noErrors) return;
    // Started from Explorer or a shortcut: there is no console to write to.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (noOutput && std::freopen("CONOUT$", "w", stdout)) std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (noErrors && std::freopen("CONOUT$", "w", stderr)) std::setvbuf(stderr, nullptr, _IONBF, 0);
}

}  // namespace vr5
