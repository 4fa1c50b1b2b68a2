#pragma once

namespace vr5 {

// When the system asks the program to end (a terminal's Ctrl+C, a session that logs out, a
// service manager's stop), the application's event loops are left as if the operator had quit:
// a download under way is kept as far as it came instead of the process dying with it. Call once,
// after the application object exists.
void quitOnTermination();

// True once such a request came: nobody may be there to answer a message box.
bool terminationRequested();

}  // namespace vr5
