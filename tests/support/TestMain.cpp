// Test main: a QApplication (offscreen) so widget tests and event delivery
// work, a fresh environment for the whole program, and modal runs that
// never wait for a human (unanswered ones return IDCANCEL and are recorded).
#include "ModalSeam.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ALBIREO_PROGRAM_DIR")) qputenv("ALBIREO_PROGRAM_DIR", ALBIREO_DEFAULT_PROGRAM_DIR);
    if (qEnvironmentVariableIsEmpty("ALBIREO_SOURCE_DIR")) qputenv("ALBIREO_SOURCE_DIR", ALBIREO_DEFAULT_SOURCE_DIR);
    QApplication app(argc, argv);
    const QString root = TestEnvironment::Root();
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (root + QStringLiteral("/cache")).toLocal8Bit());
    TestEnvironment::ResetRegistry();
    ModalSeam::SetUnattended(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
