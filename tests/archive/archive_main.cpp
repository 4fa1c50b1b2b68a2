// The archive's tests: on SQLite in a temporary folder, or on the PostgreSQL database that
// VR5XP_ARCHIVE names (with_postgres.sh starts one for the run).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "temporary_home.h"

int main(int argc, char** argv) {
    QTemporaryDir home;
    vr5::test::useTemporaryHome(home);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnell"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnell VR5-XP"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
