// The English table against what the program relies on: every named number
// has a text, menus carry known commands, format strings take the arguments
// the program passes, and no number used in the sources is missing.
#include "ResourceIds.h"
#include "ResourceModule.h"
#include "TagTranslationFile.h"
#include "TestEnvironment.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

struct NamedId {
    const char* name;
    UINT id;
};

#define ALBIREO_LIST_ID(name, number) {#name, number},
const NamedId kStrings[] = {ALBIREO_STRING_IDS(ALBIREO_LIST_ID)};
const NamedId kMenus[] = {ALBIREO_MENU_IDS(ALBIREO_LIST_ID)};
const NamedId kIcons[] = {ALBIREO_ICON_IDS(ALBIREO_LIST_ID)};
const NamedId kCommands[] = {ALBIREO_COMMAND_IDS(ALBIREO_LIST_ID)};
#undef ALBIREO_LIST_ID

std::shared_ptr<const ResourceModule> English()
{
    static const auto module = ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll"));
    return module;
}

// printf conversions in a text ("%s", "%d", ...); "%%" is not one.
QStringList Conversions(const QString& text)
{
    static const QRegularExpression conversion(QStringLiteral("%(%|[-+ #0]*\\d*(?:\\.\\d+)?[a-zA-Z]+)"));
    QStringList found;
    for (const QRegularExpressionMatch& match : conversion.globalMatch(text))
        if (match.captured(1) != QLatin1String("%")) found << match.captured(0);
    return found;
}

// Resource numbers written as literals in look-up calls of the sources.
std::set<UINT> LiteralIdsIn(const QString& source)
{
    static const QRegularExpression call(
        QStringLiteral("\\b(?:LoadString|LoadMenu|LoadIconPath|showMessage|ShowMessage)\\s*\\(\\s*(0[xX][0-9A-Fa-f]+|\\d+)\\b"));
    std::set<UINT> ids;
    for (const QRegularExpressionMatch& match : call.globalMatch(source)) ids.insert(match.captured(1).toUInt(nullptr, 0));
    return ids;
}

void CollectCommands(const std::vector<ResourceMenuItem>& items, std::vector<UINT>& commands)
{
    for (const ResourceMenuItem& item : items) {
        if (item.kind == ResourceMenuItem::Kind::Command) commands.push_back(item.id);
        CollectCommands(item.children, commands);
    }
}

} // namespace

TEST(EnglishTable, HasATextForEveryNamedString)
{
    ASSERT_TRUE(English());
    for (const NamedId& string : kStrings)
        EXPECT_FALSE(English()->String(string.id).trimmed().isEmpty()) << string.name << " " << string.id;
}

TEST(EnglishTable, FormatStringsTakeTheirTextsAndOthersNone)
{
    ASSERT_TRUE(English());
    const QStringList text{QStringLiteral("%s")}, two{QStringLiteral("%d"), QStringLiteral("%d")};
    const std::map<UINT, QStringList> formats{{IDS_FMT_IMPORTING, text},
                                              {IDS_FMT_INSERT_DISC, text},
                                              {IDS_FMT_LIBRARY_DAMAGED, text},
                                              {IDS_FMT_LIBRARY_DAMAGED_CLI, text},
                                              {IDS_FMT_REPAIR_REPORT, QStringList(6, QStringLiteral("%s"))},
                                              {IDS_FMT_LIBRARY_CHECK_FAILED, text + text},
                                              {IDS_ABOUT_VERSION, text},
                                              {IDS_ABOUT_LIBRARIES, text},
                                              {IDS_FMT_PICTURE_TOO_LARGE, QStringList(4, QStringLiteral("%d"))},
                                              {IDS_FMT_IMPORT_WAITING, text + text},
                                              {IDS_MSG_DISC_EXISTS_REPLACE, text},
                                              {IDS_MSG_IMPORT_INCOMPLETE, two},
                                              {IDS_TIP_DISC_INCOMPLETE, two},
                                              {IDS_GAP_SHORT_IMAGE, text + text},
                                              {IDS_FMT_TIP_SHORTCUT, text + text},
                                              {IDS_FMT_NOT_A_DISC_IMAGE, text + text},
                                              {IDS_FMT_DISC_NOT_MOUNTED, text},
                                              {IDS_FMT_FILE_NOT_ON_DISC, text},
                                              {IDS_FMT_READING_FILE, text},
                                              {IDS_FMT_FILE_NOT_OPENED, text},
                                              {IDS_FMT_NOT_A_FILE_NAME, text},
                                              {IDS_FMT_FOLDER_NOT_OURS, text + text},
                                              {IDS_FMT_FILE_NOT_CREATED, text + text + text},
                                              {IDS_FMT_DELETE_DISC_NAMED, text + text},
                                              {IDS_FMT_HELP_NOT_OPENED, text},
                                              {IDS_FMT_DRIVE_WITH_IMAGE, text + text},
                                              {IDS_FMT_FILES_READ, text},
                                              {IDS_FMT_HANDED_OVER_BEHIND, text}};
    for (UINT id : English()->StringIds()) {
        const QStringList conversions = Conversions(English()->String(id));
        if (formats.count(id))
            EXPECT_EQ(conversions, formats.at(id)) << id;
        else
            EXPECT_TRUE(conversions.isEmpty()) << id << ": " << English()->String(id).toStdString();
    }
}

TEST(EnglishTable, PictureStringsAndIconsNamePicturePaths)
{
    ASSERT_TRUE(English());
    const UINT pictures[] = {IDS_IMG_BACK,           IDS_IMG_BACK_150,   IDS_IMG_IMPORT,         IDS_IMG_IMPORT_150,
                             IDS_IMG_REFRESH,        IDS_IMG_REFRESH_150, IDS_IMG_LARGE_ICONS,   IDS_IMG_LARGE_ICONS_150,
                             IDS_IMG_SMALL_ICONS,    IDS_IMG_SMALL_ICONS_150, IDS_IMG_DETAILS,   IDS_IMG_DETAILS_150,
                             IDS_IMG_SEARCH,         IDS_IMG_SEARCH_150, IDS_IMG_COMMAND_642,    IDS_IMG_COMMAND_642_150,
                             IDS_IMG_OTHER,          IDS_IMG_OTHER_150};
    for (UINT id : pictures) {
        const QString path = English()->String(id);
        EXPECT_TRUE(path.startsWith(QLatin1String("Image\\")) && path.endsWith(QLatin1String(".png"))) << id;
    }
    for (const NamedId& icon : kIcons)
        EXPECT_TRUE(English()->IconPath(icon.id).startsWith(QLatin1String("Image\\"))) << icon.name;
    bool isNumber = false;
    EXPECT_GT(English()->String(IDS_SEARCH_TEXT_SIZE).toInt(&isNumber), 0);
    EXPECT_TRUE(isNumber);
}

TEST(EnglishTable, MenusExistAndCarryOnlyKnownCommands)
{
    ASSERT_TRUE(English());
    std::set<UINT> known;
    for (const NamedId& command : kCommands) known.insert(command.id);
    for (const NamedId& menu : kMenus) {
        const ResourceMenu* found = English()->Menu(menu.id);
        ASSERT_TRUE(found) << menu.name;
        std::vector<UINT> commands;
        CollectCommands(found->items, commands);
        EXPECT_FALSE(commands.empty()) << menu.name;
        for (UINT command : commands) EXPECT_TRUE(known.count(command)) << menu.name << " carries " << command;
    }
    // Context menus are popup 0; the disc menu offers deletion, which search results leave out.
    ASSERT_TRUE(English()->Menu(IDR_DISC_MENU)->Popup(0));
    ASSERT_TRUE(English()->Menu(IDR_ITEM_MENU)->Popup(0));
    std::vector<UINT> discCommands;
    CollectCommands(English()->Menu(IDR_DISC_MENU)->Popup(0)->children, discCommands);
    EXPECT_NE(std::find(discCommands.begin(), discCommands.end(), ID_DISC_DELETE), discCommands.end());
}

TEST(EnglishTable, BuiltInTagNamesMatchTheEnglishTranslations)
{
    ASSERT_TRUE(English());
    TagTranslationFile translations;
    ASSERT_TRUE(translations.Load(TestEnvironment::ProgramFolder() + QStringLiteral("/Language/DefaultTagTranslation.xml")))
        << translations.ErrorString().toStdString();
    const qsizetype english = translations.Languages().indexOf(QStringLiteral("Enu"));
    ASSERT_GE(english, 0);
    const std::pair<const char*, UINT> tags[] = {
        {"Video", IDS_TAG_VIDEO}, {"Photo", IDS_TAG_PHOTO}, {"Music", IDS_TAG_MUSIC}, {"Document", IDS_TAG_DOCUMENT}};
    for (const auto& [key, id] : tags) {
        const qsizetype row = translations.TagKeys().indexOf(QLatin1String(key));
        ASSERT_GE(row, 0) << key;
        EXPECT_EQ(translations.Cell(row, english), English()->String(id)) << key;
    }
}

TEST(SourceScan, FindsLiteralResourceNumbersInLookUpCalls)
{
    const std::set<UINT> ids = LiteralIdsIn(QStringLiteral(
        "LoadString(100); x = LoadString ( 0xE140 ); showMessage(3016, 4, 100, this, icon); LoadString(IDS_APP_NAME);"
        " LoadMenu(3240); MyLoadString(5);"));
    EXPECT_EQ(ids, (std::set<UINT>{100, 0xE140, 3016, 3240}));
}

TEST(SourceScan, EveryLiteralResourceNumberInTheSourcesHasAResource)
{
    ASSERT_TRUE(English());
    const QString sources = qEnvironmentVariable("ALBIREO_SOURCE_DIR") + QStringLiteral("/src");
    ASSERT_TRUE(QFileInfo(sources).isDir()) << sources.toStdString();
    QDirIterator files(sources, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    int scanned = 0;
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ++scanned;
        for (UINT id : LiteralIdsIn(QString::fromUtf8(file.readAll())))
            EXPECT_TRUE(English()->HasString(id) || English()->Menu(id) || !English()->IconPath(id).isEmpty())
                << file.fileName().toStdString() << " uses resource " << id;
    }
    EXPECT_GT(scanned, 0);
}
