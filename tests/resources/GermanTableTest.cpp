// The German table against the English one: the same resources, every text
// translated (apart from words German shares with English), the same printf
// conversions, menus of the same shape with their own mnemonics, and the
// category tag names of the translation file.
#include "ResourceIds.h"
#include "ResourceModule.h"
#include "TagTranslationFile.h"
#include "TestEnvironment.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>

namespace {

std::shared_ptr<const ResourceModule> Table(const char* code)
{
    return ResourceModule::Load(QStringLiteral("Language\\%1\\FlwRC.dll").arg(QLatin1String(code)));
}

// Texts that read the same in German: names, abbreviations, disc types,
// picture paths, fonts and numbers, the words German took from English, and
// the help page (there is one, in English).
const std::set<UINT> kSameInGerman{
    IDS_APP_CAPTION, IDS_APP_NAME, IDS_HELP_ADDRESS, IDS_HELP_TOPIC, IDS_ABOUT_VERSION, IDS_FONT_FACE, IDS_FONT_FACE_JPN, IDS_SEARCH_TEXT_SIZE,
    IDS_TIP_DETAILS, IDS_COL_NAME, IDS_COL_TAGS, IDS_COL_DISC, IDS_UNIT_KB, IDS_UNIT_MB, IDS_UNIT_GB,
    IDS_MEDIA_CLASS_1, IDS_MEDIA_CLASS_3,
    IDS_MEDIA_CLASS_4, IDS_MEDIA_CLASS_5_FORMAT_1, IDS_MEDIA_CLASS_5_FORMAT_2, IDS_MEDIA_CLASS_6, IDS_MEDIA_CLASS_7,
    IDS_MEDIA_CLASS_9, IDS_FORMAT_OTHER, IDS_FORMAT_5, IDS_TAG_VIDEO, IDS_TAGS_TITLE, IDS_LABEL_TAGS, IDS_BTN_OK,
    IDS_FMT_TIP_SHORTCUT, IDS_FMT_DRIVE_WITH_IMAGE};

bool IsPicturePath(const QString& text) { return text.startsWith(QLatin1String("Image\\")); }

QStringList Conversions(const QString& text)
{
    static const QRegularExpression conversion(QStringLiteral("%[-+ #0]*\\d*(?:\\.\\d+)?[a-zA-Z]"));
    QStringList found;
    for (const QRegularExpressionMatch& match : conversion.globalMatch(QString(text).remove(QStringLiteral("%%"))))
        found << match.captured(0);
    return found;
}

// The menu's shape: kinds and command ids, without the texts.
QString Shape(const std::vector<ResourceMenuItem>& items)
{
    QString shape;
    for (const ResourceMenuItem& item : items) {
        if (item.kind == ResourceMenuItem::Kind::Command) shape += QStringLiteral("c%1 ").arg(item.id);
        if (item.kind == ResourceMenuItem::Kind::Separator) shape += QStringLiteral("- ");
        if (item.kind == ResourceMenuItem::Kind::Popup) shape += QStringLiteral("[ %1] ").arg(Shape(item.children));
    }
    return shape;
}

// Each level of a menu gives its items different mnemonics.
void ExpectDistinctMnemonics(const std::vector<ResourceMenuItem>& items)
{
    std::set<QChar> seen;
    for (const ResourceMenuItem& item : items) {
        if (item.kind == ResourceMenuItem::Kind::Popup) ExpectDistinctMnemonics(item.children);
        const qsizetype amp = item.text.indexOf(QLatin1Char('&'));
        if (amp < 0 || amp + 1 >= item.text.size()) continue;
        EXPECT_TRUE(seen.insert(item.text[amp + 1].toLower()).second) << item.text.toStdString();
    }
}

} // namespace

TEST(GermanTable, HoldsExactlyTheResourcesOfTheEnglishTable)
{
    const auto english = Table("Enu"), german = Table("Deu");
    ASSERT_TRUE(english && german);
    EXPECT_EQ(german->StringIds(), english->StringIds());
    EXPECT_EQ(german->MenuIds(), english->MenuIds());
    for (UINT id : english->StringIds())
        EXPECT_FALSE(german->String(id).trimmed().isEmpty()) << id;
#define ALBIREO_EXPECT_GERMAN(name, number) EXPECT_TRUE(german->HasString(number)) << #name;
    ALBIREO_STRING_IDS(ALBIREO_EXPECT_GERMAN)
#undef ALBIREO_EXPECT_GERMAN
#define ALBIREO_EXPECT_ICON(name, number) EXPECT_EQ(german->IconPath(number), english->IconPath(number)) << #name;
    ALBIREO_ICON_IDS(ALBIREO_EXPECT_ICON)
#undef ALBIREO_EXPECT_ICON
}

TEST(GermanTable, EveryTextIsTranslatedAndTakesTheSameArguments)
{
    const auto english = Table("Enu"), german = Table("Deu");
    ASSERT_TRUE(english && german);
    for (UINT id : english->StringIds()) {
        const QString en = english->String(id), de = german->String(id);
        EXPECT_EQ(Conversions(de), Conversions(en)) << id;
        if (IsPicturePath(en)) {
            EXPECT_EQ(de, en) << id; // pictures are shared
            continue;
        }
        if (kSameInGerman.count(id))
            continue;
        EXPECT_NE(de, en) << id << " is still English: " << en.toStdString();
    }
    for (UINT id : kSameInGerman) EXPECT_EQ(german->String(id), english->String(id)) << id;
}

TEST(GermanTable, MenusHaveTheEnglishShapeAndTheirOwnMnemonics)
{
    const auto english = Table("Enu"), german = Table("Deu");
    ASSERT_TRUE(english && german);
    for (UINT id : english->MenuIds()) {
        ASSERT_TRUE(german->Menu(id)) << id;
        EXPECT_EQ(Shape(german->Menu(id)->items), Shape(english->Menu(id)->items)) << id;
        EXPECT_NE(german->Menu(id)->items, english->Menu(id)->items) << id;
        ExpectDistinctMnemonics(german->Menu(id)->items);
    }
}

TEST(GermanTable, CategoryTagNamesMatchTheGermanTranslations)
{
    const auto german = Table("Deu");
    ASSERT_TRUE(german);
    TagTranslationFile translations;
    ASSERT_TRUE(translations.Load(TestEnvironment::ProgramFolder() + QStringLiteral("/Language/DefaultTagTranslation.xml")));
    const qsizetype column = translations.Languages().indexOf(QStringLiteral("Deu"));
    ASSERT_GE(column, 0);
    const std::pair<const char*, UINT> tags[] = {
        {"Video", IDS_TAG_VIDEO}, {"Photo", IDS_TAG_PHOTO}, {"Music", IDS_TAG_MUSIC}, {"Document", IDS_TAG_DOCUMENT}};
    for (const auto& [key, id] : tags)
        EXPECT_EQ(translations.Cell(translations.TagKeys().indexOf(QLatin1String(key)), column), german->String(id)) << key;
}
