#pragma once

// Included by the main() of the test programs that run the serial port's threads.
//
// Qt and GLib are not built with ThreadSanitizer, and Qt locks and counts references through
// futexes and atomics it cannot see. Hand-overs inside Qt therefore look like races: a finished
// thread waking QThread::wait() before its QThread is deleted, the wake-up of a thread's GLib
// event loop against that loop's end, Qt's own copies and its thread pool. So what Qt's own code
// does to memory is not watched; everything our code touches still is, and our data crosses
// threads under std::mutex only, which the sanitizer sees (take the lock out of the port's Write
// and the end-to-end tests report the race at once).
#if defined(__SANITIZE_THREAD__)
#define VR5_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VR5_THREAD_SANITIZER 1
#endif
#endif

#ifdef VR5_THREAD_SANITIZER
extern "C" const char* __tsan_default_suppressions() {
    return "race:QWaitCondition::~QWaitCondition\n"
           "race:libglib-2.0.so.0\n"
           "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n";
}
#endif
