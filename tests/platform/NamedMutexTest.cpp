// The machine-wide lock folder is shared by every user, so it is used only
// when no one else could have planted anything in it: one fixed place, a
// real folder of root or of this user, writable by others only with the
// sticky bit; lock files are never opened through links, and only a file
// made here is opened up to other users.
#include "NamedMutex.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kName = QStringLiteral("Global\\{6EA1F4E2-0000-4d6d-B59F-C5858A3C7E11}");

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(0, lstat(QFile::encodeName(path).constData(), &info)) << path.toStdString();
    return info.st_mode & 07777;
}

QString FolderWithMode(const QString& name, mode_t mode)
{
    const QString folder = TestEnvironment::MakeFolder(name);
    EXPECT_EQ(0, chmod(QFile::encodeName(folder).constData(), mode));
    return folder;
}

void WriteFile(const QString& path, const QByteArray& content, mode_t mode)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    ASSERT_EQ(0, chmod(QFile::encodeName(path).constData(), mode));
}

class NamedMutexTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = qgetenv("ALBIREO_RUNTIME_DIR"); }
    void TearDown() override { qputenv("ALBIREO_RUNTIME_DIR", m_saved); }
    static void UseFolder(const QString& folder) { qputenv("ALBIREO_RUNTIME_DIR", QFile::encodeName(folder)); }

    QByteArray m_saved;
};

TEST_F(NamedMutexTest, TheFolderIsOneFixedPlaceWhateverTheTemporaryFolder)
{
    const QByteArray temp = qgetenv("TMPDIR");
    qunsetenv("ALBIREO_RUNTIME_DIR");
    for (const QString& elsewhere : {TestEnvironment::MakeFolder("tmp-one"), TestEnvironment::MakeFolder("tmp-two")}) {
        qputenv("TMPDIR", QFile::encodeName(elsewhere));
        EXPECT_EQ(NamedMutex::RuntimeFolder(), QStringLiteral("/tmp/.albireo-global"));
    }
    qputenv("TMPDIR", temp);
    EXPECT_TRUE(NamedMutex::IsTrustedFolder(QStringLiteral("/tmp/.albireo-global")));
    const mode_t mode = ModeOf(QStringLiteral("/tmp/.albireo-global"));
    EXPECT_TRUE((mode & S_ISVTX) || !(mode & (S_IWGRP | S_IWOTH))) << std::oct << mode;
}

TEST_F(NamedMutexTest, AFolderOthersMayWriteWithoutTheStickyBitOrALinkIsNotUsedNorChanged)
{
    DWORD error = 0;
    const QString open = FolderWithMode("open", 0777);
    UseFolder(open);
    EXPECT_FALSE(NamedMutex::Create(kName, true, &error));
    EXPECT_NE(error, 0u);
    EXPECT_EQ(ModeOf(open), mode_t(0777)) << "a folder made elsewhere is not changed";
    EXPECT_TRUE(QDir(open).isEmpty());

    const QString sticky = FolderWithMode("sticky", 01777);
    UseFolder(sticky);
    EXPECT_TRUE(NamedMutex::Create(kName, true, &error));
    EXPECT_EQ(error, 0u);

    const QString link = TestEnvironment::MakeFolder("links") + QStringLiteral("/run");
    ASSERT_TRUE(QFile::link(FolderWithMode("target", 0700), link));
    UseFolder(link);
    EXPECT_FALSE(NamedMutex::Create(kName, true, &error));
    UseFolder(link + u'/');
    EXPECT_FALSE(NamedMutex::Create(kName, true, &error));

    if (geteuid() == 0) {
        const QString others = FolderWithMode("others", 01777);
        ASSERT_EQ(0, chown(QFile::encodeName(others).constData(), 65534, 65534));
        UseFolder(others);
        EXPECT_FALSE(NamedMutex::Create(kName, true, &error)) << "another user's folder";
    }

    // A missing folder is made, shared like /tmp.
    const QString made = TestEnvironment::MakeFolder("made") + QStringLiteral("/run");
    UseFolder(made);
    const mode_t mask = umask(077);
    EXPECT_TRUE(NamedMutex::Create(kName, true, &error));
    umask(mask);
    EXPECT_EQ(ModeOf(made), mode_t(01777));
}

TEST_F(NamedMutexTest, APlantedLinkOrPipeIsNeverOpenedAndItsTargetNeverOpenedUp)
{
    const QString folder = FolderWithMode("planted", 01777);
    UseFolder(folder);
    const QString lockFile = NamedMutex::LockFilePath(kName);
    ASSERT_TRUE(lockFile.startsWith(folder + u'/'));
    const QString victim = TestEnvironment::MakeFolder("victim") + QStringLiteral("/secret.txt");
    WriteFile(victim, "mine", 0600);
    ASSERT_TRUE(QFile::link(victim, lockFile));
    DWORD error = 0;
    EXPECT_FALSE(NamedMutex::Create(kName, true, &error));
    EXPECT_EQ(ModeOf(victim), mode_t(0600));

    ASSERT_TRUE(QFile::remove(lockFile));
    ASSERT_EQ(0, mkfifo(QFile::encodeName(lockFile).constData(), 0666));
    EXPECT_FALSE(NamedMutex::Create(kName, true, &error)) << "and does not wait for a writer";
}

TEST_F(NamedMutexTest, ALockFileMadeHereIsOpenToEveryoneOneThatWasThereIsLeftAsItIs)
{
    UseFolder(FolderWithMode("locks", 01777));
    DWORD error = 0;
    const mode_t mask = umask(077);
    auto first = NamedMutex::Create(kName, true, &error);
    umask(mask);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->Owned());
    EXPECT_EQ(ModeOf(NamedMutex::LockFilePath(kName)), mode_t(0666));
    auto second = NamedMutex::Create(kName, true, &error);
    ASSERT_TRUE(second);
    EXPECT_EQ(error, ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(second->Owned());
    first.reset();
    second = NamedMutex::Create(kName, true, &error);
    EXPECT_EQ(error, 0u) << "free again once its holder is gone";

    // Someone else's lock file, readable only: used for the lock, not changed.
    const QString other = QStringLiteral("Global\\{other}");
    WriteFile(NamedMutex::LockFilePath(other), "", 0444);
    auto theirs = NamedMutex::Create(other, true, &error);
    ASSERT_TRUE(theirs);
    EXPECT_TRUE(theirs->Owned());
    EXPECT_EQ(ModeOf(NamedMutex::LockFilePath(other)), mode_t(0444));
}

} // namespace
