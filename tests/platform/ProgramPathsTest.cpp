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
