// The file list over lists longer than a screen: a search and a folder are
// shown before every row is found, grow as the rest arrives without moving
// what is shown, and read the rows a user scrolls to; emptying the search
// box ends a search still finding; typing and sorting keep to the rows
// that could be read.
#include "CAlbDataItem.h"
#include "CAlbireoApp.h"
#include "CAlbireoDoc.h"
#include "CDllCom.h"
#include "CArcEditWrapper.h"
#include "CAlphaStatic.h"
#include "CFileListView.h"
#include "CGEdit.h"
#include "CMainFrame.h"
#include "HeldListingEngine.h"
#include "CatalogueFixture.h"
#include "PowerNotices.h"
#include "ScreenshotDir.h"
#include "WholeListEngine.h"

#include <QAbstractItemModel>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kFiles = 700;

CatalogueFixture* g_catalogue = nullptr;

QString FileName(int n) { return QStringLiteral("track_%1.ogg").arg(n, 4, 10, QLatin1Char('0')); }

// Files of several types, in several scripts, of equal sizes and names
// equal but for case, in a folder of their own ("zone": no name in it
// matches the searches of the other tests).
QStringList MixedNames()
{
    return {QStringLiteral("\u00C9mile.flac"), QStringLiteral("cover.jpg"), QStringLiteral("Cover.png"),
            QStringLiteral("\u00E4rger.ogg"), QStringLiteral("Zebra.png"), QStringLiteral("song.mp3"),
            QStringLiteral("b.qqq"), QStringLiteral("\u00D6lbild.png"), QStringLiteral("\u03A9mega.bmp"),
            QStringLiteral("a.pdf"), QStringLiteral("\u65E5\u672C.mp4"), QStringLiteral("e.flac")};
}

class ListingViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        QList<QPair<QString, int>> files;
        for (int n = 1; n <= kFiles; ++n) files.append({QStringLiteral("music/") + FileName(n), 10 + n});
        files.append({QStringLiteral("music/tracks/readme.txt"), 5});
        for (const QString& name : MixedNames()) files.append({QStringLiteral("zone/") + name, 3 + int(name.size())});
        g_catalogue->Import(QStringLiteral("Long Album"), files, {QStringLiteral("Music")});
    }
    static void TearDownTestSuite()
    {
        delete g_catalogue;
        g_catalogue = nullptr;
    }
    void SetUp() override
    {
        m_app = CatalogueFixture::StartProgram();
        ASSERT_TRUE(m_app);
        m_view = m_app->MainFrame()->FileListView();
        m_model = m_view->List()->Model();
    }
    void TearDown() override
    {
        if (m_app) m_app->ExitInstance();
    }

    static QString CellOf(const CFileListView& view, int row, int column)
    {
        const CAlbListModel* model = view.List()->Model();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }
    static QStringList Rows(const CFileListView& view)
    {
        QStringList rows;
        for (int row = 0; row < view.List()->Model()->rowCount(); ++row) {
            QString text;
            for (int column = 0; column < view.List()->Model()->columnCount(); ++column)
                text += CellOf(view, row, column) + u'|';
            rows << text;
        }
        return rows;
    }
    QString Cell(int row, int column) const { return CellOf(*m_view, row, column); }
    void WaitForTheWholeList() const
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_view->IsListing(); }, 10000));
        QCoreApplication::processEvents();
    }
    void OpenRow(const QString& name) { OpenRowOf(*m_view, name); }
    static void OpenRowOf(CFileListView& view, const QString& name)
    {
        for (int row = 0; row < view.List()->Model()->rowCount(); ++row) {
            if (CellOf(view, row, 0) != name) continue;
            view.List()->SelectRow(row);
            QTest::keyClick(view.List(), Qt::Key_Return);
            return;
        }
        FAIL() << "no row " << name.toStdString();
    }
    // A click on a column header, and the wait until the rows are in order.
    void SortAndWait(int column)
    {
        emit m_view->List()->columnClicked(column);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_view->IsSorting(); }, 10000));
    }

    std::unique_ptr<CAlbireoApp> m_app;
    CFileListView* m_view = nullptr;
    CAlbListModel* m_model = nullptr;
};

TEST_F(ListingViewTest, ASearchLongerThanAScreenEndsWithEveryHitInOrderUnderItsHeader)
{
    m_app->MainFrame()->show();
    m_view->Search(QStringLiteral("TRACK"));
    const int shownAtOnce = m_model->rowCount();
    EXPECT_GE(shownAtOnce, std::min(kFiles, CFileListView::kFirstScreenRows)); // the first screen at once
    const QString firstHit = Cell(1, 1);
    WaitForTheWholeList();
    // Folder "tracks" matches too: its group comes before the files'.
    EXPECT_EQ(1, m_view->FoundFolderCount());
    EXPECT_EQ(kFiles, m_view->FoundFileCount());
    ASSERT_EQ(2 + 1 + kFiles, m_model->rowCount());
    EXPECT_EQ(firstHit, Cell(1, 1)); // what was shown did not move
    EXPECT_EQ(QStringLiteral("tracks"), Cell(1, 1));
    EXPECT_EQ(FileName(1), Cell(3, 1));
    EXPECT_EQ(FileName(kFiles), Cell(2 + kFiles, 1));
    EXPECT_EQ(QStringLiteral("Long Album"), Cell(2 + kFiles, 2));
    ScreenshotDir::Save(m_app->MainFrame(), "file-list-long-search");
}

TEST_F(ListingViewTest, AFolderOfManyEntriesReadsTheRowsScrolledToAndSortsThemAll)
{
    OpenRow(QStringLiteral("Long Album"));
    OpenRow(QStringLiteral("music"));
    WaitForTheWholeList();
    ASSERT_EQ(1 + kFiles, m_model->rowCount());
    EXPECT_EQ(QStringLiteral("tracks"), Cell(0, 0)); // folders first
    EXPECT_EQ(FileName(kFiles), Cell(kFiles, 0));
    // Sorting by size descending reads every row: the largest file first,
    // the folder last.
    emit m_view->List()->columnClicked(1);
    SortAndWait(1); // the second click replaces the first one's sort
    EXPECT_EQ(FileName(kFiles), Cell(0, 0));
    EXPECT_EQ(QStringLiteral("tracks"), Cell(kFiles, 0));
    // By name, from the fields the first sort read: descending, files first.
    SortAndWait(0);
    SortAndWait(0);
    EXPECT_EQ(FileName(kFiles), Cell(0, 0));
    EXPECT_EQ(QStringLiteral("tracks"), Cell(kFiles, 0));
    // Another folder sorts its own entries, not those read for the last one.
    OpenRow(QStringLiteral("tracks"));
    WaitForTheWholeList();
    SortAndWait(1);
    ASSERT_EQ(1, m_model->rowCount());
    EXPECT_EQ(QStringLiteral("readme.txt"), Cell(0, 0));
    // Back and in again: a fresh listing of the same folder.
    QTest::keyClick(m_view->List(), Qt::Key_Backspace);
    WaitForTheWholeList();
    QTest::keyClick(m_view->List(), Qt::Key_Backspace);
    OpenRow(QStringLiteral("music"));
    WaitForTheWholeList();
    EXPECT_EQ(FileName(1), Cell(1, 0));
}

TEST_F(ListingViewTest, AnotherSearchWhileOneIsStillFindingReplacesIt)
{
    m_view->Search(QStringLiteral("track"));
    m_view->Search(QStringLiteral("readme"));
    WaitForTheWholeList();
    EXPECT_EQ(0, m_view->FoundFolderCount());
    EXPECT_EQ(1, m_view->FoundFileCount());
    ASSERT_EQ(2, m_model->rowCount()); // the file header and the file
    EXPECT_EQ(QStringLiteral("readme.txt"), Cell(m_model->rowCount() - 1, 1));
}

// A second file list on the same library through an engine without
// listings: it reads every list whole and sorts on the window's thread.
struct WholeListView {
    WholeListView()
    {
        view.SetDocument(&document);
        ILibraryEngine* engine = nullptr;
        EXPECT_EQ(S_OK, loader.CreateLibraryEngine(&engine));
        created = engine && view.Create(nullptr, new WholeListEngine(engine));
        if (engine) engine->Release();
    }
    CAlbireoDoc document;
    CFileListView view;
    CDllCom loader;
    bool created = false;
};

// Sorting a folder's listing happens away from the window's thread: for
// every column, in both directions, the rows end in the order the whole
// list sorted on the window's thread has, also when the click comes while
// the listing is still filling; in a folder of many entries and in one of
// many types and scripts.
TEST_F(ListingViewTest, ASortedListingEndsInTheOrderOfTheWholeListForEveryColumn)
{
    WholeListView whole;
    ASSERT_TRUE(whole.created);
    for (CFileListView* view : {m_view, &whole.view}) OpenRowOf(*view, QStringLiteral("Long Album"));
    const std::pair<QString, int> folders[] = {{QStringLiteral("music"), 1 + kFiles},
                                               {QStringLiteral("zone"), int(MixedNames().size())}};
    for (const auto& [folder, rows] : folders) {
        for (int column = 0; column < 4; ++column) {
            // A fresh listing of the folder, clicked at once.
            OpenRow(folder);
            const bool stillFilling = m_view->IsListing();
            SortAndWait(column);
            EXPECT_FALSE(m_view->IsListing());
            EXPECT_EQ(rows, m_model->rowCount());
            OpenRowOf(whole.view, folder);
            for (int direction = 0; direction < 2; ++direction) {
                if (direction == 1) SortAndWait(column);
                emit whole.view.List()->columnClicked(column);
                EXPECT_EQ(Rows(whole.view), Rows(*m_view))
                    << folder.toStdString() << ", column " << column << (direction ? " descending" : " ascending")
                    << (stillFilling ? ", clicked while filling" : "");
            }
            QTest::keyClick(m_view->List(), Qt::Key_Backspace);
            QTest::keyClick(whole.view.List(), Qt::Key_Backspace);
        }
    }
    // Size descending puts the largest file first and the folder last.
    OpenRow(QStringLiteral("music"));
    SortAndWait(1);
    SortAndWait(1);
    EXPECT_EQ(FileName(kFiles), Cell(0, 0));
    EXPECT_EQ(QStringLiteral("tracks"), Cell(kFiles, 0));
}

// An engine without listings is read whole, into the same rows.
TEST_F(ListingViewTest, AnEngineWithoutListingsShowsTheSameRows)
{
    WholeListView wholeList;
    ASSERT_TRUE(wholeList.created);
    CFileListView& whole = wholeList.view;

    for (const QString& text : {QStringLiteral("TRACK"), QStringLiteral("k_"), QStringLiteral("readme")}) {
        m_view->Search(text);
        WaitForTheWholeList();
        whole.Search(text);
        EXPECT_FALSE(whole.IsListing());
        EXPECT_EQ(Rows(*m_view), Rows(whole)) << text.toStdString();
    }
    m_view->ShowAllDiscs();
    whole.ShowAllDiscs();
    EXPECT_EQ(Rows(*m_view), Rows(whole));
    for (CFileListView* view : {m_view, &whole}) {
        view->List()->SelectRow(0);
        QTest::keyClick(view->List(), Qt::Key_Return); // the disc
        view->List()->SelectRow(0);
        QTest::keyClick(view->List(), Qt::Key_Return); // "music"
    }
    WaitForTheWholeList();
    EXPECT_EQ(1 + kFiles, whole.List()->Model()->rowCount());
    EXPECT_EQ(Rows(*m_view), Rows(whole));
}

TEST_F(ListingViewTest, EmptyingTheSearchBoxEndsTheSearchAndShowsTheDiscsWithNothingOfItLeft)
{
    CMainFrame* frame = m_app->MainFrame();
    const QStringList discs = Rows(*m_view);
    ASSERT_EQ(discs.size(), 1);
    QTest::keyClicks(frame->SearchBox()->Edit(), "t"); // one letter: counted at once, found while shown
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->IsSearchPending(); }));
    ASSERT_GT(m_model->rowCount(), 2);
    ScreenshotDir::Save(frame, "search-one-letter");
    QTest::keyClick(frame->SearchBox()->Edit(), Qt::Key_Escape);
    EXPECT_EQ(m_view->List()->GetMode(), CAlbListCtrl::DiscList);
    EXPECT_FALSE(m_view->IsListing()) << "the search still finding ends";
    EXPECT_EQ(Rows(*m_view), discs);
    QRgb colour = 0;
    EXPECT_FALSE(m_view->List()->RowColor(0, &colour)) << "no header colour left";
    ScreenshotDir::Save(frame, "search-cleared");
    OpenRow(QStringLiteral("Long Album"));
    EXPECT_EQ(m_view->List()->GetMode(), CAlbListCtrl::FolderContents);
    EXPECT_EQ(frame->LocationLabel()->text(), QStringLiteral("\\Long Album"));
    EXPECT_EQ(Cell(0, 0), QStringLiteral("music"));
}

TEST_F(ListingViewTest, TypingAheadWhileAShortSearchFillsAndSortingAfterAFailedReadKeepToTheRowsRead)
{
    CAlbireoDoc document;
    CFileListView view;
    view.SetDocument(&document);
    CDllCom loader;
    ILibraryEngine* engine = nullptr;
    ASSERT_EQ(S_OK, loader.CreateLibraryEngine(&engine));
    auto* held = new HeldListingEngine(engine, 10);
    engine->Release();
    ASSERT_TRUE(view.Create(nullptr, held));

    view.Search(QStringLiteral("t"));
    ASSERT_TRUE(view.IsListing());
    ASSERT_EQ(view.List()->Model()->rowCount(), 2 + 1 + kFiles + 1) << "counted ahead";
    view.List()->SelectRow(200); // a row not found yet
    QTest::keyClicks(view.List(), "re");
    EXPECT_EQ(view.List()->SelectedRow(), 200) << "no row read answers";
    held->SetState(HeldListingEngine::State::Released);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.IsListing(); }, 10000));
    EXPECT_EQ(CellOf(view, 200, 1), FileName(198)) << "the row is read once found";

    // A folder whose listing fails after its first rows: sorting orders the rows read.
    held->SetState(HeldListingEngine::State::Failed);
    view.ShowAllDiscs();
    view.List()->SelectRow(0);
    QTest::keyClick(view.List(), Qt::Key_Return);
    view.List()->SelectRow(0);
    QTest::keyClick(view.List(), Qt::Key_Return); // "music"
    EXPECT_FALSE(view.IsListing());
    emit view.List()->columnClicked(1);
    emit view.List()->columnClicked(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.IsSorting(); }, 10000));
    ASSERT_EQ(view.List()->Model()->rowCount(), 1 + 10);
    EXPECT_EQ(CellOf(view, 0, 0), FileName(10)) << "the largest file read first";
    EXPECT_EQ(CellOf(view, 10, 0), QStringLiteral("tracks"));

    // The same folder failing while its sort waits for the rest of it: the
    // rows read are sorted all the same.
    held->SetState(HeldListingEngine::State::Held);
    QTest::keyClick(view.List(), Qt::Key_Backspace);
    OpenRowOf(view, QStringLiteral("music"));
    ASSERT_TRUE(view.IsListing());
    emit view.List()->columnClicked(1);
    ASSERT_TRUE(view.IsSorting());
    held->SetState(HeldListingEngine::State::Failed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.IsSorting(); }, 10000));
    ASSERT_EQ(view.List()->Model()->rowCount(), 1 + 10);
    EXPECT_EQ(CellOf(view, 0, 0), QStringLiteral("tracks")) << "ascending: the folder first";
    EXPECT_EQ(CellOf(view, 10, 0), FileName(10));
}

} // namespace
