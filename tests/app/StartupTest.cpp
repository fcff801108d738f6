// The application object's start-up decisions: which string table it loads
// (with every fallback of the language component), what it keeps of the
// command line, which programs of the suite block it, and how a second
// start hands over to the running instance (two real processes).
#include "CAlbireoApp.h"
#include "ModalSeam.h"
#include "NamedMutex.h"
#include "ProcessTable.h"
#include "Registry.h"
#include "StringReg.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const WCHAR* const kKey = u"Software\\Quorvel\\Flintwell13";

void CopyFile(const QString& from, const QString& to)
{
    QDir().mkpath(QFileInfo(to).path());
    ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
}

// A program folder with only the parts a case needs.
QString MakeProgramFolder(bool tableBeside, bool englishTable, bool languageComponent)
{
    const QString real = TestEnvironment::ProgramFolder();
    const QString folder = TestEnvironment::MakeFolder("program");
    if (tableBeside) CopyFile(real + "/FlwRC.res", folder + "/FlwRC.res");
    if (englishTable) CopyFile(real + "/Language/Enu/FlwRC.res", folder + "/Language/Enu/FlwRC.res");
    if (languageComponent)
        for (const QString& name : QDir(real + "/Lingmere").entryList(QDir::Files))
            CopyFile(real + "/Lingmere/" + name, folder + "/Lingmere/" + name);
    return folder;
}

void SetCurrentLang(const QString& code)
{
    StringReg value(HKEY_CURRENT_USER, kKey, u"CurrentLang");
    value = code;
    ASSERT_TRUE(value.Write());
}

QString CurrentLang()
{
    StringReg value(HKEY_CURRENT_USER, kKey, u"CurrentLang");
    return value.Read() ? value.ToString() : QString();
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestEnvironment::ResetRegistry();
        ModalSeam::Reset();
        m_programFolder = qgetenv("ALBIREO_PROGRAM_DIR");
        qputenv("ALBIREO_RUNTIME_DIR", TestEnvironment::MakeFolder("run").toLocal8Bit());
    }
    void TearDown() override { qputenv("ALBIREO_PROGRAM_DIR", m_programFolder); }

    QByteArray m_programFolder;
};

TEST_F(StartupTest, WithoutTheLanguageComponentTheTableBesideTheProgramIsUsed)
{
    const QString folder = MakeProgramFolder(true, true, false);
    qputenv("ALBIREO_PROGRAM_DIR", folder.toLocal8Bit());
    CAlbireoApp app({"albireo"});
    ASSERT_TRUE(app.LoadResourceModule());
    EXPECT_FALSE(app.HasLanguageComponent());
    EXPECT_EQ(app.ResourcePath(), folder + "/FlwRC.res");
}

TEST_F(StartupTest, ALanguageWhoseTableIsMissingFallsBackToEnglishAndIsForgotten)
{
    const QString folder = MakeProgramFolder(false, true, true);
    qputenv("ALBIREO_PROGRAM_DIR", folder.toLocal8Bit());
    SetCurrentLang("Fra");
    CAlbireoApp app({"albireo"});
    ASSERT_TRUE(app.LoadResourceModule());
    EXPECT_TRUE(app.HasLanguageComponent());
    EXPECT_EQ(app.ResourcePath(), folder + "/Language/Enu/FlwRC.res");
    EXPECT_EQ(CurrentLang(), "ENU");
}

TEST_F(StartupTest, TheLanguageComponentGivesTheTableOfTheChosenLanguage)
{
    const QString folder = MakeProgramFolder(false, true, true);
    qputenv("ALBIREO_PROGRAM_DIR", folder.toLocal8Bit());
    SetCurrentLang("Enu");
    CAlbireoApp app({"albireo"});
    ASSERT_TRUE(app.LoadResourceModule());
    EXPECT_EQ(QFileInfo(app.ResourcePath()).canonicalFilePath(),
              QFileInfo(folder + "/Language/Enu/FlwRC.res").canonicalFilePath());
    EXPECT_EQ(CurrentLang(), "Enu") << "a working choice is left as the user made it";
}

TEST_F(StartupTest, NoTableAtAllNamesTheMissingFileAndRefusesToStart)
{
    const QString folder = MakeProgramFolder(false, false, false);
    qputenv("ALBIREO_PROGRAM_DIR", folder.toLocal8Bit());
    CAlbireoApp app({"albireo"});
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    const ModalRecord& box = ModalSeam::Shown().front();
    EXPECT_EQ(box.kind, "SystemMessageBox");
    EXPECT_TRUE(box.text.startsWith("The file [" + folder + "/Language/")) << box.text.toStdString();
    EXPECT_TRUE(box.text.endsWith("] is missing.\r\nPlease reinstall application."));
    EXPECT_FALSE(app.HoldsInstanceMutex());
}

TEST_F(StartupTest, TheCommandLineKeepsAnExistingStartPathAndThePFlag)
{
    const QString file = TestEnvironment::MakeFolder("start") + "/disc.iso";
    QFile(file).open(QIODevice::WriteOnly);
    {
        CAlbireoApp app({"albireo", "/P", file});
        app.InitInstance();
        EXPECT_EQ(app.StartPath(), file);
        EXPECT_TRUE(app.StartFlagP());
        app.ExitInstance();
    }
    CAlbireoApp app({"albireo", file + ".missing"});
    app.InitInstance();
    EXPECT_TRUE(app.StartPath().isEmpty()) << "a path that does not exist is not kept";
    EXPECT_FALSE(app.StartFlagP());
}

TEST_F(StartupTest, ASuiteProgramBlocksUnlessAnOlderVersionOfItRuns)
{
    CAlbireoApp app({"albireo"});
    ASSERT_TRUE(app.LoadResourceModule());
    const QString burner = CAlbireoApp::SuitePrograms()[1].mutexId;
    EXPECT_EQ(app.ProbeSuiteProgram(burner), 0) << "nobody holds it";

    DWORD error = 0;
    auto held = NamedMutex::Create("Global\\" + burner, true, &error);
    ASSERT_TRUE(held && held->Owned());
    ASSERT_TRUE(app.LoadResourceModule());
    EXPECT_EQ(app.ProbeSuiteProgram(burner), 1);

    // An older burning program holds that mutex itself: then it does not block.
    const QString older = TestEnvironment::MakeFolder("older") + "/Flintwell9.exe";
    ASSERT_TRUE(QFile::copy("/bin/sleep", older));
    QProcess sleeper;
    sleeper.start(older, {"30"});
    ASSERT_TRUE(sleeper.waitForStarted());
    EXPECT_TRUE(CAlbireoApp::IsProcessRunning("Flintwell9.exe"));
    EXPECT_FALSE(CAlbireoApp::IsProcessRunning("flintwell9.exe")) << "names compare with their letter case";
    EXPECT_FALSE(CAlbireoApp::IsProcessRunning("Flintwell9")) << "whole names only";
    ASSERT_TRUE(app.LoadResourceModule());
    EXPECT_EQ(app.ProbeSuiteProgram(burner), 0);
    sleeper.kill();
    sleeper.waitForFinished();
}

// Two real processes: the program already running, and a second start.
class SecondStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString root = TestEnvironment::MakeFolder("instances");
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("XDG_CONFIG_HOME", root + "/config");
        m_environment.insert("XDG_DATA_HOME", root + "/data");
        m_environment.insert("ALBIREO_REGISTRY_USER", root + "/config/user.reg");
        m_environment.insert("ALBIREO_REGISTRY_MACHINE", root + "/machine.reg");
        m_environment.insert("ALBIREO_RUNTIME_DIR", root + "/run");
        m_environment.insert("ALBIREO_LIBRARY_DB", root + "/library.db");
        m_environment.insert("ALBIREO_UNATTENDED", "1");
        m_environment.insert("ALBIREO_DUMPMSG", "1");
        m_environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_environment.remove("ALBIREO_PROGRAM_DIR");
        m_folder = root;
    }

    void StartFirst()
    {
        m_first.setProcessEnvironment(m_environment);
        m_first.start(TestEnvironment::ProgramFolder() + "/albireo", {});
        ASSERT_TRUE(m_first.waitForStarted());
        // Running once its window listens for other starts.
        for (int i = 0; i < 300 && QDir(m_folder + "/run").entryList({"Albireo13-*"}, QDir::System).isEmpty(); ++i)
            QTest::qWait(50);
        ASSERT_FALSE(QDir(m_folder + "/run").entryList({"Albireo13-*"}, QDir::System).isEmpty())
            << m_first.readAllStandardError().toStdString();
    }

    QString RunSecond(const QStringList& arguments, int* exitCode)
    {
        QProcess second;
        second.setProcessEnvironment(m_environment);
        second.start(TestEnvironment::ProgramFolder() + "/albireo", arguments);
        EXPECT_TRUE(second.waitForFinished(30000));
        *exitCode = second.exitCode();
        return QString::fromUtf8(second.readAllStandardError());
    }

    QString FirstOutput()
    {
        QTest::qWait(300);
        m_firstErr += QString::fromUtf8(m_first.readAllStandardError());
        return m_firstErr;
    }

    void TearDown() override
    {
        m_first.kill();
        m_first.waitForFinished();
    }

    QProcessEnvironment m_environment;
    QString m_folder;
    QProcess m_first;
    QString m_firstErr;
};

TEST_F(SecondStartTest, ASecondStartRefusesAndHandsItsPathToTheRunningInstance)
{
    StartFirst();
    const QString file = m_folder + "/holiday.iso";
    QFile(file).open(QIODevice::WriteOnly);
    int exitCode = -1;
    const QString second = RunSecond({file}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(second.contains("unanswered modal run")) << "with a start path nothing is asked: " << second.toStdString();
    const QString first = FirstOutput();
    EXPECT_TRUE(first.contains("broadcast {6EA1F4E2-B437-4d6d-B59F-C5858A3C7E11} received")) << first.toStdString();
    EXPECT_TRUE(first.contains("start path from another instance: " + file)) << first.toStdString();
    EXPECT_EQ(m_first.state(), QProcess::Running);
}

TEST_F(SecondStartTest, ASecondStartWithoutAPathSaysTheProgramRuns)
{
    StartFirst();
    int exitCode = -1;
    const QString second = RunSecond({}, &exitCode);
    EXPECT_TRUE(second.contains("unanswered modal run: MessageBox 672")) << second.toStdString();
    EXPECT_FALSE(FirstOutput().contains("start path from another instance"));
}

// The machine-wide lock folder is not trusted blindly: a folder others may
// write to without the sticky bit, or a link planted as the instance's lock
// file, stops the start with message 3011, and nothing there is changed.
TEST_F(SecondStartTest, AnUntrustedLockFolderOrAPlantedLockLinkStopsTheStartAndChangesNothing)
{
    const QString run = m_folder + "/run";
    ASSERT_TRUE(QDir().mkdir(run));
    ASSERT_EQ(0, chmod(QFile::encodeName(run).constData(), 0777));
    int exitCode = -1;
    QString output = RunSecond({}, &exitCode);
    EXPECT_TRUE(output.contains("unanswered modal run: MessageBox 3011")) << output.toStdString();
    EXPECT_TRUE(QDir(run).isEmpty());
    struct stat info {};
    ASSERT_EQ(0, stat(QFile::encodeName(run).constData(), &info));
    EXPECT_EQ(info.st_mode & 07777, mode_t(0777)) << "not made sticky";

    ASSERT_EQ(0, chmod(QFile::encodeName(run).constData(), 01777));
    const QString victim = m_folder + "/secret.txt";
    QFile secret(victim);
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("mine");
    secret.close();
    ASSERT_EQ(0, chmod(QFile::encodeName(victim).constData(), 0600));
    ASSERT_TRUE(QFile::link(victim, run + "/{6EA1F4E2-B437-4d6d-B59F-C5858A3C7E11}.lock"));
    output = RunSecond({}, &exitCode);
    EXPECT_TRUE(output.contains("unanswered modal run: MessageBox 3011")) << output.toStdString();
    ASSERT_EQ(0, stat(QFile::encodeName(victim).constData(), &info));
    EXPECT_EQ(info.st_mode & 07777, mode_t(0600)) << "the link's target is not opened up";
    ASSERT_TRUE(secret.open(QIODevice::ReadOnly));
    EXPECT_EQ(secret.readAll(), QByteArray("mine"));
}

} // namespace
