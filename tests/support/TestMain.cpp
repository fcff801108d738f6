// Test main: a QApplication (offscreen) so widget tests and event delivery
// work, a fresh environment for the whole program, and modal runs that
// never wait for a human (unanswered ones return IDCANCEL and are recorded).
#include "ModalSeam.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// A failure outside any test (a suite's set-up or tear-down, such as a
// catalogue that could not be imported) ends the run at once with exit 1.
// Left alone, gtest reports the suite's tests as skipped, and ctest would
// count a broken fixture as a skip instead of a failure.
// (The listener keeps its own note of whether a test runs: gtest's lock is
// held while results are reported.)
class FailureOutsideATestIsFatal : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { m_bInTest = true; }
    void OnTestEnd(const ::testing::TestInfo&) override { m_bInTest = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        if (!result.failed() || m_bInTest) return;
        std::fprintf(stderr, "%s:%d: a failure outside any test (a suite's set-up or tear-down) ends the run\n",
                     result.file_name() ? result.file_name() : "?", result.line_number());
        std::fflush(nullptr);
        std::_Exit(1);
    }

    bool m_bInTest = false;
};

} // namespace

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
    ::testing::UnitTest::GetInstance()->listeners().Append(new FailureOutsideATestIsFatal);
    return RUN_ALL_TESTS();
}
