// Window tests (and the end-to-end tests) run offscreen, with settings, documents and ports in a
// folder of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "temporary_home.h"
#include "ui/archive/archive_on_store.h"
#include "thread_sanitizer.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    vr5::test::useTemporaryHome(home);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    // A report still being archived on its own thread is stored before the database
    // connections go with the application (as the program does when it quits).
    vr5::waitForStoredReports();
    return status;
}
