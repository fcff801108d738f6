// A message box on a real X server answered by a real Return key press:
// the X server (Xvfb), a window manager (openbox) and xdotool's key press
// through the X test extension stand in for a person at the keyboard. The
// test is skipped where any of them is missing.
#include "TestEnvironment.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

TEST(MessageBoxOnX11, ReturnAnswersWithTheDefaultButton)
{
    for (const char* tool : {"xvfb-run", "Xvfb", "xdotool", "openbox", "xwininfo", "xprop"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    const QString script = qEnvironmentVariable("ALBIREO_SOURCE_DIR") + QStringLiteral("/tests/skin/x11/answer_with_return.sh");
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    // The fresh cache folder of the test run would have fontconfig scan every
    // font first; the program reads no cache of its own.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_CACHE_HOME"));
    run.setProcessEnvironment(environment);
    // Yes/No/Cancel with the second button as the default: Return says No.
    const QString style = QString::number(3 | 0x100);
    // Display numbers from 140 on: the window test's server starts at 120,
    // and two "-a" servers started at once would pick the same number.
    run.start(QStringLiteral("xvfb-run"), {QStringLiteral("-a"), QStringLiteral("-n"), QStringLiteral("140"), QStringLiteral("-s"), QStringLiteral("-screen 0 1024x768x24"),
                                           QStringLiteral("bash"), script, TestEnvironment::TestBinary(QStringLiteral("skin_x11_probe")), style});
    ASSERT_TRUE(run.waitForStarted());
    ASSERT_TRUE(run.waitForFinished(300000)) << "the run ended";
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 7) << "IDNO; output:\n" << run.readAll().toStdString();
}
