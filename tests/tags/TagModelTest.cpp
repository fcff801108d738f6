// The tag model: category keys and display names in two languages, names
// strings split and joined, and the translation table's questions.
#include "CategoryTags.h"
#include "StringResources.h"
#include "TagTestSupport.h"
#include "TagText.h"
#include "TagTranslationTable.h"
#include "TestEnvironment.h"

#include "StringReg.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString WriteFile(const QByteArray& content)
{
    const QString path = TestEnvironment::MakeFolder(QStringLiteral("xml")) + QStringLiteral("/tags.xml");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QString Display(const QString& key)
{
    QString display = QStringLiteral("unchanged");
    const bool known = CategoryTags::categoryDisplayName(key, &display);
    return known ? display : QStringLiteral("(none: '%1')").arg(display);
}

QString Key(const QString& display)
{
    QString key = QStringLiteral("unchanged");
    CategoryTags::categoryKey(display, &key);
    return key;
}

} // namespace

TEST(CategoryTags, KeysBecomeDisplayNamesOfTheCurrentLanguageAndBack)
{
    {
        LanguageScope english(QStringLiteral("Enu"));
        EXPECT_EQ(Display(QStringLiteral("video")), QStringLiteral("Video"));
        EXPECT_EQ(Display(QStringLiteral("DOCUMENT")), QStringLiteral("Document"));
        EXPECT_EQ(Display(QStringLiteral("Holiday")), QStringLiteral("(none: '')"));
        EXPECT_EQ(Key(QStringLiteral("Music")), QStringLiteral("Music"));
        EXPECT_EQ(Key(QStringLiteral("music")), QStringLiteral("unchanged")); // display names match exactly
        EXPECT_EQ(Key(QStringLiteral("Musik")), QStringLiteral("unchanged"));
    }
    LanguageScope german(QStringLiteral("Deu"));
    EXPECT_EQ(Display(QStringLiteral("Photo")), QStringLiteral("Foto"));
    EXPECT_EQ(Display(QStringLiteral("music")), QStringLiteral("Musik"));
    EXPECT_EQ(Key(QStringLiteral("Musik")), QStringLiteral("Music"));
    EXPECT_EQ(Key(QStringLiteral("Dokument")), QStringLiteral("Document"));
    EXPECT_EQ(Key(QStringLiteral("Music")), QStringLiteral("unchanged"));
    EXPECT_EQ(CategoryTags::displayTagList(QStringLiteral("Video, Holiday, Photo")), QStringLiteral("Video, Holiday, Foto"));
}

TEST(TagText, NamesStringsSplitAtCommaBlankWithoutEmptyPieces)
{
    const QStringList pieces{QStringLiteral("Video"), QStringLiteral("Holiday")};
    EXPECT_EQ(TagText::SplitNames(QStringLiteral("Video, Holiday")), pieces);
    EXPECT_EQ(TagText::SplitNames(QStringLiteral(", Video, Holiday")), pieces);
    EXPECT_EQ(TagText::SplitNames(QStringLiteral("Video, Holiday, ")), pieces);
    EXPECT_EQ(TagText::SplitNames(QStringLiteral("Video, , Holiday")), pieces);
    EXPECT_EQ(TagText::SplitNames(QStringLiteral("Rock,Pop, Jazz")), (QStringList{"Rock,Pop", "Jazz"}));
    EXPECT_TRUE(TagText::SplitNames(QString()).isEmpty());
    EXPECT_EQ(TagText::JoinNames(pieces), QStringLiteral("Video, Holiday"));
    EXPECT_EQ(TagText::JoinIds({1, 12, 5}), QStringLiteral("1::12::5"));
    EXPECT_EQ(TagText::SplitIds(QStringLiteral("::1::x::12::")), (QList<int>{1, 12}));
    LanguageScope english(QStringLiteral("Enu"));
    EXPECT_EQ(CategoryTags::displayTagList(QStringLiteral(", video, Holiday, ")), QStringLiteral("Video, Holiday"));
}

TEST(TagTranslationTable, TheInstalledFileNamesTheCategoryTagsInSevenLanguagesAtLeast)
{
    const TagTranslationTable table;
    ASSERT_FALSE(table.isEmpty());
    for (const char* language : {"Enu", "Deu", "Fra", "Esp", "Ita", "Jpn", "Chs"})
        for (const QString& key : CategoryTags::Keys())
            EXPECT_FALSE(table.lookup(key, QString::fromLatin1(language)).isEmpty()) << language << " " << key.toStdString();
    EXPECT_EQ(table.lookup(QStringLiteral("MUSIC"), QStringLiteral("deu")), QStringLiteral("Musik"));
    EXPECT_TRUE(table.isBuiltInName(QStringLiteral("musique")));
    EXPECT_TRUE(table.isBuiltInName(QStringLiteral("写真")));
    EXPECT_FALSE(table.isBuiltInName(QStringLiteral("Holiday")));
    QString language;
    EXPECT_TRUE(table.languageOf(QStringLiteral("DOKUMENT"), &language));
    EXPECT_EQ(language, QStringLiteral("Deu"));
}

TEST(TagTranslationTable, CellsAreTagsTimesLanguagesAndEmptyCellsNeverMatch)
{
    const TagTranslationTable table(WriteFile(
        "<T><Tag Name='A'><Language Name='L1'>a1</Language><Language Name='L2'>a2</Language></Tag>"
        "<Tag Name='B'><Language Name='L3'>b3</Language><Language Name='L4'>b4</Language></Tag>"
        "<Tag Name='C'><Language Name='L5'>c5</Language></Tag>"
        "<Tag Name='a'><Language Name='L1'>A-again</Language></Tag></T>"));
    EXPECT_EQ(table.file().TagKeys(), (QStringList{"A", "B", "C"})); // one row for A and a
    EXPECT_EQ(table.file().Cells().size(), 15);
    EXPECT_EQ(table.lookup(QStringLiteral("a"), QStringLiteral("l1")), QStringLiteral("A-again"));
    EXPECT_TRUE(table.contains(QStringLiteral("C"), QStringLiteral("L1")));
    EXPECT_TRUE(table.lookup(QStringLiteral("C"), QStringLiteral("L1")).isEmpty());
    EXPECT_FALSE(table.contains(QStringLiteral("D"), QStringLiteral("L1")));
    EXPECT_FALSE(table.isBuiltInName(QString())); // ten empty cells, none of them a name
    QString language = QStringLiteral("unchanged");
    EXPECT_FALSE(table.languageOf(QString(), &language));
    EXPECT_EQ(language, QStringLiteral("unchanged"));
    EXPECT_TRUE(table.languageOf(QStringLiteral("B4"), &language));
    EXPECT_EQ(language, QStringLiteral("L4"));
}

TEST(TagTranslationTable, AMissingOrBrokenFileGivesAnEmptyTable)
{
    for (const QString& path : {TestEnvironment::Root() + QStringLiteral("/none.xml"), WriteFile("<T><Tag Name='A'>")}) {
        const TagTranslationTable table(path);
        EXPECT_TRUE(table.isEmpty());
        EXPECT_FALSE(table.isBuiltInName(QStringLiteral("Video")));
        EXPECT_TRUE(table.lookup(QStringLiteral("Video"), QStringLiteral("Enu")).isEmpty());
    }
}

TEST(TagTranslationTable, TheDefaultFileIsFoundThroughTheInstallPathValue)
{
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("install"));
    QDir().mkpath(folder + QStringLiteral("/Language"));
    QFile file(folder + QStringLiteral("/Language/DefaultTagTranslation.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<T><Tag Name='Video'><Language Name='Xx'>Vidi</Language></Tag></T>");
    file.close();
    StringReg installPath(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13", u"InstallPath");
    installPath = folder;
    ASSERT_TRUE(installPath.Write());
    const TagTranslationTable table;
    EXPECT_TRUE(installPath.Delete());
    EXPECT_TRUE(table.isBuiltInName(QStringLiteral("vidi")));
    EXPECT_TRUE(TagTranslationTable().isBuiltInName(QStringLiteral("Foto"))); // back to the program folder
}
