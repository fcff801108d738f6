#include "PrivateTempFolder.h"

#include "ProgramPaths.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(0, lstat(QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData(), &info));
    return info.st_mode & 07777;
}

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

TEST(PrivateTempFolder, IsAFolderOnlyItsUserMayEnterUnderTheSystemTemporaryFolder)
{
    const QString path = PrivateTempFolder::Path();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(path.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFileInfo(path).fileName().isEmpty());
    EXPECT_TRUE(QDir(path).dirName().startsWith(QLatin1String("Albireo-")));
    EXPECT_EQ(QDir(QDir::tempPath()).canonicalPath(), QFileInfo(QDir(path).absolutePath()).canonicalPath());
    EXPECT_EQ(mode_t(0700), ModeOf(QDir(path).absolutePath()));
    EXPECT_EQ(path, PrivateTempFolder::Path()) << "one folder while it exists";
    EXPECT_EQ(QDir(path).absolutePath(), ProgramPaths::TempFolder());
}

TEST(PrivateTempFolder, AFolderRemovedByACallerIsMadeAgainUnderANewName)
{
    const QString first = PrivateTempFolder::Path();
    ASSERT_TRUE(QDir().rmdir(first));
    const QString second = PrivateTempFolder::Path();
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo(second).isDir());
}

TEST(PrivateTempFolder, RemoveAllTakesTheFilesWithIt)
{
    const QString path = PrivateTempFolder::Path();
    Touch(path + QStringLiteral("SnapShot.png"));
    ASSERT_TRUE(QDir().mkdir(path + QStringLiteral("inner")));
    Touch(path + QStringLiteral("inner/file.txt"));
    PrivateTempFolder::RemoveAll();
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(PrivateTempFolder, ALinkOrAFolderOthersMayEnterIsNotPrivate)
{
    const QString root = TestEnvironment::MakeFolder(QStringLiteral("private-check"));
    const QString open = root + QStringLiteral("/open");
    ASSERT_TRUE(QDir().mkdir(open));
    ASSERT_EQ(0, chmod(QFile::encodeName(open).constData(), 0755));
    EXPECT_FALSE(PrivateTempFolder::IsPrivateFolder(open));

    const QString closed = root + QStringLiteral("/closed");
    ASSERT_TRUE(QDir().mkdir(closed));
    ASSERT_EQ(0, chmod(QFile::encodeName(closed).constData(), 0700));
    EXPECT_TRUE(PrivateTempFolder::IsPrivateFolder(closed));
    EXPECT_TRUE(PrivateTempFolder::IsPrivateFolder(closed + QLatin1Char('/')));

    const QString link = root + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(closed, link));
    EXPECT_FALSE(PrivateTempFolder::IsPrivateFolder(link));
    EXPECT_FALSE(PrivateTempFolder::IsPrivateFolder(link + QLatin1Char('/')));
    EXPECT_FALSE(PrivateTempFolder::IsPrivateFolder(root + QStringLiteral("/missing")));
}

} // namespace
