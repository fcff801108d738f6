// Picture paths "Image\..." resolve under the program folder, or under the
// current directory when the program folder has no Image folder.
#include "ProgramPaths.h"
#include "TestEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(ProgramPaths, ImagePathsResolveUnderTheProgramFolderOrTheCurrentDirectory)
{
    const QByteArray saved = qgetenv("ALBIREO_PROGRAM_DIR");
    const QString program = TestEnvironment::MakeFolder("program");
    qputenv("ALBIREO_PROGRAM_DIR", program.toLocal8Bit());
    EXPECT_EQ(ProgramPaths::ProgramFolder(), program);
    EXPECT_EQ(ProgramPaths::ImageFile("Image\\Dialogs\\a.png"), QDir::currentPath() + "/Image/Dialogs/a.png");
    QDir().mkpath(program + "/Image");
    EXPECT_EQ(ProgramPaths::ImageFile("Image\\Dialogs\\a.png"), program + "/Image/Dialogs/a.png");
    EXPECT_EQ(ProgramPaths::UnderProgramFolder("\\Language\\Enu\\FlwRC.dll"), program + "/Language/Enu/FlwRC.dll");
    EXPECT_TRUE(QDir(ProgramPaths::TempFolder()).exists());
    qputenv("ALBIREO_PROGRAM_DIR", saved);
}

// A build tree keeps the machine settings beside the program; an installed
// program keeps them in the configuration folder of its prefix, also when the
// installation is unpacked below another root.
TEST(ProgramPaths, MachineSettingsLiveInTheProgramFolderOrTheSystemConfigurationFolder)
{
    EXPECT_EQ(ProgramPaths::MachineSettingsFolder("/home/me/src/build/albireo"), "/home/me/src/build/albireo");
    EXPECT_EQ(ProgramPaths::MachineSettingsFolder("/usr/lib/albireo"), "/etc/albireo");
    EXPECT_EQ(ProgramPaths::MachineSettingsFolder("/tmp/root/usr/lib/albireo"), "/tmp/root/etc/albireo");
    EXPECT_EQ(ProgramPaths::MachineSettingsFolder("/usr/local/lib/albireo"), "/usr/local/etc/albireo");
    EXPECT_EQ(ProgramPaths::MachineSettingsFolder("/opt/albireo/lib/albireo"), "/opt/albireo/etc/albireo");
    EXPECT_EQ(ProgramPaths::MachineSettingsFolder("/srv/lib/albireo-old"), "/srv/lib/albireo-old");
}
