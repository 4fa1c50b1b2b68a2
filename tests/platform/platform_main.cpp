// The port's tests need an event loop on the main thread, where the owner's callbacks run, and a
// home of their own for the ports folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "temporary_home.h"
#include "thread_sanitizer.h"


int main(int argc, char** argv) {
    QTemporaryDir home;
    vr5::test::useTemporaryHome(home);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
