#include "LanguageCatalog.h"

#include <gtest/gtest.h>

TEST(LanguageCatalog, MapsLocalesByFullNameThenLanguage)
{
    LanguageCatalog catalog;
    ASSERT_TRUE(catalog.ParseResources("<MUIResource Version='1' Default='Enu'>"
                                       "<Language Code='Enu' Module='e'/><Language Code='Ptb' Module='b'/>"
                                       "<Language Code='Ptg' Module='g'/></MUIResource>",
                                       QStringLiteral("/x")));
    ASSERT_TRUE(catalog.ParseReference("<MUIReference Version='1'><Locale Name='pt' Language='Ptg'/>"
                                       "<Locale Name='pt_BR' Language='Ptb'/><Locale Name='de' Language='Deu'/>"
                                       "</MUIReference>"))
        << catalog.ErrorString().toStdString();
    EXPECT_EQ(catalog.ForLocale(QStringLiteral("pt_BR.UTF-8"))->code, QStringLiteral("Ptb"));
    EXPECT_EQ(catalog.ForLocale(QStringLiteral("pt-br"))->code, QStringLiteral("Ptb"));
    EXPECT_EQ(catalog.ForLocale(QStringLiteral("pt_PT@euro"))->code, QStringLiteral("Ptg"));
    EXPECT_EQ(catalog.ForLocale(QStringLiteral("de_DE"))->code, QStringLiteral("Enu")); // mapped, not installed
    EXPECT_EQ(catalog.ForLocale(QStringLiteral("POSIX"))->code, QStringLiteral("Enu"));
    EXPECT_EQ(catalog.ForLocale(QString())->code, QStringLiteral("Enu"));
}

TEST(LanguageCatalog, RefusesFilesOutsideTheirShape)
{
    const char* const resources[] = {
        "",
        "<MUIResource Default='Enu'><Language Code='Enu' Module='m'/></MUIResource>", // no version
        "<MUIResources Version='1' Default='Enu'><Language Code='Enu' Module='m'/></MUIResources>",
        "<MUIResource Version='1' Default='Deu'><Language Code='Enu' Module='m'/></MUIResource>",
        "<MUIResource Version='1' Default='Enu'><Language Code='English' Module='m'/></MUIResource>",
        "<MUIResource Version='1' Default='Enu'><Language Code='Enu'/></MUIResource>",
        "<MUIResource Version='1' Default='Enu'><Language Code='Enu' Module='m'/><Language Code='ENU' Module='n'/></MUIResource>",
        "<MUIResource Version='1' Default='Enu'><Language Code='Enu' Module='m'>text</Language></MUIResource>",
        "<MUIResource Version='1' Default='Enu'><Language Code='Enu' Module='m'><X/></Language></MUIResource>",
        "<MUIResource Version='1' Default='Enu'><Lang Code='Enu' Module='m'/></MUIResource>",
        "<MUIResource Version='1' Default='Enu'><Language Code='Enu' Module='m'/>",
        "<MUIResource Version='1' Default='Enu'><a><b><c><d/></c></b></a></MUIResource>",
    };
    for (const char* text : resources) {
        LanguageCatalog catalog;
        EXPECT_FALSE(catalog.ParseResources(text, QStringLiteral("/x"))) << text;
        EXPECT_FALSE(catalog.ErrorString().isEmpty()) << text;
        EXPECT_TRUE(catalog.Languages().empty()) << text;
        EXPECT_EQ(catalog.DefaultLanguage(), nullptr) << text;
    }
    LanguageCatalog catalog;
    EXPECT_FALSE(catalog.ParseReference("<MUIReference Version='1'><Locale Name='de'/></MUIReference>"));
    EXPECT_FALSE(catalog.ParseReference("<MUIReference Version='1'><Locale Name='C' Language='Enu'/></MUIReference>"));
    EXPECT_FALSE(catalog.ParseStartMenu("<MUIStartMenu Version='1'><Language Code='Enu'><Entry Id='Name'/></Language></MUIStartMenu>"));
    EXPECT_FALSE(catalog.ParseStartMenu("<MUIStartMenu Version='1'><Entry Id='Name' Text='x'/></MUIStartMenu>"));
    EXPECT_TRUE(catalog.ParseStartMenu("<MUIStartMenu Version='1'><Language Code='Enu'><Entry Id='Name' Text=''/></Language></MUIStartMenu>"));
}
