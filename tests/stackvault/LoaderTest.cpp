// Loading the engine component as the program does: DllPath.ini beside the
// program names where it lies.
#include "CDllCom.h"
#include "ProfileString.h"
#include "Registry.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A program folder of its own, with the component in a subfolder.
class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        realProgram = TestEnvironment::ProgramFolder();
        program = TestEnvironment::MakeFolder(QStringLiteral("program"));
        QDir(program).mkpath(QStringLiteral("Engines"));
        ASSERT_TRUE(QFile::copy(realProgram + QStringLiteral("/libStackvault.so"),
                                program + QStringLiteral("/Engines/libStackvault.so")));
        qputenv("ALBIREO_PROGRAM_DIR", program.toLocal8Bit());
        qputenv("ALBIREO_LIBRARY_DB", (program + QStringLiteral("/library.db")).toLocal8Bit());
    }
    void TearDown() override { qputenv("ALBIREO_PROGRAM_DIR", realProgram.toLocal8Bit()); }

    HRESULT CreateAndInitialize(const QByteArray& ini)
    {
        WriteFile(program + QStringLiteral("/DllPath.ini"), ini);
        CDllCom loader;
        ILibraryEngine* engine = nullptr;
        HRESULT hr = loader.CreateLibraryEngine(&engine);
        if (SUCCEEDED(hr)) {
            hr = engine->Initialize(0, 1, 0);
            engine->Release();
        }
        return hr;
    }

    QString realProgram, program;
};

TEST_F(LoaderTest, ValueNamesAFolderOrALibraryFile)
{
    EXPECT_EQ(S_OK, CreateAndInitialize("[Path]\nStackvault.dll=Engines\n"));
    EXPECT_EQ(program + QStringLiteral("/Engines/Stackvault.dll"), CDllCom::ConfiguredModulePath());
    EXPECT_EQ(S_OK, CreateAndInitialize("[PATH]\r\nstackvault.DLL = \"Engines\\Stackvault.dll\"\r\n"));
    EXPECT_EQ(S_OK, CreateAndInitialize(("[Path]\nStackvault.dll=" + program + "/Engines/libStackvault.so\n").toUtf8()));
}

// Once loaded, the component is found by its bare name within the process,
// so the failure is checked in a fresh helper process.
TEST_F(LoaderTest, NothingToLoadGivesTheSystemError)
{
    auto createInChild = [&](const QByteArray& ini) {
        WriteFile(program + QStringLiteral("/DllPath.ini"), ini);
        QProcess child;
        child.start(TestEnvironment::TestBinary(QStringLiteral("stackvault_import_child")), {QStringLiteral("create")});
        EXPECT_TRUE(child.waitForFinished(20000));
        return child.readAllStandardOutput().trimmed();
    };
    EXPECT_EQ(QByteArray("8007007E"), createInChild("[Path]\nStackvault.dll=Nowhere\n"));
    EXPECT_EQ(QByteArray("8007007E"), createInChild("[Path]\nStackvault.dll=\n"));
    EXPECT_EQ(QByteArray("00000000"), createInChild("[Path]\nStackvault.dll=Engines\n"));
    ASSERT_TRUE(QFile::copy(realProgram + QStringLiteral("/libStackvault.so"), program + QStringLiteral("/libStackvault.so")));
    EXPECT_EQ(QByteArray("00000000"), createInChild("[Path]\nStackvault.dll=Nowhere\n")); // the bare name, beside the program
}

// Without the environment variable the registry value names the database,
// and without both it lives in the user's data folder.
TEST(LibraryLocationTest, RegistryValueThenDataFolder)
{
    const QByteArray saved = qgetenv("ALBIREO_LIBRARY_DB");
    qunsetenv("ALBIREO_LIBRARY_DB");
    auto initialize = [] {
        CDllCom loader;
        ILibraryEngine* engine = nullptr;
        EXPECT_EQ(S_OK, loader.CreateLibraryEngine(&engine));
        EXPECT_EQ(S_OK, engine->Initialize(0, 1, 0));
        engine->Release();
    };
    const QString defaultPath = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Albireo/library.db");
    initialize();
    EXPECT_TRUE(QFile::exists(defaultPath));

    const QString elsewhere = TestEnvironment::MakeFolder(QStringLiteral("elsewhere")) + QStringLiteral("/lib.db");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13\\Stackvault", 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"LibraryDatabase", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(elsewhere.utf16()),
                                            static_cast<DWORD>((elsewhere.size() + 1) * 2)));
    RegCloseKey(key);
    initialize();
    EXPECT_TRUE(QFile::exists(elsewhere));
    RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13\\Stackvault");
    qputenv("ALBIREO_LIBRARY_DB", saved);
}

TEST(ProfileStringTest, ReadsLikeGetPrivateProfileString)
{
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("ini"));
    const QString ini = folder + QStringLiteral("/a.ini");
    WriteFile(ini, "; comment\n[Other]\nKey=other\n[ path ]\n# note\n  KEY =  ' spaced value '  \nEmpty=\n");
    EXPECT_EQ(QStringLiteral(" spaced value "), ProfileString::Read(ini, "Path", "key", "d"));
    EXPECT_EQ(QString(), ProfileString::Read(ini, "Path", "Empty", "d"));
    EXPECT_EQ(QStringLiteral("d"), ProfileString::Read(ini, "Path", "Missing", "d"));
    EXPECT_EQ(QStringLiteral("other"), ProfileString::Read(ini, "other", "key", "d"));
    EXPECT_EQ(QStringLiteral("d"), ProfileString::Read(folder + QStringLiteral("/none.ini"), "Path", "Key", "d"));
    EXPECT_EQ(QStringLiteral(" spa"), ProfileString::Read(ini, "Path", "Key", "d", 5));

    const QString utf16 = folder + QStringLiteral("/w.ini");
    QByteArray bytes("\xFF\xFE", 2);
    const QString text = QStringLiteral("[Path]\r\nStackvault.dll=Ünïcode\r\n");
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    WriteFile(utf16, bytes);
    EXPECT_EQ(QStringLiteral("Ünïcode"), ProfileString::Read(utf16, "Path", "Stackvault.dll", ""));
}

} // namespace
