#pragma once

#include <functional>

namespace vr5 {

// When the system asks the program to end (a terminal's Ctrl+C, a session that logs out, a
// service manager's stop), the application's event loops are left as if the operator had quit:
// a download under way is kept as far as it came instead of the process dying with it. Call once,
// after the application object exists.
void quitOnTermination();

// What such a request does instead of quitting the application, on its thread (a command that
// runs its own event loop ends that loop); an empty function restores quitting.
void setTerminationHandler(std::function<void()> handler);

// True once such a request came: nobody may be there to answer a message box.
bool terminationRequested();

}  // namespace vr5
