#include "ResourceModule.h"
#include "StringResources.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using Kind = ResourceMenuItem::Kind;

const char* const kSample = R"(// a sample table
FLWRC 1

STRINGTABLE
BEGIN
  100 "Caption"
  0x65 "Quote \" and backslash \\ and\r\nbreak\tTab"
  102 ""
END
STRINGTABLE
BEGIN
  65535 "Ärger über Größe"
END
ICON 3215 "Image\\MainFrame\\icon.png"
MENU 3240
BEGIN
  POPUP "Disc"
  BEGIN
    MENUITEM "&Browse", 3241
    MENUITEM SEPARATOR
    POPUP "More"
    BEGIN
      MENUITEM "Delete",0xCB3
    END
  END
  MENUITEM "Top", 1
END
)";

void WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Points the program folder elsewhere for one test and restores it.
class ProgramFolderOverride {
public:
    explicit ProgramFolderOverride(const QString& folder) : m_saved(qgetenv("ALBIREO_PROGRAM_DIR"))
    {
        qputenv("ALBIREO_PROGRAM_DIR", folder.toLocal8Bit());
    }
    ~ProgramFolderOverride() { qputenv("ALBIREO_PROGRAM_DIR", m_saved); }

private:
    QByteArray m_saved;
};

} // namespace

TEST(ResourceModule, ParsesStringsIconsAndMenus)
{
    QString error;
    const auto module = ResourceModule::Parse(kSample, QStringLiteral("sample"), &error);
    ASSERT_TRUE(module) << error.toStdString();
    EXPECT_EQ(module->String(100), QStringLiteral("Caption"));
    EXPECT_EQ(module->String(101), QStringLiteral("Quote \" and backslash \\ and\r\nbreak\tTab"));
    EXPECT_TRUE(module->HasString(102));
    EXPECT_TRUE(module->String(102).isEmpty());
    EXPECT_EQ(module->String(65535), QStringLiteral("Ärger über Größe"));
    EXPECT_FALSE(module->HasString(103));
    EXPECT_EQ(module->StringIds(), (std::vector<UINT>{100, 101, 102, 65535}));
    EXPECT_EQ(module->IconPath(3215), QStringLiteral("Image\\MainFrame\\icon.png"));

    const ResourceMenu* menu = module->Menu(3240);
    ASSERT_TRUE(menu);
    EXPECT_EQ(module->MenuIds(), std::vector<UINT>{3240});
    ASSERT_EQ(menu->items.size(), 2u);
    const ResourceMenuItem* popup = menu->Popup(0);
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->text, QStringLiteral("Disc"));
    ASSERT_EQ(popup->children.size(), 3u);
    EXPECT_EQ(popup->children[0].id, 3241u);
    EXPECT_EQ(popup->children[1].kind, Kind::Separator);
    ASSERT_EQ(popup->children[2].kind, Kind::Popup);
    EXPECT_EQ(popup->children[2].children.at(0).id, 0xCB3u);
    EXPECT_EQ(menu->Popup(1), nullptr); // a command, not a submenu
    EXPECT_EQ(menu->Popup(2), nullptr);
}

TEST(ResourceModule, RefusesMalformedFilesNamingTheLine)
{
    struct Case {
        const char* content;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"", 1, "first statement"},
        {"STRINGTABLE\nBEGIN\nEND\n", 1, "first statement"},
        {"FLWRC 2\n", 1, "version"},
        {"FLWRC 1 extra\n", 1, "version"},
        {"FLWRC 1\nSTRINGTABLES\n", 2, "expected STRINGTABLE"},
        {"FLWRC 1\nSTRINGTABLE\n100 \"x\"\nEND\n", 3, "expected BEGIN"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n100 \"x\"\n", 4, "without END"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n100 \"x\"\n100 \"y\"\nEND\n", 5, "defined twice"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n65536 \"x\"\nEND\n", 4, "string id"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n-1 \"x\"\nEND\n", 4, "string id"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n1 \"a\\qb\"\nEND\n", 4, "unknown escape"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n1 \"open\nEND\n", 4, "closing quote"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n1 \"a\" \"b\"\nEND\n", 4, "unexpected text"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n1 unquoted\nEND\n", 4, "double quotes"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n1 \"a\x01\"\nEND\n", 4, "control character"},
        {"FLWRC 1\nSTRINGTABLE\nBEGIN\n1 \"\xC3\x28\"\nEND\n", 1, "UTF-8"},
        {"FLWRC 1\nICON 5 \"a\"\nICON 5 \"b\"\n", 3, "defined twice"},
        {"FLWRC 1\nMENU 1\nBEGIN\nMENUITEM \"a\" 5\nEND\n", 4, "comma"},
        {"FLWRC 1\nMENU 1\nBEGIN\nMENUITEM \"a\", 5, 6\nEND\n", 4, "unexpected text"},
        {"FLWRC 1\nMENU 1\nBEGIN\nITEM \"a\", 5\nEND\n", 4, "expected MENUITEM"},
        {"FLWRC 1\nMENU 1\nBEGIN\nPOPUP \"a\"\nBEGIN\nEND\n", 6, "without END"},
        {"FLWRC 1\nMENU 1\nBEGIN\nEND\nMENU 1\nBEGIN\nEND\n", 5, "defined twice"},
        {"FLWRC 1\nMENU\nBEGIN\nEND\n", 2, "menu id"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(ResourceModule::Parse(c.content, QStringLiteral("bad.res"), &error)) << c.content;
        EXPECT_TRUE(error.startsWith(QStringLiteral("bad.res:%1: ").arg(c.line))) << c.content << " -> " << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << c.content << " -> " << error.toStdString();
    }
}

TEST(ResourceModule, RefusesSubmenusNestedTooDeeply)
{
    QByteArray text = "FLWRC 1\nMENU 1\nBEGIN\n";
    for (int i = 0; i < 100; ++i) text += "POPUP \"p\"\nBEGIN\n";
    QString error;
    EXPECT_FALSE(ResourceModule::Parse(text, QStringLiteral("deep"), &error));
    EXPECT_TRUE(error.contains(QLatin1String("nested too deeply"))) << error.toStdString();
}

TEST(ResourceModule, AcceptsWindowsLineEndsAndByteOrderMark)
{
    const auto module = ResourceModule::Parse("\xEF\xBB\xBF" "FLWRC 1\r\nSTRINGTABLE\r\nBEGIN\r\n7 \"seven\"\r\nEND\r\n",
                                              QStringLiteral("crlf"));
    ASSERT_TRUE(module);
    EXPECT_EQ(module->String(7), QStringLiteral("seven"));
}

TEST(ResourceModule, MapsModuleNamesToDataFiles)
{
    const QString program = TestEnvironment::MakeFolder(QStringLiteral("program"));
    const QString current = TestEnvironment::MakeFolder(QStringLiteral("current"));
    ProgramFolderOverride override(program);
    const QString savedCurrent = QDir::currentPath();
    QDir::setCurrent(current);

    EXPECT_EQ(ResourceModule::DataFilePath(QStringLiteral("Language\\Deu\\FlwRC.dll")),
              program + QStringLiteral("/Language/Deu/FlwRC.res"));
    EXPECT_EQ(ResourceModule::DataFilePath(QStringLiteral("/opt/x/FlwRC.DLL")), QStringLiteral("/opt/x/FlwRC.res"));
    // A plain name found nowhere names the file in the program folder.
    EXPECT_EQ(ResourceModule::DataFilePath(QStringLiteral("FlwRC.dll")), program + QStringLiteral("/FlwRC.res"));
    WriteFile(current + QStringLiteral("/FlwRC.res"), "FLWRC 1\n");
    EXPECT_EQ(ResourceModule::DataFilePath(QStringLiteral("FlwRC.dll")), current + QStringLiteral("/FlwRC.res"));
    WriteFile(program + QStringLiteral("/FlwRC.res"), "FLWRC 1\n");
    EXPECT_EQ(ResourceModule::DataFilePath(QStringLiteral("FlwRC.dll")), program + QStringLiteral("/FlwRC.res"));

    QDir::setCurrent(savedCurrent);
}

TEST(ResourceModule, LoadsTheInstalledTablesByPlainNameAndByLanguagePath)
{
    const QString program = TestEnvironment::ProgramFolder();
    QString error;
    const auto plain = ResourceModule::Load(QStringLiteral("FlwRC.dll"), &error);
    ASSERT_TRUE(plain) << error.toStdString();
    EXPECT_EQ(plain->FilePath(), program + QStringLiteral("/FlwRC.res"));
    const auto english = ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll"), &error);
    ASSERT_TRUE(english) << error.toStdString();
    EXPECT_EQ(english->FilePath(), program + QStringLiteral("/Language/Enu/FlwRC.res"));
    EXPECT_EQ(plain->StringIds(), english->StringIds());
}

TEST(ResourceModule, MissingAndMalformedFilesFailWithTheirPath)
{
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("bad"));
    QString error;
    EXPECT_FALSE(ResourceModule::Load(folder + QStringLiteral("/Missing.dll"), &error));
    EXPECT_TRUE(error.startsWith(folder + QStringLiteral("/Missing.res"))) << error.toStdString();

    WriteFile(folder + QStringLiteral("/Broken.res"), "FLWRC 1\nSTRINGTABLE\nBEGIN\n1 \"never closed\n");
    EXPECT_FALSE(ResourceModule::Load(folder + QStringLiteral("/Broken.dll"), &error));
    EXPECT_TRUE(error.startsWith(folder + QStringLiteral("/Broken.res:4: "))) << error.toStdString();
}

TEST(ResourceMenu, WithoutCommandTidiesSeparators)
{
    const auto module = ResourceModule::Parse("FLWRC 1\nMENU 1\nBEGIN\n"
                                              "MENUITEM \"a\", 1\nMENUITEM SEPARATOR\nMENUITEM \"del\", 9\n"
                                              "MENUITEM SEPARATOR\nMENUITEM \"b\", 2\nMENUITEM SEPARATOR\n"
                                              "POPUP \"p\"\nBEGIN\nMENUITEM \"del\", 9\nMENUITEM SEPARATOR\nMENUITEM \"c\", 3\nEND\n"
                                              "MENUITEM SEPARATOR\nMENUITEM \"del\", 9\nEND\n",
                                              QStringLiteral("menu"));
    ASSERT_TRUE(module);
    const auto items = WithoutCommand(module->Menu(1)->items, 9);
    ASSERT_EQ(items.size(), 5u); // a | b | p
    EXPECT_EQ(items[0].id, 1u);
    EXPECT_EQ(items[1].kind, Kind::Separator);
    EXPECT_EQ(items[2].id, 2u);
    EXPECT_EQ(items[3].kind, Kind::Separator);
    ASSERT_EQ(items[4].children.size(), 1u);
    EXPECT_EQ(items[4].children[0].id, 3u);
}

TEST(StringResources, LookUpsGoToTheInstalledModule)
{
    SetResourceHandle(nullptr);
    EXPECT_TRUE(LoadString(100).isEmpty());
    EXPECT_FALSE(LoadMenu(1).has_value());

    SetResourceHandle(ResourceModule::Parse(kSample, QStringLiteral("sample")));
    EXPECT_EQ(LoadString(100), QStringLiteral("Caption"));
    EXPECT_TRUE(LoadString(4711).isEmpty());
    EXPECT_EQ(LoadIconPath(3215), QStringLiteral("Image\\MainFrame\\icon.png"));
    const std::optional<ResourceMenu> menu = LoadMenu(3240);
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(menu->items.size(), 2u);
    EXPECT_FALSE(LoadMenu(128).has_value());

    const auto held = GetResourceHandle();
    SetResourceHandle(nullptr);
    EXPECT_TRUE(LoadString(100).isEmpty());
    EXPECT_EQ(held->String(100), QStringLiteral("Caption")); // a holder keeps the module alive
}

TEST(StringResources, FormatStringFillsThePlacesInOrderAndLeavesTheRest)
{
    SetResourceHandle(ResourceModule::Parse("FLWRC 1\nSTRINGTABLE\nBEGIN\n"
                                            "1 \"%s cannot go into %s: 100%% sure\"\n"
                                            "2 \"%d of %d, then %s\"\n"
                                            "END\n",
                                            QStringLiteral("formats")));
    EXPECT_EQ(FormatString(1, {"a%s.iso", "D:\\"}), "a%s.iso cannot go into D:\\: 100%% sure")
        << "a text put in is not searched again";
    EXPECT_EQ(FormatString(2, {"3"}), "3 of %d, then %s");
    EXPECT_EQ(FormatString(2, {"3", "4", "x", "surplus"}), "3 of 4, then x");
    SetResourceHandle(nullptr);
}
