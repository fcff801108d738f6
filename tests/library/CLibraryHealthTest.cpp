// What the window relies on when the library is damaged: the damage is news
// once per run, the start-up check reports on the caller's thread and backs
// up only a sound library that changed since its last backup, and the
// repair answers with a readable report.
#include "CDllCom.h"
#include "CLibraryHealth.h"
#include "StringResources.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class LibraryHealthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceHandle(ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll")));
        folder = TestEnvironment::MakeFolder(QStringLiteral("health"));
        path = folder + QStringLiteral("/library.db");
        qputenv("ALBIREO_LIBRARY_DB", QFile::encodeName(path));
        ILibraryEngine* engine = nullptr;
        ASSERT_EQ(S_OK, loader.CreateLibraryEngine(&engine));
        ASSERT_EQ(S_OK, engine->Initialize(0, 1, 0));
        engine->Uninitialize();
        engine->Release();
    }
    void TearDown() override { SetResourceHandle(nullptr); }

    void Damage() const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("no library here\n").repeated(300));
    }
    void ChangeLibrary()
    {
        ILibraryEngine* engine = nullptr;
        ASSERT_EQ(S_OK, loader.CreateLibraryEngine(&engine));
        ASSERT_EQ(S_OK, engine->Initialize(0, 0, 0));
        EXPECT_EQ(S_OK, engine->AddTag(u"Changed", nullptr));
        engine->Uninitialize();
        engine->Release();
    }
    // Runs the start-up check and waits for its answer on this thread.
    HRESULT StartupCheck(CLibraryHealth& health)
    {
        HRESULT result = E_PENDING_MARK;
        Qt::HANDLE answeredOn = nullptr;
        QObject context;
        health.StartStartupCheck(&context, [&](HRESULT hr) {
            result = hr;
            answeredOn = QThread::currentThreadId();
        });
        while (result == E_PENDING_MARK) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(QThread::currentThreadId(), answeredOn);
        return result;
    }
    QStringList Backups() const { return QDir(folder).entryList({QStringLiteral("library.db.backup-*")}, QDir::Files); }

    static constexpr HRESULT E_PENDING_MARK = 0x7FFF0001; // no answer yet
    CDllCom loader;
    QString folder, path;
};

TEST_F(LibraryHealthTest, DamageIsToldOncePerRunAndAgainAfterARepair)
{
    CLibraryHealth health(loader);
    ASSERT_TRUE(health.CanRepair());
    EXPECT_FALSE(health.TakeFirstDamage(E_FAIL));
    EXPECT_FALSE(health.TakeFirstDamage(S_OK));
    EXPECT_TRUE(health.TakeFirstDamage(LIBRARY_E_DAMAGED));
    EXPECT_FALSE(health.TakeFirstDamage(LIBRARY_E_DAMAGED));
    Damage();
    QString report;
    ASSERT_EQ(S_OK, health.Repair(&report));
    EXPECT_TRUE(health.TakeFirstDamage(LIBRARY_E_DAMAGED));
}

TEST_F(LibraryHealthTest, StartupCheckAnswersOnTheCallersThreadAndBacksUpOnlyASoundLibrary)
{
    CLibraryHealth health(loader);
    EXPECT_EQ(S_OK, StartupCheck(health));
    EXPECT_EQ(1, Backups().size());
    EXPECT_EQ(S_OK, StartupCheck(health));
    EXPECT_EQ(1, Backups().size()) << "one backup a day";

    // A day later: a start with nothing changed copies nothing, one after a change does.
    const QString aged = QStringLiteral("library.db.backup-20000101120000000");
    ASSERT_TRUE(QDir(folder).rename(Backups().first(), aged));
    EXPECT_EQ(S_OK, StartupCheck(health));
    EXPECT_EQ(QStringList{aged}, Backups()) << "nothing changed since the backup";
    ChangeLibrary();
    EXPECT_EQ(S_OK, StartupCheck(health));
    EXPECT_EQ(2, Backups().size());

    for (const QString& backup : Backups()) QDir(folder).remove(backup);
    Damage();
    EXPECT_EQ(LIBRARY_E_DAMAGED, StartupCheck(health));
    EXPECT_TRUE(Backups().isEmpty());
}

TEST_F(LibraryHealthTest, TextsNameTheFileAndTheReportWhatWasKept)
{
    CLibraryHealth health(loader);
    EXPECT_TRUE(health.DamageQuestion().contains(path));
    EXPECT_TRUE(health.DamageLine().contains(path));
    EXPECT_EQ(QStringLiteral("a 1 b 2 c %s"), CLibraryHealth::Format(QStringLiteral("a %s b %s c %s"), {"1", "2"}));
    Damage();
    QString report;
    ASSERT_EQ(S_OK, health.Repair(&report));
    EXPECT_TRUE(report.contains(path + QStringLiteral(".damaged-"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Folders and files lost: 0"))) << report.toStdString();
    QString finding;
    EXPECT_EQ(S_OK, health.Check(true, &finding));
}

} // namespace
