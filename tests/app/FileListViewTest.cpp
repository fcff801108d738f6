// Browsing the catalogue in the window over discs imported by the real
// engines: discs, folders, back, search results and back to them, sorting,
// deleting a disc, and the keyboard paths of the list.
#include "CAlbDataItem.h"
#include "CAlbireoApp.h"
#include "CArcEditWrapper.h"
#include "CFileListView.h"
#include "CGEdit.h"
#include "CMainFrame.h"
#include "CatalogueFixture.h"
#include "FileTime.h"
#include "ListSort.h"
#include "ListTexts.h"
#include "ModalSeam.h"
#include "PowerNotices.h"
#include "ScreenshotDir.h"
#include "TestEnvironment.h"

#include <QAbstractItemModel>
#include "CAlphaStatic.h"
#include "CAlbCommandView.h"
#include "CGButton.h"
#include <QTest>
#include <gtest/gtest.h>

namespace {

CatalogueFixture* g_catalogue = nullptr;

class FileListViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        g_catalogue->Import("Holiday 2024",
                            {{"DCIM/IMG_4001.JPG", 2048}, {"DCIM/IMG_4002.JPG", 4096}, {"DCIM/Beach/IMG_4100.JPG", 900},
                             {"readme.txt", 10}},
                            {"Photo"});
        g_catalogue->Import("Backup March", {{"docs/report.pdf", 70000}, {"docs/notes.txt", 120}, {"zeta.bin", 1}},
                            {"Document"});
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
        m_frame = m_app->MainFrame();
        m_view = m_frame->FileListView();
        m_list = m_view->List();
    }
    void TearDown() override
    {
        if (m_app) m_app->ExitInstance();
    }

    QString Cell(int row, int column) const
    {
        return m_list->Model()->data(m_list->Model()->index(row, column), Qt::DisplayRole).toString();
    }
    int RowNamed(const QString& name, int column = 0) const
    {
        for (int row = 0; row < m_list->Model()->rowCount(); ++row)
            if (Cell(row, column) == name) return row;
        return -1;
    }
    // A click on a column header, and the wait until the rows are in order
    // (a folder's rows are sorted away from the window's thread).
    void SortBy(int column)
    {
        emit m_list->columnClicked(column);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_view->IsSorting(); }, 10000));
    }
    QStringList Column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < m_list->Model()->rowCount(); ++row) texts << Cell(row, column);
        return texts;
    }
    void Open(const QString& name)
    {
        const int row = RowNamed(name);
        ASSERT_GE(row, 0) << name.toStdString();
        m_list->SelectRow(row);
        m_list->setFocus();
        QTest::keyClick(m_list, Qt::Key_Return);
    }
    void Search(const QString& text)
    {
        m_frame->SearchBox()->Edit()->setText(text);
        QTRY_COMPARE(m_frame->IsSearchPending(), false);
    }

    std::unique_ptr<CAlbireoApp> m_app;
    CMainFrame* m_frame = nullptr;
    CFileListView* m_view = nullptr;
    CAlbListCtrl* m_list = nullptr;
};

TEST_F(FileListViewTest, BrowsesDiscFolderAndBackWithTheKeyboard)
{
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::DiscList);
    EXPECT_EQ(Column(1).filter("Photo").size(), 1) << "the tags column";
    ScreenshotDir::Save(m_frame, "file-list-discs");
    Open("Holiday 2024");
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::FolderContents);
    EXPECT_EQ(Column(0), QStringList({"DCIM", "readme.txt"})) << "folders before files";
    EXPECT_EQ(m_frame->LocationLabel()->text(), "\\Holiday 2024");
    EXPECT_TRUE(m_frame->CommandView()->GetButton(1)->isEnabled());
    Open("DCIM");
    EXPECT_EQ(Column(0), QStringList({"Beach", "IMG_4001.JPG", "IMG_4002.JPG"}));
    EXPECT_EQ(Cell(RowNamed("IMG_4002.JPG"), 1), "4 KB");
    EXPECT_EQ(Cell(RowNamed("Beach"), 1), "") << "folders show no size";
    EXPECT_EQ(m_frame->LocationLabel()->text(), "\\Holiday 2024\\DCIM");
    ScreenshotDir::Save(m_frame, "file-list-folder");

    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(Column(0), QStringList({"DCIM", "readme.txt"}));
    QTest::keyClick(m_list, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::DiscList);
    EXPECT_EQ(m_list->Model()->rowCount(), 2);
    EXPECT_TRUE(m_frame->LocationLabel()->text().isEmpty());
    EXPECT_FALSE(m_frame->CommandView()->GetButton(1)->isEnabled());
}

TEST_F(FileListViewTest, SearchShowsGroupsAndBackFromAFolderReturnsToTheResults)
{
    Search("IMG_40");
    ASSERT_EQ(m_list->GetMode(), CAlbListCtrl::SearchResults);
    ASSERT_EQ(m_list->Model()->rowCount(), 3) << "files only: one header and two rows";
    EXPECT_EQ(Cell(0, 1), "File") << "row 0 is the header";
    QRgb colour = 0;
    EXPECT_TRUE(m_list->RowColor(0, &colour));
    EXPECT_EQ(Cell(1, 2), "Holiday 2024") << "a file row names its disc";
    int kind = 0, index = 0;
    CFileListView::SearchRowOf(1, 0, 0, 2, &kind, &index);
    EXPECT_EQ(kind, CFileListView::FileRow);
    EXPECT_EQ(index, 0);

    Search("Beach");
    ASSERT_EQ(Cell(0, 1), "Folder");
    ScreenshotDir::Save(m_frame, "file-list-search");
    m_list->SelectRow(1);
    QTest::keyClick(m_list, Qt::Key_Return);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::FolderContents);
    EXPECT_EQ(Column(0), QStringList({"IMG_4100.JPG"}));
    EXPECT_TRUE(m_frame->SearchBox()->Text().isEmpty()) << "the box empties when a result is opened";
    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::SearchResults);
    EXPECT_EQ(m_frame->SearchBox()->Text(), "Beach");
    EXPECT_EQ(Cell(1, 1), "Beach");

    Search("no such name anywhere");
    EXPECT_EQ(m_list->Model()->rowCount(), 0);
}

TEST_F(FileListViewTest, SortingReversesOnTheSecondClickAndMirrorsFoldersAndFiles)
{
    Open("Backup March");
    ASSERT_EQ(Column(0), QStringList({"docs", "zeta.bin"}));
    SortBy(1); // size, ascending
    EXPECT_EQ(Column(0), QStringList({"docs", "zeta.bin"})) << "folders first ascending";
    SortBy(1);
    EXPECT_EQ(Column(0), QStringList({"zeta.bin", "docs"})) << "files first descending";
    EXPECT_EQ(ListSort::Direction(m_view->Root(), 1), -1);
    SortBy(0);
    EXPECT_EQ(ListSort::Direction(m_view->Root(), 0), 1) << "another column starts ascending";
    EXPECT_EQ(ListSort::Direction(m_view->Root(), 1), 0);

    Open("docs");
    SortBy(0);
    EXPECT_EQ(Column(0), QStringList({"notes.txt", "report.pdf"}));
    SortBy(0);
    EXPECT_EQ(Column(0), QStringList({"report.pdf", "notes.txt"}));
}

TEST_F(FileListViewTest, RowsWhoseDateDoesNotParseSortFirstInBothDirections)
{
    // Dates as the list writes them, in this process's locale.
    const INT64 day = 24LL * 3600 * 10000000;
    const INT64 first = FileTime::FromDateTime(QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    CAlbDataItem root(0, -1, -1, "", "", "", "", 0, -1);
    root.AddItem(0, 1, -1, "later", "", "", ListTexts::DateText(first + 3 * day), 0xA, 1);
    root.AddItem(0, 1, -1, "none", "", "", "", 0xA, 1);
    root.AddItem(0, 1, -1, "earlier", "", "", ListTexts::DateText(first), 0xA, 1);
    root.AddItem(0, 1, -1, "garbled", "", "", " not a date ", 0xA, 1);
    ListSort::SortByColumn(&root, 1, 3);
    EXPECT_EQ(root.Child(2)->m_strName, "earlier");
    EXPECT_EQ(root.Child(3)->m_strName, "later");
    ListSort::SortByColumn(&root, 1, 3);
    EXPECT_EQ(root.Child(2)->m_strName, "later");
    EXPECT_EQ(root.Child(3)->m_strName, "earlier");
    for (int i : {0, 1}) {
        EXPECT_TRUE(root.Child(i)->m_strName == "none" || root.Child(i)->m_strName == "garbled")
            << "rows without a date come first in both directions";
    }
}

TEST_F(FileListViewTest, DeleteAsksAndRemovesOnlyOnYes)
{
    m_list->SelectRow(RowNamed("Backup March"));
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_Delete);
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_EQ(ModalSeam::Shown().back().textId, 3016u);
    EXPECT_EQ(m_list->Model()->rowCount(), 2) << "unanswered means no";

    ModalSeam::QueueAnswer(IDYES);
    m_list->SelectRow(RowNamed("Backup March"));
    QTest::keyClick(m_list, Qt::Key_Delete);
    EXPECT_EQ(m_list->Model()->rowCount(), 1);
    EXPECT_EQ(RowNamed("Backup March"), -1);
    // Put it back for the other tests.
    g_catalogue->Import("Backup March", {{"docs/report.pdf", 70000}, {"docs/notes.txt", 120}, {"zeta.bin", 1}},
                        {"Document"});
}

TEST_F(FileListViewTest, TypingSelectsByNameAndCtrlFGoesToTheSearchBox)
{
    m_list->setFocus();
    QTest::keyClicks(m_list, "ho");
    EXPECT_EQ(Cell(m_list->SelectedRow(), 0), "Holiday 2024");
    QTest::keyClick(m_list, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(m_frame->focusWidget(), m_frame->SearchBox()->Edit());
}

} // namespace
