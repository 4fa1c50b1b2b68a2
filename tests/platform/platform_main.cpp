// The port's tests need an event loop on the main thread, where the owner's callbacks run, and a
// home of their own for the ports folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "temporary_home.h"

#if defined(__SANITIZE_THREAD__)
#define VR5_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VR5_THREAD_SANITIZER 1
#endif
#endif

#ifdef VR5_THREAD_SANITIZER
// Qt Core and GLib are not built with ThreadSanitizer, and Qt's mutexes lock through futexes it
// cannot see. Two of Qt's own hand-overs therefore look like races: the finished thread waking
// QThread::wait() before its QThread is deleted, and the wake-up of a thread's GLib event loop
// against that loop's end. Nothing of ours takes part in either; our own data crosses threads
// under std::mutex only, which the sanitizer sees.
extern "C" const char* __tsan_default_suppressions() {
    return "race:QWaitCondition::~QWaitCondition\n"
           "race:libglib-2.0.so.0\n";
}
#endif

int main(int argc, char** argv) {
    QTemporaryDir home;
    vr5::test::useTemporaryHome(home);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
