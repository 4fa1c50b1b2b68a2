// The language tests run the program's code inside an application started under a language
// that writes decimals with a comma, as an operator's computer in much of Europe is set up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "temporary_home.h"

int main(int argc, char** argv) {
    // Set before the application object exists: it is what takes the language from the
    // environment into the C library, as it does for the program itself.
    qputenv("LOCPATH", VR5_LOCALE_DIR);
    qputenv("LANG", VR5_LOCALE);
    qputenv("LC_ALL", VR5_LOCALE);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    vr5::test::useTemporaryHome(home);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
