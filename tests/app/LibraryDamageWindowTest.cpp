// The window over a damaged library: pages of the file table overwritten,
// before the start or while the program runs. The window says so once per
// run (the start-up check or the first engine call that meets the damage),
// No leaves the file as it is, Yes repairs it and the list shows what was
// saved; a sound library shows no box at all. A library of the earlier
// version opens like a current one and gets what it lacks meanwhile.
#include "EventualAssert.h"
#include "CAlbireoApp.h"
#include "CFileListView.h"
#include "CLibraryDamagePrompt.h"
#include "CFilterListCtrl.h"
#include "CMainFrame.h"
#include "CTagView.h"
#include "CatalogueFixture.h"
#include "CliRunner.h"
#include "ILibraryMaintenance.h"
#include "LibraryDamage.h"
#include "ModalSeam.h"
#include "PowerNotices.h"
#include "TestEnvironment.h"
#include "WinControls.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

constexpr int kFiles = 1000;

CatalogueFixture* g_catalogue = nullptr;
QByteArray g_soundLibrary; // the library's bytes before any damage

QByteArray Digest(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

// The first column of the first row of a query, on a connection of its own.
qint64 RawNumber(const QString& library, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(library).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* query = nullptr;
    qint64 number = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &query, nullptr) == SQLITE_OK && sqlite3_step(query) == SQLITE_ROW)
        number = sqlite3_column_int64(query, 0);
    sqlite3_finalize(query);
    sqlite3_close(db);
    return number;
}

// The library as the earlier version wrote it: no character counts of the
// names and no change count.
void MakeEarlierVersion(const QString& library)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(QFile::encodeName(library).constData(), &db));
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db,
                                      "DROP TABLE name_grams; DROP TABLE name_grams_uncounted;"
                                      " DROP TABLE library_changes; PRAGMA user_version=1",
                                      nullptr, nullptr, nullptr))
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class LibraryDamageWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        g_catalogue->Import("Holiday 2024", {{"DCIM/IMG_4001.JPG", 2048}}, {"Photo"});
        const CliRunner& cli = g_catalogue->Cli();
        const QString image = TestImages::MakeManyFilesIso(cli.Folder(), kFiles, 10);
        ASSERT_EQ(0, cli.Run({"insert", cli.ImageDriveLetter(), image}).exitCode);
        ASSERT_EQ(0, cli.Run({"import", cli.ImageDriveLetter(), "--name", "Many"}).exitCode);
        QFile library(g_catalogue->LibraryPath());
        ASSERT_TRUE(library.open(QIODevice::ReadOnly));
        g_soundLibrary = library.readAll();
    }
    static void TearDownTestSuite()
    {
        delete g_catalogue;
        g_catalogue = nullptr;
    }

    // The sound library again, without logs, kept copies or backups.
    void SetUp() override
    {
        CatalogueFixture::ResetProgramState();
        const QFileInfo library(Library());
        QDir folder = library.dir();
        for (const QString& name : folder.entryList({library.fileName() + "*"}, QDir::Files)) folder.remove(name);
        QFile file(Library());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(g_soundLibrary);
    }

    static QString Library() { return g_catalogue->LibraryPath(); }
    // Kept copies of a kind (".backup-", ".damaged-"), without their logs.
    static QStringList Kept(const QString& kind)
    {
        const QFileInfo library(Library());
        QStringList kept = library.dir().entryList({library.fileName() + kind + "*"}, QDir::Files);
        kept.removeIf([](const QString& name) { return name.endsWith("-wal") || name.endsWith("-shm"); });
        return kept;
    }

    // The program started without resetting its state (the answers queued
    // before the start are for the start).
    std::unique_ptr<CAlbireoApp> Start()
    {
        auto app = std::make_unique<CAlbireoApp>(QStringList{"albireo"});
        app->SetPowerNotices(std::make_unique<PowerNotices>());
        EXPECT_TRUE(app->InitInstance());
        return app;
    }

    // The result of the window's start-up check of the library once it has
    // run; E_FAIL when it does not end.
    static HRESULT StartupCheck(CMainFrame* frame)
    {
        QSignalSpy checked(frame->DamagePrompt(), &CLibraryDamagePrompt::startupChecked);
        if (!checked.wait(20000)) return E_FAIL;
        return checked.first().first().value<HRESULT>();
    }

    // Rows of found files (the search results minus their group header),
    // once the search has found them all.
    static int FoundFiles(CFileListView* view, const QString& text)
    {
        view->Search(text);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !view->IsListing(); }, 10000));
        const int rows = view->List()->Model()->rowCount();
        return rows > 0 ? rows - 1 : 0;
    }
};

TEST_F(LibraryDamageWindowTest, ASoundLibraryShowsNoBoxAndDamageMetLaterIsToldOnceAndNoKeepsTheFile)
{
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(S_OK, StartupCheck(frame));
    EXPECT_EQ(kFiles, FoundFiles(frame->FileListView(), "file"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(ModalSeam::Shown().empty()) << "a sound library shows no box";
    EXPECT_EQ(1, Kept(".backup-").size()) << "the day's backup of a sound library";

    // The pages go bad while the program runs: the next search that shows
    // a row of theirs meets them.
    QStringList lostNames;
    ASSERT_GT(DamageFileTable(Library(), &lostNames), 0);
    ASSERT_FALSE(lostNames.isEmpty());
    const QByteArray damaged = Digest(Library());
    ModalSeam::QueueAnswer(IDNO);
    QSignalSpy answered(frame->DamagePrompt(), &CLibraryDamagePrompt::answered);
    frame->FileListView()->Search(lostNames.first());
    ASSERT_TRUE(answered.wait(5000)) << "the damage is told after the search has returned";
    ASSERT_EQ(1u, ModalSeam::Shown().size());
    const ModalRecord& question = ModalSeam::Shown().front();
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONWARNING), question.style);
    EXPECT_TRUE(question.text.contains(Library())) << question.text.toStdString();
    EXPECT_EQ(IDNO, question.result);

    for (const QString& text : lostNames.mid(1, 3)) frame->FileListView()->Search(text);
    QTest::qWait(300);
    EXPECT_EQ(1u, ModalSeam::Shown().size()) << "once per run, not once per search";
    EXPECT_EQ(damaged, Digest(Library())) << "No leaves the file as it is";
    EXPECT_TRUE(Kept(".damaged-").isEmpty());
}

TEST_F(LibraryDamageWindowTest, TheQuestionWaitsWhileAnImportKeepsTheWindowDisabled)
{
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(E_FAIL, StartupCheck(frame));
    frame->setEnabled(false); // as while a disc is imported
    ModalSeam::QueueAnswer(IDNO);
    frame->OnEngineFailure(LIBRARY_E_DAMAGED);
    QTest::qWait(100);
    EXPECT_TRUE(ModalSeam::Shown().empty()) << "no engine is closed under an import";
    EXPECT_TRUE(frame->DamagePrompt()->IsQuestionPending());
    frame->setEnabled(true);
    ASSERT_EVENTUALLY(ModalSeam::Shown().size() == 1u);
    EXPECT_FALSE(frame->DamagePrompt()->IsQuestionPending());
}

TEST_F(LibraryDamageWindowTest, DamageFoundAtStartIsRepairedOnYesAndTheListShowsTheRecoveredDiscs)
{
    const int lost = DamageFileTable(Library());
    ASSERT_GT(lost, 0);
    ModalSeam::QueueAnswer(IDYES);
    ModalSeam::QueueAnswer(IDOK);
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    ASSERT_NE(frame, nullptr);
    QSignalSpy answered(frame->DamagePrompt(), &CLibraryDamagePrompt::answered);
    ASSERT_TRUE(answered.wait(20000));
    EXPECT_EQ(S_OK, answered.first().first().value<HRESULT>());

    ASSERT_EQ(2u, ModalSeam::Shown().size());
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONWARNING), ModalSeam::Shown()[0].style);
    const QString report = ModalSeam::Shown()[1].text;
    EXPECT_TRUE(report.contains(QStringLiteral("Folders and files lost: %1").arg(lost))) << report.toStdString();
    EXPECT_EQ(1, Kept(".damaged-").size()) << "the damaged file is kept aside";

    CFileListView* view = frame->FileListView();
    ASSERT_EQ(2, view->List()->Model()->rowCount()) << "both discs, read from the new library";
    QStringList names;
    for (int row = 0; row < 2; ++row) names << view->Display(row, 0).text;
    names.sort();
    EXPECT_EQ((QStringList{"Holiday 2024", "Many"}), names);
    EXPECT_EQ(kFiles - lost, FoundFiles(view, "file")) << "every file the readable pages held";
    EXPECT_EQ(0, g_catalogue->Cli().Run({"check", "--full"}).exitCode);
    QTest::qWait(50);
    EXPECT_EQ(2u, ModalSeam::Shown().size());
}

TEST_F(LibraryDamageWindowTest, ALibraryOfTheEarlierVersionOpensAtOnceAndGetsItsCountsWhileTheWindowRuns)
{
    MakeEarlierVersion(Library());
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(S_OK, StartupCheck(frame));
    CFileListView* view = frame->FileListView();
    EXPECT_EQ(2, view->List()->Model()->rowCount()) << "both discs, as from a current library";
    // Two characters: counted by scanning the names until the counts exist.
    EXPECT_EQ(kFiles, FoundFiles(view, "le"));
    ASSERT_TRUE(QTest::qWaitFor([] { return RawNumber(Library(), "SELECT count(*) FROM name_grams_uncounted") == 0; },
                                20000));
    EXPECT_GT(RawNumber(Library(), "SELECT count(*) FROM name_grams"), 0);
    EXPECT_EQ(kFiles, FoundFiles(view, "le")) << "the same, now from the counts";
    EXPECT_EQ(kFiles, view->FoundFileCount());
    EXPECT_TRUE(ModalSeam::Shown().empty());
}

TEST_F(LibraryDamageWindowTest, ALibraryThatCannotBeOpenedIsOfferedTheRepairBeforeThePanesStart)
{
    {
        QFile file(Library());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(4096, '\x5A')); // the header and the schema
    }
    const QByteArray damaged = Digest(Library());

    // No: the panes cannot open the library and the start ends, as before.
    ModalSeam::QueueAnswer(IDNO);
    {
        CAlbireoApp app(QStringList{"albireo"});
        app.SetPowerNotices(std::make_unique<PowerNotices>());
        EXPECT_FALSE(app.InitInstance());
        app.ExitInstance();
    }
    ASSERT_GE(ModalSeam::Shown().size(), 2u);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONWARNING), ModalSeam::Shown().front().style);
    EXPECT_EQ(3014u, ModalSeam::Shown().back().textId) << "the library could not be opened";
    EXPECT_EQ(damaged, Digest(Library()));

    // Yes: a new library (nothing of it could be read without its schema)
    // and the window starts over it.
    ModalSeam::Reset();
    ModalSeam::QueueAnswer(IDYES);
    ModalSeam::QueueAnswer(IDOK);
    auto app = Start();
    ASSERT_NE(app->MainFrame(), nullptr);
    ASSERT_EQ(2u, ModalSeam::Shown().size());
    EXPECT_TRUE(ModalSeam::Shown()[1].text.contains(".damaged-")) << ModalSeam::Shown()[1].text.toStdString();
    EXPECT_EQ(1, Kept(".damaged-").size());
    EXPECT_EQ(0, app->MainFrame()->FileListView()->List()->Model()->rowCount());
    EXPECT_EQ(4, app->MainFrame()->TagView()->CategoryList()->GetItemCount()) << "the category tags seeded anew";
    EXPECT_EQ(S_OK, StartupCheck(app->MainFrame()));
    EXPECT_EQ(2u, ModalSeam::Shown().size());
}

} // namespace
