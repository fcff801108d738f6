// The program's window started the way the program starts it: the
// application object's start-up over a library of imported discs, then the
// main frame's layout, placement, search box, scan callbacks and the end
// of the session during an import.
#include "EventualAssert.h"
#include "CAlbCommandView.h"
#include "CAlbListCtrl.h"
#include "CAlbireoApp.h"
#include "CArcEditWrapper.h"
#include "CDiscAccess.h"
#include "CFilterListCtrl.h"
#include "CFileListView.h"
#include "CGButton.h"
#include "CMainFrame.h"
#include "DesktopOpener.h"
#include "CProgressDlg.h"
#include "CTagView.h"
#include "CatalogueFixture.h"
#include "CGEdit.h"
#include "ModalSeam.h"
#include "PowerNotices.h"
#include "ScreenshotDir.h"
#include "TestEnvironment.h"
#include "WindowPlacement.h"
#include "TrellisInterfaces.h"

#include <QDir>
#include <QDirIterator>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

namespace {

CatalogueFixture* g_catalogue = nullptr;

// The program folder again, its files linked, but for the files left out
// and the string tables, which are copied with `edit` applied.
QString MirrorProgramFolder(const QString& name, const QStringList& leftOut,
                            const std::function<QByteArray(QByteArray)>& edit = {})
{
    const QDir real(TestEnvironment::ProgramFolder());
    const QString mirror = TestEnvironment::MakeFolder(name);
    QDirIterator files(real.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QString relative = real.relativeFilePath(file);
        if (leftOut.contains(relative)) continue;
        const QString target = mirror + u'/' + relative;
        QDir().mkpath(QFileInfo(target).path());
        if (edit && QFileInfo(file).fileName() == QLatin1String("FlwRC.res")) {
            QFile from(file), to(target);
            EXPECT_TRUE(from.open(QIODevice::ReadOnly) && to.open(QIODevice::WriteOnly));
            to.write(edit(from.readAll()));
        } else {
            EXPECT_TRUE(QFile::link(file, target)) << target.toStdString();
        }
    }
    return mirror;
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        g_catalogue->Import("Holiday 2024", {{"DCIM/IMG_4001.JPG", 2048}, {"DCIM/IMG_4002.JPG", 4096}}, {"Photo"});
        g_catalogue->Import("Backup March", {{"docs/report.pdf", 70000}, {"docs/notes.txt", 120}, {"music/a.mp3", 5000}},
                            {"Document"});
        g_catalogue->Import("Concert Live", {{"track01.flac", 90000}}, {"Music"});
    }
    static void TearDownTestSuite()
    {
        delete g_catalogue;
        g_catalogue = nullptr;
    }

    void SetUp() override
    {
        CatalogueFixture::ResetProgramState();
    }

    std::unique_ptr<CAlbireoApp> Start()
    {
        auto app = std::make_unique<CAlbireoApp>(QStringList{"albireo"});
        auto power = std::make_unique<PowerNotices>();
        m_pPower = power.get();
        app->SetPowerNotices(std::move(power));
        EXPECT_TRUE(app->InitInstance());
        if (app->MainFrame()) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(app->MainFrame()));
        }
        return app;
    }

    PowerNotices* m_pPower = nullptr;
};

TEST_F(MainWindowTest, StartsWithTheCataloguedDiscsLaidOutAtScaleOne)
{
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->size(), QSize(1024, 668));
    EXPECT_EQ(frame->windowTitle(), "Albireo");
    EXPECT_EQ(frame->minimumWidth(), 450);
    EXPECT_EQ(frame->minimumHeight(), 320);
    EXPECT_EQ(frame->CommandView()->height(), 26);
    EXPECT_EQ(frame->TagView()->width(), 210);
    EXPECT_EQ(frame->FileListView()->List()->Model()->rowCount(), 3);
    EXPECT_FALSE(frame->CommandView()->GetButton(1)->isEnabled()) << "nothing to go back to";
    EXPECT_TRUE(frame->CommandView()->GetButton(2)->isVisible());
    EXPECT_FALSE(frame->CommandView()->GetButton(3)->isVisible());
    // The search box sits at the right end of the bar, the view buttons left of it.
    const int barWidth = frame->CommandView()->width();
    EXPECT_EQ(frame->SearchBox()->geometry().right(), barWidth - 1);
    EXPECT_EQ(frame->CommandView()->GetButton(2)->geometry().right(),
              frame->SearchBox()->x() - 10 - 1);
    ScreenshotDir::Save(frame, "main-window");
}

TEST_F(MainWindowTest, TheWindowKeepsItsPanesUsableWhenSmallAndTheColumnsFillItWhenLarge)
{
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    const auto* menuBar = frame->findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    frame->resize(200, 150);
    EXPECT_EQ(frame->size(), QSize(450, 320));
    EXPECT_GT(frame->ButtonRect(CGXTFrameWnd::HitMinimise).left(), menuBar->geometry().right())
        << "the caption buttons stay clear of the menu";
    EXPECT_GE(frame->FileListView()->List()->viewport()->height(), 100) << "a few rows of the list show";
    EXPECT_GE(frame->TagView()->height(), 200);

    const auto filled = [frame] {
        const CAlbListCtrl* list = frame->FileListView()->List();
        int columns = 0;
        for (int column = 0; column < list->Model()->columnCount(); ++column) columns += list->columnWidth(column);
        return list->viewport()->width() - columns;
    };
    frame->resize(1600, 900);
    ASSERT_EVENTUALLY(frame->FileListView()->List()->viewport()->width() > 1200);
    EXPECT_GE(filled(), 0);
    EXPECT_LE(filled(), 4) << "no empty band right of the last column";
    frame->resize(700, 500);
    ASSERT_EVENTUALLY(frame->FileListView()->List()->viewport()->width() < 600);
    EXPECT_GE(filled(), 0) << "no scrolling sideways";
    EXPECT_LE(filled(), 4);
}

TEST_F(MainWindowTest, PlacementIsSavedOnCloseAndRestoredMaximisedIncluded)
{
    {
        auto app = Start();
        app->MainFrame()->setGeometry(120, 90, 900, 600);
        app->MainFrame()->close();
        app->ExitInstance();
    }
    const std::optional<WindowPlacement> stored = WindowPlacement::Read();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->normal, QRect(120, 90, 900, 600));
    EXPECT_FALSE(stored->maximised);
    {
        auto app = Start();
        EXPECT_EQ(app->MainFrame()->geometry(), QRect(120, 90, 900, 600));
        app->MainFrame()->showMaximized();
        ASSERT_EVENTUALLY(app->MainFrame()->isMaximized());
        app->MainFrame()->close();
        app->ExitInstance();
    }
    ASSERT_TRUE(WindowPlacement::Read()->maximised);
    EXPECT_EQ(WindowPlacement::Read()->normal, QRect(120, 90, 900, 600)) << "the normal rectangle, not the maximised one";
    auto app = Start();
    EXPECT_TRUE(app->MainFrame()->isMaximized()) << "the maximised flag wins";
    app->MainFrame()->showNormal();
    ASSERT_EVENTUALLY(app->MainFrame()->geometry() == QRect(120, 90, 900, 600));
}

TEST_F(MainWindowTest, ThreeQuickKeystrokesStartOneSearchAfterTheLast)
{
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    QSignalSpy searches(frame->FileListView(), &CFileListView::searchRan);
    QTest::keyClicks(frame->SearchBox()->Edit(), "IMG");
    EXPECT_TRUE(frame->IsSearchPending());
    EXPECT_EQ(searches.count(), 0);
    EXPECT_EQ(frame->FileListView()->List()->GetMode(), CAlbListCtrl::SearchResults) << "the list changes at once";
    EXPECT_FALSE(frame->CommandView()->GetButton(2)->isEnabled());
    ASSERT_EVENTUALLY(searches.count() == 1);
    QTest::qWait(400);
    ASSERT_EQ(searches.count(), 1);
    EXPECT_EQ(searches.first().first().toString(), "IMG");
    EXPECT_EQ(frame->FileListView()->List()->Model()->rowCount(), 3) << "a header and the two pictures";
    frame->SearchBox()->SetText(QStringLiteral("IMG_gjpq"));
    ScreenshotDir::Save(frame->SearchBox(), "search-box-text");
    frame->SearchBox()->SetText(QStringLiteral("IMG"));

    // Escape empties the box and the list shows the discs again; the button
    // of an empty box does nothing.
    QTest::keyClick(frame->SearchBox()->Edit(), Qt::Key_Escape);
    EXPECT_TRUE(frame->SearchBox()->Text().isEmpty());
    EXPECT_EQ(frame->FileListView()->List()->GetMode(), CAlbListCtrl::DiscList);
    EXPECT_TRUE(frame->CommandView()->GetButton(2)->isEnabled());
    QTest::mouseClick(frame->SearchBox()->Button(), Qt::LeftButton);
    QTest::qWait(400);
    EXPECT_EQ(searches.count(), 1);
}

TEST_F(MainWindowTest, CancelMessageSetsBothFlagsOfTheDiscAccess)
{
    auto app = Start();
    CDiscAccess* access = CAlbireoApp::GetDiscAccess();
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(SendMessage(app->MainFrame(), CMainFrame::kCancelMessage, 1), 1);
    EXPECT_EQ(access->CancelRequested(), 1);
    EXPECT_EQ(SendMessage(app->MainFrame(), CMainFrame::kCancelMessage, 0), 1);
    EXPECT_EQ(access->CancelRequested(), 0);
}

TEST_F(MainWindowTest, ScanCodesFromTheWorkerActOnTheWindowThread)
{
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    const std::u16string name = u"Holiday 2024";
    CMainFrame::ScanCallbackProc(ScanStarting, reinterpret_cast<intptr_t>(name.c_str()), frame->CallbackContext());
    EXPECT_FALSE(frame->ClientArea()->isEnabled());
    EXPECT_TRUE(frame->isEnabled()) << "the caption still moves and minimises the window";
    EXPECT_TRUE(frame->ProgressDlg()->isEnabled());
    EXPECT_TRUE(frame->ProgressDlg()->isVisible());
    EXPECT_TRUE(frame->IsPolling());
    EXPECT_TRUE(frame->ProgressDlg()->Title().contains("Holiday 2024"));

    std::thread worker([&] {
        int success = 1;
        CMainFrame::ScanCallbackProc(ScanFinished, reinterpret_cast<intptr_t>(&success), frame->CallbackContext());
    });
    worker.join();
    EXPECT_FALSE(frame->ClientArea()->isEnabled()) << "nothing happens on the worker's thread";
    ASSERT_EVENTUALLY(frame->ClientArea()->isEnabled());
    EXPECT_FALSE(frame->ProgressDlg()->isVisible());
    EXPECT_FALSE(frame->IsPolling());
    ASSERT_FALSE(ModalSeam::Shown().empty());
    EXPECT_EQ(ModalSeam::Shown().back().textId, 3015u);

    CMainFrame::ScanCallbackProc(ScanStarting, 0, frame->CallbackContext());
    std::thread failing([&] {
        int failure = 0;
        CMainFrame::ScanCallbackProc(ScanFinished, reinterpret_cast<intptr_t>(&failure), frame->CallbackContext());
    });
    failing.join();
    ASSERT_EVENTUALLY(frame->ClientArea()->isEnabled());
    EXPECT_EQ(ModalSeam::Shown().back().textId, 3007u);
}

TEST_F(MainWindowTest, HelpOpensTheInstalledPageAtTheTopic)
{
    auto app = Start();
    QUrl opened;
    DesktopOpener::Set([&](const QUrl& url) {
        opened = url;
        return true;
    });
    QTest::keyClick(app->MainFrame()->FileListView()->List(), Qt::Key_F1);
    DesktopOpener::Set([](const QUrl&) { return false; });
    ASSERT_TRUE(opened.isLocalFile());
    EXPECT_EQ(opened.fragment(), "main-window");
    EXPECT_TRUE(QFileInfo::exists(opened.toLocalFile())) << opened.toLocalFile().toStdString();
    QFile page(opened.toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("id=\"main-window\"")) << "the anchor exists on the page";

    // Without a web browser the user is told so, with the page to open by hand.
    ModalSeam::Reset();
    QTest::keyClick(app->MainFrame()->FileListView()->List(), Qt::Key_F1);
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_TRUE(ModalSeam::Shown()[0].text.contains("no web browser")) << ModalSeam::Shown()[0].text.toStdString();
    EXPECT_TRUE(ModalSeam::Shown()[0].text.contains(QDir::toNativeSeparators(opened.toLocalFile())));
}

// Puts the image into the first image drive of the disc access; its list position.
int InsertIntoImageDrive(CDiscAccess& access, const QString& image)
{
    for (int position = 0; position < access.GetDriveCount(); ++position) {
        ITrellisDevice* device = nullptr;
        if (FAILED(access.Engine()->GetDrive(access.EngineIndexAt(position), &device))) continue;
        ITrellisImageDrive* drive = nullptr;
        const HRESULT hr = device->QueryInterface(IID_ITrellisImageDrive, reinterpret_cast<void**>(&drive));
        device->Release();
        if (FAILED(hr)) continue;
        const HRESULT inserted = drive->InsertImage(reinterpret_cast<const WCHAR*>(image.utf16()));
        drive->Release();
        if (SUCCEEDED(inserted)) return position;
    }
    return -1;
}

TEST_F(MainWindowTest, TheEndOfTheSessionDuringAnImportCancelsItAndNothingIsKept)
{
    auto app = Start();
    CDiscAccess* access = CAlbireoApp::GetDiscAccess();
    ILibraryEngine* library = app->MainFrame()->FileListView()->Engine();
    const QString image = TestImages::MakeManyFilesIso(TestEnvironment::MakeFolder("big"), 40000, 400);
    const int position = InsertIntoImageDrive(*access, image);
    ASSERT_GE(position, 0);
    ASSERT_EQ(access->SelectDrive(position), S_OK);
    char identity[MAX_PATH] = {};
    WCHAR label[MAX_PATH] = {}, spare[MAX_PATH] = {}, date[MAX_PATH] = {};
    int audio = 0, discClass = 0, folders = 0, files = 0;
    INT64 used = 0, capacity = 0;
    ASSERT_EQ(access->ReadDiscProperties(identity, label, spare, &audio, &discClass, &folders, &files, &used, &capacity,
                                         date),
              S_OK);
    ASSERT_EQ(library->AddDisc(identity, u"", u"", u"", u"Big", u"", audio, discClass, folders, files, used, capacity,
                               date),
              S_OK);
    LONG discId = 0, labelId = 0;
    library->GetLastAddedDisc(&discId, &labelId);
    access->SetLibrary(library);
    access->SetDiscIds(discId, labelId);

    emit m_pPower->ending();
    EXPECT_EQ(access->CancelRequested(), 0) << "no import runs: nothing to cancel";

    ASSERT_EQ(access->StartScan(0), 1);
    ASSERT_EVENTUALLY_WITHIN(access->IsBusy(), 5000);
    emit m_pPower->ending();
    EXPECT_EQ(access->CancelRequested(), 1);
    ASSERT_TRUE(access->WaitForScan(60000));
    ASSERT_EVENTUALLY(app->MainFrame()->ClientArea()->isEnabled());
    LONG found = -1;
    library->FindDiscByIdentity(identity, &found);
    EXPECT_EQ(found, 0) << "a cancelled import keeps nothing of the disc";
}

} // namespace

TEST_F(MainWindowTest, TickedTagsFilterTheDiscListAndTheAllButtonClearsThem)
{
    auto app = Start();
    CMainFrame* frame = app->MainFrame();
    ASSERT_NE(frame, nullptr);
    // albireo-cli seeded the four category tags before its first disc.
    CFilterListCtrl* categories = frame->TagView()->CategoryList();
    ASSERT_EQ(categories->GetItemCount(), 4);
    ASSERT_EQ(categories->GetItemText(1), QStringLiteral("Photo"));
    ASSERT_EQ(categories->GetItemText(2), QStringLiteral("Music"));
    const auto rows = [&] { return frame->FileListView()->List()->Model()->rowCount(); };
    QTest::mouseClick(categories->viewport(), Qt::LeftButton, Qt::NoModifier, categories->StateRect(1).center());
    EXPECT_EQ(frame->TagView()->Selection(), QStringList{"Photo"});
    EXPECT_EQ(rows(), 1) << "only the disc tagged Photo";
    QTest::mouseClick(categories->viewport(), Qt::LeftButton, Qt::NoModifier, categories->StateRect(2).center());
    EXPECT_EQ(rows(), 0) << "every ticked tag narrows the list";
    EXPECT_TRUE(categories->IsTicked(2)) << "the list's update kept the ticks";
    QTest::mouseClick(frame->TagView()->AllButton(), Qt::LeftButton);
    EXPECT_EQ(rows(), 3);
    EXPECT_FALSE(categories->IsTicked(1));
    EXPECT_FALSE(categories->IsTicked(2));
}

TEST_F(MainWindowTest, AMissingSkinPictureFallsBackAndAMissingMenuIsSaid)
{
    const struct Restore {
        QByteArray folder = qgetenv("ALBIREO_PROGRAM_DIR");
        ~Restore() { qputenv("ALBIREO_PROGRAM_DIR", folder); }
    } restore;
    qputenv("ALBIREO_PROGRAM_DIR",
            MirrorProgramFolder("without-search-picture", {"Image/MainFrame/searchBarAndIcon.png"}).toLocal8Bit());
    {
        auto app = Start();
        ASSERT_NE(app->MainFrame(), nullptr) << "the start goes on without the picture";
        CArcEditWrapper* search = app->MainFrame()->SearchBox();
        EXPECT_EQ(search->size(), QSize(236, 20)) << "the box keeps its size";
        search->Edit()->setText("report");
        ASSERT_EVENTUALLY(app->MainFrame()->IsSearchPending() == false);
        EXPECT_EQ(app->MainFrame()->FileListView()->List()->GetMode(), CAlbListCtrl::SearchResults);
        ScreenshotDir::Save(app->MainFrame(), "main-window-without-search-picture");
        app->ExitInstance();
    }

    CatalogueFixture::ResetProgramState();
    const auto withoutMainMenu = [](QByteArray table) { return table.replace("\nMENU 128\n", "\nMENU 4128\n"); };
    const QString folder = MirrorProgramFolder("without-main-menu", {}, withoutMainMenu);
    qputenv("ALBIREO_PROGRAM_DIR", folder.toLocal8Bit());
    CAlbireoApp app({"albireo"});
    app.SetPowerNotices(std::make_unique<PowerNotices>());
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(ModalSeam::Shown().size(), 1u) << "the start never ends without a word";
    EXPECT_TRUE(ModalSeam::Shown().front().text.contains(app.ResourcePath())) << ModalSeam::Shown().front().text.toStdString();
}
