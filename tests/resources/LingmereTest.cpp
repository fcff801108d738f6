// The language component loaded the way the program loads it: dlopen of
// "Lingmere\Lingmere.dll", the two C exports, the object's operations.
#include "ILingmere.h"
#include "ModuleLoader.h"
#include "ResourceModule.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString Utf16(const char16_t* text) { return QString::fromUtf16(text); }

class LingmereTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = ModuleLoader::LoadLibrary(TestEnvironment::ProgramFolder() + QStringLiteral("\\Lingmere\\Lingmere.dll"));
        ASSERT_TRUE(m_module) << ModuleLoader::LastError().toStdString();
        m_get = reinterpret_cast<GetLingmereFn>(ModuleLoader::GetProcAddress(m_module, "GetLingmere"));
        m_release = reinterpret_cast<ReleaseLingmereFn>(ModuleLoader::GetProcAddress(m_module, "ReleaseLingmere"));
        ASSERT_TRUE(m_get && m_release);
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            m_savedLocale.push_back(qgetenv(variable));
            qunsetenv(variable);
        }
        SetLocale("LC_ALL", "en_US.UTF-8");
    }
    void TearDown() override
    {
        const char* variables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        for (size_t i = 0; i < m_savedLocale.size(); ++i) SetLocale(variables[i], m_savedLocale[i]);
        ModuleLoader::FreeLibrary(m_module);
    }

    static void SetLocale(const char* variable, const QByteArray& value)
    {
        if (value.isEmpty())
            qunsetenv(variable);
        else
            qputenv(variable, value);
    }

    // The component on the installed XML files, or on those of another folder.
    ILingmere* Create(BOOL isSystemDefault, const QString& folder = QString(), int version = kLingmereVersion)
    {
        const QString base = folder.isEmpty() ? TestEnvironment::ProgramFolder() + QStringLiteral("/Lingmere") : folder;
        const QString resource = base + QStringLiteral("/MUIResource.xml");
        const QString reference = base + QStringLiteral("/MUIReference.xml");
        const QString startMenu = base + QStringLiteral("/MUIStartMenu.xml");
        return m_get(reinterpret_cast<const char16_t*>(resource.utf16()),
                     reinterpret_cast<const char16_t*>(reference.utf16()),
                     reinterpret_cast<const char16_t*>(startMenu.utf16()), isSystemDefault, version);
    }

    static QString Language(ILingmere* object)
    {
        char16_t buffer[kLingmereBufferSize] = {};
        EXPECT_EQ(object->GetLanguage(buffer), S_OK);
        return Utf16(buffer);
    }
    static QString SystemLanguage(ILingmere* object)
    {
        char16_t buffer[kLingmereBufferSize] = {};
        EXPECT_EQ(object->GetSystemLanguage(buffer), S_OK);
        return Utf16(buffer);
    }
    QString SystemLanguageFor(const QByteArray& locale)
    {
        SetLocale("LC_ALL", locale);
        ILingmere* object = Create(1);
        EXPECT_TRUE(object);
        if (!object) return QString();
        const QString code = SystemLanguage(object);
        EXPECT_EQ(Language(object), code); // "IsSystemDefault" 1 starts in it
        m_release(object);
        return code;
    }

    HMODULE m_module = nullptr;
    GetLingmereFn m_get = nullptr;
    ReleaseLingmereFn m_release = nullptr;
    std::vector<QByteArray> m_savedLocale;
};

void WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

TEST_F(LingmereTest, RoundTripOnTheInstalledFiles)
{
    SetLocale("LC_ALL", "de_DE.UTF-8");
    ILingmere* object = Create(0);
    ASSERT_TRUE(object);
    EXPECT_EQ(Language(object), QStringLiteral("ENU")); // not the system language: "IsSystemDefault" is 0

    char16_t path[kLingmereBufferSize] = {};
    ASSERT_EQ(object->GetResourcePath(path), S_OK);
    EXPECT_EQ(Utf16(path), TestEnvironment::ProgramFolder() + QStringLiteral("/Language/Enu/FlwRC.dll"));
    const auto module = ResourceModule::Load(Utf16(path));
    ASSERT_TRUE(module);
    EXPECT_FALSE(module->String(100).isEmpty());

    // German has a table of its own.
    EXPECT_EQ(object->SetLanguage(u"deu"), S_OK);
    EXPECT_EQ(Language(object), QStringLiteral("DEU"));
    ASSERT_EQ(object->GetResourcePath(path), S_OK);
    EXPECT_EQ(Utf16(path), TestEnvironment::ProgramFolder() + QStringLiteral("/Language/Deu/FlwRC.dll"));
    EXPECT_TRUE(ResourceModule::Load(Utf16(path)));

    // French is known but has no table here: choosing it works, its path does not.
    EXPECT_EQ(object->SetLanguage(u"fra"), S_OK);
    EXPECT_EQ(object->GetResourcePath(path), HresultFromWin32(2));
    EXPECT_EQ(path[0], u'\0');

    EXPECT_EQ(object->SetLanguage(u"Xyz"), E_INVALIDARG);
    EXPECT_EQ(object->SetLanguage(nullptr), E_POINTER);
    EXPECT_EQ(Language(object), QStringLiteral("FRA"));
    EXPECT_EQ(object->GetLanguage(nullptr), E_POINTER);

    EXPECT_EQ(m_release(object), S_OK);
    EXPECT_EQ(m_release(nullptr), E_POINTER);
}

TEST_F(LingmereTest, OperationsSitAtTheirTablePositions)
{
    ILingmere* object = Create(0);
    ASSERT_TRUE(object);
    // The program calls operations 4, 5 and 6 by their position in the table.
    using SetFn = HRESULT (*)(void*, const char16_t*);
    using GetFn = HRESULT (*)(void*, char16_t*);
    void** table = *reinterpret_cast<void***>(object);
    ASSERT_EQ(reinterpret_cast<SetFn>(table[4])(object, u"Fra"), S_OK);
    char16_t buffer[kLingmereBufferSize] = {};
    ASSERT_EQ(reinterpret_cast<GetFn>(table[6])(object, buffer), S_OK);
    EXPECT_EQ(Utf16(buffer), QStringLiteral("FRA"));
    ASSERT_EQ(reinterpret_cast<SetFn>(table[4])(object, u"ENU"), S_OK);
    ASSERT_EQ(reinterpret_cast<GetFn>(table[5])(object, buffer), S_OK);
    EXPECT_TRUE(Utf16(buffer).endsWith(QStringLiteral("/Language/Enu/FlwRC.dll")));

    ILingmere* again = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_ILingmere, reinterpret_cast<void**>(&again)), S_OK);
    EXPECT_EQ(again, object);
    again->Release();
    m_release(object);
}

TEST_F(LingmereTest, SystemLanguageFollowsTheLocale)
{
    EXPECT_EQ(SystemLanguageFor("de_DE.UTF-8"), QStringLiteral("DEU"));
    EXPECT_EQ(SystemLanguageFor("de_AT"), QStringLiteral("DEU"));
    EXPECT_EQ(SystemLanguageFor("fr_CA.UTF-8@euro"), QStringLiteral("FRA"));
    EXPECT_EQ(SystemLanguageFor("zh_TW.UTF-8"), QStringLiteral("CHT"));
    EXPECT_EQ(SystemLanguageFor("zh_CN.UTF-8"), QStringLiteral("CHS"));
    EXPECT_EQ(SystemLanguageFor("pt_BR.UTF-8"), QStringLiteral("PTB"));
    EXPECT_EQ(SystemLanguageFor("ja_JP.UTF-8"), QStringLiteral("JPN"));
    EXPECT_EQ(SystemLanguageFor("C"), QStringLiteral("ENU"));
    EXPECT_EQ(SystemLanguageFor("tlh_XX.UTF-8"), QStringLiteral("ENU")); // not a language of the installation
}

TEST_F(LingmereTest, LocaleVariablesTakeThePosixOrder)
{
    qunsetenv("LC_ALL");
    qputenv("LC_MESSAGES", "it_IT.UTF-8");
    qputenv("LANG", "sv_SE.UTF-8");
    ILingmere* object = Create(1);
    ASSERT_TRUE(object);
    EXPECT_EQ(SystemLanguage(object), QStringLiteral("ITA"));
    m_release(object);
    qunsetenv("LC_MESSAGES");
    object = Create(1);
    ASSERT_TRUE(object);
    EXPECT_EQ(SystemLanguage(object), QStringLiteral("SVE"));
    m_release(object);
}

TEST_F(LingmereTest, StartMenuTextsFollowTheLanguage)
{
    ILingmere* object = Create(0);
    ASSERT_TRUE(object);
    char16_t buffer[kLingmereBufferSize] = {};
    ASSERT_EQ(object->GetStartMenuText(u"Name", buffer), S_OK);
    EXPECT_EQ(Utf16(buffer), QStringLiteral("Albireo"));
    ASSERT_EQ(object->SetLanguage(u"Deu"), S_OK);
    ASSERT_EQ(object->GetStartMenuText(u"comment", buffer), S_OK);
    EXPECT_TRUE(Utf16(buffer).contains(QStringLiteral("katalogisieren")));
    EXPECT_EQ(object->GetStartMenuText(u"NoSuchEntry", buffer), E_INVALIDARG);
    m_release(object);
}

TEST_F(LingmereTest, AnotherInstallationWithItsOwnTables)
{
    const QString root = TestEnvironment::MakeFolder(QStringLiteral("install"));
    WriteFile(root + QStringLiteral("/Lingmere/MUIResource.xml"),
              "<MUIResource Version='1' Default='Enu'>"
              "<Language Code='Enu' Name='English' Module='..\\Tables\\Enu\\FlwRC.dll'/>"
              "<Language Code='Deu' Name='Deutsch' Module='..\\Tables\\Deu\\FlwRC.dll'/>"
              "</MUIResource>");
    WriteFile(root + QStringLiteral("/Tables/Deu/FlwRC.res"), "FLWRC 1\n");
    // No reference file: the locale cannot be mapped and English is taken.
    SetLocale("LC_ALL", "de_DE.UTF-8");
    ILingmere* object = Create(1, root + QStringLiteral("/Lingmere"));
    ASSERT_TRUE(object);
    EXPECT_EQ(SystemLanguage(object), QStringLiteral("ENU"));
    char16_t path[kLingmereBufferSize] = {};
    EXPECT_EQ(object->GetResourcePath(path), HresultFromWin32(2)); // no English table there
    ASSERT_EQ(object->SetLanguage(u"DEU"), S_OK);
    ASSERT_EQ(object->GetResourcePath(path), S_OK);
    EXPECT_EQ(Utf16(path), root + QStringLiteral("/Tables/Deu/FlwRC.dll"));
    EXPECT_EQ(object->GetStartMenuText(u"Name", path), E_INVALIDARG); // no start menu file
    m_release(object);
}

TEST_F(LingmereTest, PathsLongerThanTheBufferFail)
{
    const QString root = TestEnvironment::MakeFolder(QStringLiteral("long"));
    const QString deep = root + QLatin1Char('/') + QString(120, QLatin1Char('a')) + QLatin1Char('/') +
                         QString(120, QLatin1Char('b'));
    WriteFile(deep + QStringLiteral("/FlwRC.res"), "FLWRC 1\n");
    WriteFile(root + QStringLiteral("/MUIResource.xml"),
              "<MUIResource Version='1' Default='Enu'><Language Code='Enu' Module='" +
                  QString(deep + QStringLiteral("/FlwRC.dll")).toUtf8() + "'/></MUIResource>");
    ILingmere* object = Create(0, root);
    ASSERT_TRUE(object);
    char16_t path[kLingmereBufferSize] = {};
    EXPECT_EQ(object->GetResourcePath(path), HresultFromWin32(122));
    m_release(object);
}

TEST_F(LingmereTest, RefusesMissingOrBrokenLanguageListsAndOtherVersions)
{
    const QString root = TestEnvironment::MakeFolder(QStringLiteral("broken"));
    EXPECT_EQ(Create(0, root), nullptr); // no MUIResource.xml
    WriteFile(root + QStringLiteral("/MUIResource.xml"), "<MUIResource Version='1' Default='Enu'><Language");
    EXPECT_EQ(Create(0, root), nullptr);
    EXPECT_EQ(Create(0, QString(), 2), nullptr);
    EXPECT_EQ(m_get(nullptr, nullptr, nullptr, 0, kLingmereVersion), nullptr);
}
