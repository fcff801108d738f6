// Names from outside become files only inside a folder of ours: every name
// that would reach elsewhere is refused before anything is written, a link
// or file planted under the name is never written through, and nothing
// written is executable.
#include "ConfinedFile.h"

#include "StringResources.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A fresh folder of ours (0700) with a folder "inner" below it, where the
// files are made, so a name that climbs out would land in the outer one.
class ConfinedFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceHandle(ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll")));
        m_outer = TestEnvironment::MakeFolder(QStringLiteral("confined"));
        m_inner = m_outer + QStringLiteral("/inner");
        ASSERT_TRUE(QDir().mkdir(m_inner));
        ASSERT_EQ(0, chmod(QFile::encodeName(m_inner).constData(), 0700));
    }

    void TearDown() override { SetResourceHandle(nullptr); }

    QStringList Everything() const
    {
        QStringList found;
        QDir outer(m_outer);
        for (const QFileInfo& entry : outer.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                                          QDir::NoDotAndDotDot))
            found << entry.fileName();
        for (const QFileInfo& entry : QDir(m_inner).entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                                                  QDir::NoDotAndDotDot))
            found << QStringLiteral("inner/") + entry.fileName();
        found.sort();
        return found;
    }

    QString m_outer, m_inner;
};

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(0, lstat(QFile::encodeName(path).constData(), &info));
    return info.st_mode & 07777;
}

TEST_F(ConfinedFileTest, NamesThatAreNotOneFileNameAreRefusedAndNothingIsWritten)
{
    const QString refused[] = {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../x"),
                               QStringLiteral("a/b"), QStringLiteral("/abs"), QStringLiteral("inner/"),
                               QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
                               QStringLiteral("../").repeated(85)};
    for (const QString& name : refused) {
        QString why = QStringLiteral("unchanged");
        EXPECT_FALSE(ConfinedFile(m_inner, name, &why).IsOpen()) << name.toStdString();
        EXPECT_NE(why, QStringLiteral("unchanged")) << "a refusal always says why: " << name.toStdString();
        EXPECT_FALSE(ConfinedFile::IsOneFileName(name)) << name.toStdString();
    }
    EXPECT_EQ(Everything(), QStringList{QStringLiteral("inner")});
    QString why;
    ConfinedFile(m_inner, QStringLiteral("../x"), &why);
    EXPECT_TRUE(why.startsWith(QStringLiteral("The name ../x cannot be a file name on this computer"))) << why.toStdString();
    // The stand-ins of the disc engine are ordinary characters.
    for (const QString& name : {QStringLiteral("._"), QStringLiteral(".._"), QString::fromUtf16(u"..\u2215..\u2215x"),
                                QStringLiteral("a\\b"), QStringLiteral("...")})
        EXPECT_TRUE(ConfinedFile::IsOneFileName(name)) << name.toStdString();
}

TEST_F(ConfinedFileTest, AFileIsMadeNewInsideTheFolderWithoutAnExecutableBit)
{
    const mode_t mask = umask(0);
    QString why;
    ConfinedFile file(m_inner, QStringLiteral("run.sh"), &why);
    umask(mask);
    ASSERT_TRUE(file.IsOpen()) << why.toStdString();
    EXPECT_EQ(file.Path(), m_inner + QStringLiteral("/run.sh"));
    EXPECT_EQ(file.File().write("#!/bin/sh\n"), 10);
    file.File().close();
    EXPECT_EQ(ModeOf(m_inner + QStringLiteral("/run.sh")), mode_t(0600));
    // Made anew only: a second file of the name is refused, the first kept.
    EXPECT_FALSE(ConfinedFile(m_inner, QStringLiteral("run.sh"), &why).IsOpen());
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(QFileInfo(m_inner + QStringLiteral("/run.sh")).size(), 10);
    // The caller can take back what it made.
    file.Discard();
    EXPECT_EQ(Everything(), QStringList{QStringLiteral("inner")});
}

TEST_F(ConfinedFileTest, ALinkPlantedUnderTheNameIsNeverWrittenThrough)
{
    const QString victim = m_outer + QStringLiteral("/victim.txt");
    QFile original(victim);
    ASSERT_TRUE(original.open(QIODevice::WriteOnly));
    original.write("mine");
    original.close();
    ASSERT_TRUE(QFile::link(victim, m_inner + QStringLiteral("/planted")));
    ASSERT_TRUE(QFile::link(m_outer + QStringLiteral("/nowhere"), m_inner + QStringLiteral("/dangling")));
    QString why;
    EXPECT_FALSE(ConfinedFile(m_inner, QStringLiteral("planted"), &why).IsOpen());
    EXPECT_FALSE(ConfinedFile(m_inner, QStringLiteral("dangling"), &why).IsOpen());
    EXPECT_FALSE(QFileInfo::exists(m_outer + QStringLiteral("/nowhere")));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), QByteArray("mine"));
}

TEST_F(ConfinedFileTest, OnlyAFolderOfOursThatNoOneElseMayWriteTakesFiles)
{
    QString why;
    // A link to our folder, with and without the trailing slash.
    const QString link = m_outer + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(m_inner, link));
    EXPECT_FALSE(ConfinedFile(link, QStringLiteral("a"), &why).IsOpen());
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(ConfinedFile(link + u'/', QStringLiteral("a"), &why).IsOpen());
    // A folder others may write to, a relative path, a missing folder.
    const QString shared = m_outer + QStringLiteral("/shared");
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(0, chmod(QFile::encodeName(shared).constData(), 01777));
    EXPECT_FALSE(ConfinedFile(shared, QStringLiteral("a"), &why).IsOpen());
    EXPECT_FALSE(ConfinedFile(QStringLiteral("inner"), QStringLiteral("a"), &why).IsOpen());
    EXPECT_FALSE(ConfinedFile(m_outer + QStringLiteral("/missing"), QStringLiteral("a"), &why).IsOpen());
    EXPECT_EQ(Everything(), QStringList({QStringLiteral("inner"), QStringLiteral("link"), QStringLiteral("shared")}));
    EXPECT_TRUE(ConfinedFile(m_inner + u'/', QStringLiteral("a"), &why).IsOpen()) << why.toStdString();
}

TEST_F(ConfinedFileTest, ALongNameIsCutToWholeCharactersKeepingItsExtension)
{
    // 200 characters of three bytes each: 600 bytes, more than a name holds.
    const QString name = QString(200, QChar(0x2215)) + QStringLiteral(".jpg");
    QString why;
    ConfinedFile file(m_inner, name, &why);
    ASSERT_TRUE(file.IsOpen()) << why.toStdString();
    const QString made = QFileInfo(file.Path()).fileName();
    EXPECT_TRUE(made.endsWith(QStringLiteral(".jpg")));
    EXPECT_EQ(made, QString(83, QChar(0x2215)) + QStringLiteral(".jpg")) << "83 * 3 + 4 bytes fit in 255";
    EXPECT_EQ(QFileInfo(file.Path()).path(), m_inner);
    EXPECT_TRUE(QFileInfo::exists(file.Path()));
}

TEST_F(ConfinedFileTest, APathFromADiscStaysBelowItsRoot)
{
    QString why;
    EXPECT_EQ(ConfinedFile::PathBelow(QStringLiteral("/media/disc"), QStringLiteral("\\DCIM\\img.jpg"), &why),
              QStringLiteral("/media/disc/DCIM/img.jpg"));
    for (const QString& path : {QStringLiteral("\\..\\..\\etc\\passwd"), QStringLiteral("\\DCIM\\..\\..\\x"),
                                QStringLiteral("\\a/../../x"), QStringLiteral("\\.\\x")}) {
        why.clear();
        EXPECT_TRUE(ConfinedFile::PathBelow(QStringLiteral("/media/disc"), path, &why).isEmpty()) << path.toStdString();
        EXPECT_FALSE(why.isEmpty()) << path.toStdString();
    }
}

} // namespace
