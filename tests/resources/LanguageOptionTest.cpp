// "--language CODE": the choice is stored for the start-up to find, in the
// installation's spelling, and a code without a string table is refused.
#include "BoolReg.h"
#include "LanguageOption.h"
#include "StringReg.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

constexpr const WCHAR* kKey = u"Software\\Quorvel\\Flintwell13";

QString CurrentLang()
{
    StringReg value(HKEY_CURRENT_USER, kKey, u"CurrentLang");
    return value.Read() ? value.ToString() : QStringLiteral("(none)");
}

LanguageOption::Result Apply(QStringList* arguments, QString* error = nullptr)
{
    QString ignored;
    return LanguageOption::Apply(arguments, error ? error : &ignored);
}

} // namespace

TEST(LanguageOption, StoresTheInstalledSpellingAndLetsTheChoiceWin)
{
    TestEnvironment::ResetRegistry();
    EXPECT_TRUE(LanguageOption::InstalledLanguages().contains(QStringLiteral("Deu")));
    BoolReg systemDefault(HKEY_CURRENT_USER, kKey, u"IsSystemDefault");
    systemDefault = 1;
    ASSERT_TRUE(systemDefault.Write());

    QStringList arguments{QStringLiteral("albireo"), QStringLiteral("--language"), QStringLiteral("DEU"),
                          QStringLiteral("/home/u/disc.iso")};
    EXPECT_EQ(Apply(&arguments), LanguageOption::Result::Stored);
    EXPECT_EQ(arguments, (QStringList{"albireo", "/home/u/disc.iso"}));
    EXPECT_EQ(CurrentLang(), QStringLiteral("Deu"));
    ASSERT_TRUE(systemDefault.Read());
    EXPECT_EQ(systemDefault.Get(), 0);

    arguments = {QStringLiteral("albireo"), QStringLiteral("--language=enu")};
    EXPECT_EQ(Apply(&arguments), LanguageOption::Result::Stored);
    EXPECT_EQ(arguments, QStringList{"albireo"});
    EXPECT_EQ(CurrentLang(), QStringLiteral("Enu"));

    arguments = {QStringLiteral("albireo"), QStringLiteral("/language")};
    EXPECT_EQ(Apply(&arguments), LanguageOption::Result::Absent);
    EXPECT_EQ(arguments.size(), 2);
}

TEST(LanguageOption, RefusesACodeWithoutAStringTableAndKeepsTheOldChoice)
{
    TestEnvironment::ResetRegistry();
    QStringList arguments{QStringLiteral("albireo"), QStringLiteral("--language"), QStringLiteral("Deu")};
    ASSERT_EQ(Apply(&arguments), LanguageOption::Result::Stored);
    QString error;
    for (const QStringList& refused : {QStringList{"albireo", "--language", "Xyz"}, QStringList{"albireo", "--language"},
                                       QStringList{"albireo", "--language="}}) {
        arguments = refused;
        EXPECT_EQ(Apply(&arguments, &error), LanguageOption::Result::Refused) << refused.join(' ').toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("Deu"))) << error.toStdString(); // names what is installed
    }
    EXPECT_EQ(CurrentLang(), QStringLiteral("Deu"));
}
