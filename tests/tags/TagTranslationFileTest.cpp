#include "TagTranslationFile.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

QStringList Row(const TagTranslationFile& file, qsizetype tag)
{
    QStringList row;
    for (qsizetype l = 0; l < file.Languages().size(); ++l) row << file.Cell(tag, l);
    return row;
}

} // namespace

TEST(TagTranslationFile, ReadsTheInstalledFile)
{
    TagTranslationFile file;
    ASSERT_TRUE(file.Load(TestEnvironment::ProgramFolder() + QStringLiteral("/Language/DefaultTagTranslation.xml")))
        << file.ErrorString().toStdString();
    EXPECT_EQ(file.TagKeys(), (QStringList{"Video", "Photo", "Music", "Document"}));
    EXPECT_GE(file.Languages().size(), 10);
    EXPECT_EQ(file.Cells().size(), file.TagKeys().size() * file.Languages().size());
    EXPECT_FALSE(file.Cells().contains(QString())); // every tag is named in every language
    const qsizetype german = file.Languages().indexOf(QStringLiteral("Deu"));
    ASSERT_GE(german, 0);
    EXPECT_EQ(file.Cell(2, german), QStringLiteral("Musik"));
    const qsizetype japanese = file.Languages().indexOf(QStringLiteral("Jpn"));
    ASSERT_GE(japanese, 0);
    EXPECT_EQ(file.Cell(1, japanese), QStringLiteral("写真"));
}

TEST(TagTranslationFile, BuildsTheMatrixInDocumentOrder)
{
    TagTranslationFile file;
    ASSERT_TRUE(file.Parse("<Root>"
                           "<Tag Name='A'><Language Name='L1'>a1</Language><Language Name='L2'>a2</Language></Tag>"
                           "<Tag Name='B'><Language Name='L3'>b3</Language></Tag>"
                           "<Tag Name='C'><Group><Language Name='L4'>  c4\n </Language></Group>"
                           "<Language Name='L5'><![CDATA[c]]>5<b>!</b></Language></Tag>"
                           "</Root>"));
    EXPECT_EQ(file.TagKeys(), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(file.Languages(), (QStringList{"L1", "L2", "L3", "L4", "L5"}));
    ASSERT_EQ(file.Cells().size(), 15);
    EXPECT_EQ(Row(file, 0), (QStringList{"a1", "a2", "", "", ""}));
    EXPECT_EQ(Row(file, 1), (QStringList{"", "", "b3", "", ""}));
    EXPECT_EQ(Row(file, 2), (QStringList{"", "", "", "c4", "c5!"}));
    EXPECT_TRUE(file.Cell(3, 0).isEmpty());
    EXPECT_TRUE(file.Cell(0, -1).isEmpty());
}

TEST(TagTranslationFile, KeysThatDifferInCaseShareARowAndLaterTextsWin)
{
    TagTranslationFile file;
    ASSERT_TRUE(file.Parse("<R><Tag Name='Video'><Language Name='Enu'>Video</Language><Language Name='Deu'>Film</Language></Tag>"
                           "<Tag Name='VIDEO'><Language Name='deu'>Video</Language></Tag></R>"));
    EXPECT_EQ(file.TagKeys(), QStringList{"Video"});
    EXPECT_EQ(file.Languages(), (QStringList{"Enu", "Deu"}));
    EXPECT_EQ(Row(file, 0), (QStringList{"Video", "Video"}));
}

TEST(TagTranslationFile, LanguagesOutsideATagFillTheFirstRow)
{
    TagTranslationFile file;
    ASSERT_TRUE(file.Parse("<R><Language Name='Enu'>loose</Language><Tag Name='T'><Language Name='Fra'>t</Language></Tag>"
                           "<Language Name='Deu'>after</Language></R>"));
    EXPECT_EQ(Row(file, 0), (QStringList{"loose", "t", "after"}));

    // Without any tag there is no row to fill.
    ASSERT_TRUE(file.Parse("<R><Language Name='Enu'>alone</Language></R>"));
    EXPECT_TRUE(file.TagKeys().isEmpty());
    EXPECT_EQ(file.Languages(), QStringList{"Enu"});
    EXPECT_TRUE(file.Cells().isEmpty());
}

TEST(TagTranslationFile, NamesMatchExactlyAndInnerTagsScopeTheirSubtree)
{
    TagTranslationFile file;
    ASSERT_TRUE(file.Parse("<R><tag Name='lower'/><Tag name='attr'/><Tag><Language Name='X'>first</Language></Tag>"
                           "<Tag Name='Outer'><Tag Name='Inner'><Language Name='X'>inner</Language></Tag>"
                           "<Language Name='X'>outer</Language></Tag></R>"));
    EXPECT_EQ(file.TagKeys(), (QStringList{"Outer", "Inner"}));
    // The "Tag" without a name leaves the first row current: its text lands in row 0,
    // which "Outer" later overwrites.
    EXPECT_EQ(Row(file, 0), QStringList{"outer"});
    EXPECT_EQ(Row(file, 1), QStringList{"inner"});
}

TEST(TagTranslationFile, CutsNamesAt259Characters)
{
    const QString longName = QString(300, QLatin1Char('x'));
    TagTranslationFile file;
    ASSERT_TRUE(file.Parse("<R><Tag Name='T'><Language Name='L'>   " + longName.toUtf8() + "</Language></Tag></R>"));
    EXPECT_EQ(file.Cell(0, 0), QString(259, QLatin1Char('x')));

    const QString spaced = QString(258, QLatin1Char('y')) + QStringLiteral("  ") + QString(50, QLatin1Char('z'));
    ASSERT_TRUE(file.Parse("<R><Tag Name='T'><Language Name='L'>" + spaced.toUtf8() + "</Language></Tag></R>"));
    EXPECT_EQ(file.Cell(0, 0), spaced.left(259));
}

TEST(TagTranslationFile, BrokenOrMissingFilesReadAsEmpty)
{
    TagTranslationFile file;
    EXPECT_FALSE(file.Parse("<R><Tag Name='T'><Language Name='L'>x</Language></Tag>"));
    EXPECT_TRUE(file.TagKeys().isEmpty());
    EXPECT_TRUE(file.Languages().isEmpty());
    EXPECT_FALSE(file.ErrorString().isEmpty());
    EXPECT_FALSE(file.Parse("<R><Tag Name='T' Name='U'/></R>"));
    EXPECT_FALSE(file.Parse(""));
    EXPECT_FALSE(file.Load(TestEnvironment::MakeFolder(QStringLiteral("none")) + QStringLiteral("/missing.xml")));
    EXPECT_TRUE(file.Cells().isEmpty());
}
