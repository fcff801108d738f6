// Browsing the catalogue in the window over discs imported by the real
// engines: discs, folders, back, search results and back to them, sorting,
// deleting a disc, and the keyboard paths of the list; then every path a
// user takes between the lists (BrowsePathsTest): where Back leads after
// the list changed, folders and files reached from a search, reloads, the
// menu of a found item, and sorting by every key.
#include "EventualAssert.h"
#include "CAlbDataItem.h"
#include "CAlbireoApp.h"
#include "CArcEditWrapper.h"
#include "CFileListView.h"
#include "CGEdit.h"
#include "CMainFrame.h"
#include "DesktopOpener.h"
#include "CatalogueFixture.h"
#include "FileTime.h"
#include "ListSort.h"
#include "ListTexts.h"
#include "ModalSeam.h"
#include "ResourceIds.h"
#include "PowerNotices.h"
#include "CProgressDlg.h"
#include "ScreenshotDir.h"
#include "TestEnvironment.h"

#include <QAbstractItemModel>
#include <QDialog>
#include "CAlphaStatic.h"
#include "CAlbCommandView.h"
#include "CGButton.h"
#include "CDiscAccess.h"
#include "CFilterListCtrl.h"
#include "CTagView.h"
#include "ImageDriveSlots.h"
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTimer>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>
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
        WaitForSort();
    }
    void WaitForSort() { ASSERT_TRUE(QTest::qWaitFor([&] { return !m_view->IsSorting(); }, 10000)); }
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
        ASSERT_EVENTUALLY(m_frame->IsSearchPending() == false);
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
    // A disc's date as stored and its files' dates as shown: one parse reads both.
    const QString discDate = Cell(RowNamed("Holiday 2024"), 3);
    EXPECT_TRUE(ListTexts::ParseDate(discDate).isValid()) << discDate.toStdString();
    Open("Holiday 2024");
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::FolderContents);
    EXPECT_EQ(Column(0), QStringList({"DCIM", "readme.txt"})) << "folders before files";
    const QString fileDate = Cell(RowNamed("readme.txt"), 3);
    EXPECT_TRUE(ListTexts::ParseDate(fileDate).isValid()) << fileDate.toStdString();
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

    // Hits of one name tell where they live: a tooltip on the name, and the
    // location text for the selected row.
    Search("IMG_4");
    const auto tooltip = [this](int row) {
        return m_list->Model()->data(m_list->Model()->index(row, 1), Qt::ToolTipRole).toString();
    };
    const int deep = RowNamed("IMG_4100.JPG", 1);
    ASSERT_GT(deep, 0);
    EXPECT_EQ(tooltip(deep), "\\Holiday 2024\\DCIM\\Beach\\IMG_4100.JPG");
    EXPECT_EQ(tooltip(RowNamed("IMG_4001.JPG", 1)), "\\Holiday 2024\\DCIM\\IMG_4001.JPG");
    m_list->SelectRow(deep);
    EXPECT_EQ(m_frame->LocationLabel()->text(), "\\Holiday 2024\\DCIM\\Beach\\IMG_4100.JPG");
    m_list->SelectRow(0);
    EXPECT_EQ(m_frame->LocationLabel()->text(), "") << "a header row lives nowhere";

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

TEST_F(FileListViewTest, DeleteAsksNamingTheDiscAndRemovesOnlyOnYes)
{
    m_list->SelectRow(RowNamed("Backup March"));
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_Delete);
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    const ModalRecord asked = ModalSeam::Shown().back();
    EXPECT_TRUE(asked.text.contains(QStringLiteral("\"Backup March\""))) << asked.text.toStdString();
    EXPECT_TRUE(asked.text.contains(QStringLiteral(": 3\n"))) << "its three files are counted: " << asked.text.toStdString();
    EXPECT_EQ(m_list->Model()->rowCount(), 2) << "unanswered means no";

    // Enter on the question, as a hasty user presses it, keeps the disc.
    ModalSeam::QueueAction([](QDialog* box) {
        QTest::keyClick(box, Qt::Key_Return);
        return ModalSeam::kWindowDecides;
    });
    QTest::keyClick(m_list, Qt::Key_Delete);
    EXPECT_EQ(ModalSeam::Shown().back().result, IDNO);
    EXPECT_NE(RowNamed("Backup March"), -1);

    ModalSeam::QueueAnswer(IDYES);
    m_list->SelectRow(RowNamed("Backup March"));
    QTest::keyClick(m_list, Qt::Key_Delete);
    EXPECT_EQ(m_list->Model()->rowCount(), 1);
    EXPECT_EQ(RowNamed("Backup March"), -1);
    // Put it back for the other tests.
    g_catalogue->Import("Backup March", {{"docs/report.pdf", 70000}, {"docs/notes.txt", 120}, {"zeta.bin", 1}},
                        {"Document"});
}

TEST_F(FileListViewTest, ARemovalThatTakesAWhileRunsBesideTheWindowUnderTheProgressWindow)
{
    // Another program holds the library's write lock: the removal waits
    // for it, and it is let go only once the window shows the progress.
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(g_catalogue->LibraryPath().toUtf8().constData(), &other));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    bool progressShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (const CProgressDlg* progress : m_frame->findChildren<CProgressDlg*>())
            progressShown = progressShown || (progress->isVisible() && progress->Title() == "Backup March");
        if (!progressShown) return;
        ScreenshotDir::Save(m_frame, "delete-disc-progress");
        watch.stop();
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    watch.start(20);
    ModalSeam::QueueAnswer(IDYES);
    m_list->SelectRow(RowNamed("Backup March"));
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_Delete);
    watch.stop();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr); // when never let go
    sqlite3_close(other);
    EXPECT_TRUE(progressShown) << "the window ran on while the engine removed the disc";
    EXPECT_EQ(RowNamed("Backup March"), -1);
    EXPECT_EQ(m_list->Model()->rowCount(), 1);
    for (const CProgressDlg* progress : m_frame->findChildren<CProgressDlg*>()) EXPECT_FALSE(progress->isVisible());
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

TEST_F(FileListViewTest, HomeAndEndGoToTheFirstAndLastRow)
{
    const int rows = m_list->Model()->rowCount();
    ASSERT_GT(rows, 1);
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_End);
    EXPECT_EQ(m_list->SelectedRow(), rows - 1);
    QTest::keyClick(m_list, Qt::Key_Home);
    EXPECT_EQ(m_list->SelectedRow(), 0);
}

TEST_F(FileListViewTest, AnEmptyLibrarySaysHowToImportAndOnlyThere)
{
    EXPECT_TRUE(m_list->EmptyText().isEmpty()) << "a library with discs has no hint";
    m_app->ExitInstance();
    m_app.reset();
    const QByteArray library = qgetenv("ALBIREO_LIBRARY_DB");
    qputenv("ALBIREO_LIBRARY_DB", (TestEnvironment::MakeFolder("first-start") + "/library.db").toLocal8Bit());
    m_app = CatalogueFixture::StartProgram();
    qputenv("ALBIREO_LIBRARY_DB", library);
    ASSERT_TRUE(m_app);
    m_frame = m_app->MainFrame();
    m_list = m_frame->FileListView()->List();
    EXPECT_EQ(m_list->Model()->rowCount(), 0);
    EXPECT_TRUE(m_list->EmptyText().contains("Ctrl+I")) << m_list->EmptyText().toStdString();
    ScreenshotDir::Save(m_frame, "first-start");
    Search("nothing");
    EXPECT_TRUE(m_list->EmptyText().isEmpty()) << "an empty search result is no empty library";

    // The import command is named beside its button, and the name is a button too.
    const CAlbCommandView* bar = m_frame->CommandView();
    const QRect label = bar->ImportLabelRect();
    ASSERT_FALSE(label.isEmpty());
    EXPECT_GT(label.left(), bar->GetButton(0)->geometry().right());
    EXPECT_LT(label.right(), bar->GetButton(1)->x());
    ModalSeam::Reset();
    QTest::mouseClick(m_frame->CommandView(), Qt::LeftButton, {}, label.center());
    ASSERT_FALSE(ModalSeam::Shown().empty());
    EXPECT_EQ(ModalSeam::Shown()[0].kind, "CDriveSelectDlg");
}

TEST_F(FileListViewTest, ChangesMadeByAnotherProgramShowWithinASecondOrTwoWhereTheUserLooks)
{
    constexpr int kShown = 3000; // a second's watch and the reading, with room to spare
    m_list->SelectRow(RowNamed("Holiday 2024"));
    ASSERT_TRUE(g_catalogue->Import("Arrived Later", {{"new.txt", 5}}, {"Music"}));
    ASSERT_EVENTUALLY_WITHIN(RowNamed("Arrived Later") >= 0, kShown);
    EXPECT_EQ(m_list->SelectedRow(), RowNamed("Holiday 2024")) << "the selected disc stays selected";
    EXPECT_EQ(g_catalogue->Cli().Run({"rename", "Arrived Later", "Arrived And Renamed"}).exitCode, 0);
    ASSERT_EVENTUALLY_WITHIN(RowNamed("Arrived And Renamed") >= 0, kShown);
    EXPECT_EQ(RowNamed("Arrived Later"), -1);

    // While a name is being edited nothing is pulled from under it; the
    // change shows once the editing ended.
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_F2);
    ASSERT_TRUE(m_list->IsEditing());
    EXPECT_EQ(g_catalogue->Cli().Run({"rename", "Backup March", "Backup of March"}).exitCode, 0);
    QTest::qWait(kShown);
    EXPECT_TRUE(m_list->IsEditing());
    QTest::keyClick(m_list->viewport()->findChild<QLineEdit*>(), Qt::Key_Escape);
    ASSERT_EVENTUALLY_WITHIN(RowNamed("Backup of March") >= 0, kShown);

    // Inside a folder the folder stays; the disc list shown next is the new one.
    Open("Holiday 2024");
    const QStringList folder = Column(0);
    EXPECT_EQ(g_catalogue->Cli().Run({"delete", "Arrived And Renamed", "--yes"}).exitCode, 0);
    QTest::qWait(kShown);
    EXPECT_EQ(Column(0), folder);
    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(RowNamed("Arrived And Renamed"), -1);
    EXPECT_EQ(g_catalogue->Cli().Run({"rename", "Backup of March", "Backup March"}).exitCode, 0);
}

// A second catalogue: discs dated and named so that name, case and date
// orders all differ; a folder found by a search holds a file of the same
// name as one at the disc's root; file times one second apart.
const QDateTime kFileTimeBase(QDate(2024, 5, 17), QTime(5, 26, 0));
constexpr int kTimedFiles = 13;
QString TimedFile(int n) { return QStringLiteral("d%1.txt").arg(26 + n); }
// The file's second in the minute: a permutation, so that neither name nor
// engine order is the time order.
int SecondOf(int n) { return (n * 5) % kTimedFiles; }

class BrowsePathsTest : public FileListViewTest {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        g_catalogue->Import("Zulu Photos", {{"Trip/Day 1/beach.jpg", 900}, {"Trip/notes.txt", 30}, {"beach.jpg", 50}},
                            {"Photo"}, {QDateTime(QDate(2021, 5, 1), QTime(9, 0)), {}});
        g_catalogue->Import("Mike Music", {{"song.mp3", 4000}}, {"Music"}, {QDateTime(QDate(2022, 3, 1), QTime(12, 0)), {}});
        QList<QPair<QString, int>> files = {{"deep/a.txt", 1}, {QString::fromUtf8("Fotos Größe/b.txt"), 1},
                                            {QString::fromUtf8("Ähre.txt"), 1}, {"zeta.txt", 1}};
        CatalogueFixture::Times times{QDateTime(QDate(2023, 1, 1), QTime(8, 0)), {}};
        for (int n = 0; n < kTimedFiles; ++n) {
            files.append({TimedFile(n), 1});
            times.files.insert(TimedFile(n), kFileTimeBase.addSecs(SecondOf(n)));
        }
        g_catalogue->Import("alpha docs", files, {"Document"}, times);
    }

    // Puts a disc's image into an image drive (where files are opened from).
    void InsertDisc(const QString& name)
    {
        CDiscAccess* discs = CAlbireoApp::GetDiscAccess();
        ASSERT_NE(discs, nullptr);
        const QString image = g_catalogue->ImageOf(name);
        const int position = ImageDriveSlots(*discs).ChooseFor(image);
        ASSERT_GE(position, 0);
        QString reason;
        ASSERT_EQ(ImageDriveSlots(*discs).Insert(position, image, &reason), S_OK) << reason.toStdString();
    }
    // Opens the row (Enter) and answers the file handed to the desktop, if any.
    QString OpenFile(const QString& name, int column = 0)
    {
        QString opened;
        DesktopOpener::Set([&](const QUrl& url) {
            opened = url.toLocalFile();
            return true;
        });
        m_list->SelectRow(RowNamed(name, column));
        m_list->setFocus();
        QTest::keyClick(m_list, Qt::Key_Return);
        DesktopOpener::Set([](const QUrl&) { return false; });
        return opened;
    }
    // Opens the context menu of the selected row and presses `key` in it;
    // answers the items it offered.
    QStringList ChooseInContextMenu(Qt::Key key)
    {
        QStringList offered;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (QAction* action : menu->actions())
                if (!action->isSeparator()) offered << action->text();
            QTest::keyClick(menu, key);
        });
        emit m_list->contextMenuAt(m_list->viewport()->mapToGlobal(QPoint(30, 30)));
        return offered;
    }
    void TickCategory(const QString& name)
    {
        CFilterListCtrl* categories = m_frame->TagView()->CategoryList();
        for (int row = 0; row < categories->GetItemCount(); ++row)
            if (categories->GetItemText(row) == name)
                QTest::mouseClick(categories->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  categories->StateRect(row).center());
    }
    bool BackEnabled() const { return m_frame->CommandView()->GetButton(1)->isEnabled(); }
    QString Location() const { return m_frame->LocationLabel()->text(); }
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < m_list->Model()->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < m_list->Model()->columnCount(); ++column) cells << Cell(row, column);
            rows << cells.join(u'|');
        }
        return rows;
    }
};

TEST_F(BrowsePathsTest, AFolderFoundBySearchOpensItsFilesAndSubfoldersByTheirWholePath)
{
    InsertDisc("Zulu Photos");
    Search("Day 1");
    ASSERT_EQ(Cell(0, 1), "Folder");
    m_list->SelectRow(1);
    QTest::keyClick(m_list, Qt::Key_Return);
    EXPECT_EQ(Location(), "Zulu Photos\\Trip\\Day 1");
    const QString inFound = OpenFile("beach.jpg");
    ASSERT_FALSE(inFound.isEmpty()) << "the file was found on its disc";
    EXPECT_EQ(QFileInfo(inFound).size(), 900) << "the folder's file, not the root's of the same name";

    // A subfolder below a folder found: its files too.
    Search("Trip");
    m_list->SelectRow(1);
    QTest::keyClick(m_list, Qt::Key_Return);
    Open("Day 1");
    EXPECT_EQ(Location(), "Zulu Photos\\Trip\\Day 1");
    EXPECT_EQ(QFileInfo(OpenFile("beach.jpg")).size(), 900);
    // Back walks up the path, then to the results.
    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(Location(), "Zulu Photos\\Trip");
    EXPECT_EQ(Column(0), QStringList({"Day 1", "notes.txt"}));
    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::SearchResults);
    EXPECT_EQ(m_frame->SearchBox()->Text(), "Trip");
    EXPECT_FALSE(BackEnabled());
}

TEST_F(BrowsePathsTest, ShowingAnotherListStartsANewHistoryForBack)
{
    // A tag ticked inside a folder: Back knows only the filtered disc list.
    Open("Zulu Photos");
    Open("Trip");
    TickCategory("Music");
    EXPECT_EQ(Column(0), QStringList({"Mike Music"}));
    EXPECT_TRUE(Location().isEmpty());
    EXPECT_FALSE(BackEnabled());
    Open("Mike Music");
    EXPECT_EQ(Location(), "\\Mike Music");
    EXPECT_EQ(Column(0), QStringList({"song.mp3"}));
    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::DiscList);
    EXPECT_EQ(Column(0), QStringList({"Mike Music"})) << "the filter still applies";
    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(Column(0), QStringList({"Mike Music"})) << "nothing further back";
    QTest::mouseClick(m_frame->TagView()->AllButton(), Qt::LeftButton);

    // A search from inside a folder: the results are where the history starts.
    Open("Zulu Photos");
    Open("Trip");
    Search("song");
    const QStringList results = Rows();
    EXPECT_FALSE(BackEnabled());
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_Backspace);
    QTest::keyClick(m_list, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::SearchResults);
    EXPECT_EQ(Rows(), results);
    QRgb colour = 0;
    EXPECT_TRUE(m_list->RowColor(0, &colour)) << "the header keeps its colour";
    ScreenshotDir::Save(m_frame, "browse-back-after-search");
}

TEST_F(BrowsePathsTest, ReloadsShowTheSameListSortedAndSelectedAsItWas)
{
    // Disc Information on a result (cancelled): the same results.
    Search("Music");
    const QStringList results = Rows();
    ASSERT_EQ(Cell(0, 1), "Disc");
    m_list->SelectRow(1);
    ModalSeam::QueueAnswer(IDCANCEL);
    m_view->OnCommand(ID_DISC_INFO);
    EXPECT_EQ(ModalSeam::Shown().back().kind, "CDiscInfoDlg");
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::SearchResults);
    EXPECT_EQ(Rows(), results);
    EXPECT_EQ(m_list->SelectedRow(), 1);

    // In the disc list, sorted and filtered: the order, filter and selection stay.
    m_frame->SearchBox()->SetText(QString());
    SortBy(0);
    SortBy(0);
    const QStringList sorted = Column(0);
    m_list->SelectRow(1);
    ModalSeam::QueueAnswer(IDCANCEL);
    m_view->OnCommand(ID_DISC_INFO);
    EXPECT_EQ(Column(0), sorted);
    EXPECT_EQ(m_list->SelectedRow(), 1);
    TickCategory("Photo");
    m_list->SelectRow(0);
    ModalSeam::QueueAnswer(IDCANCEL);
    m_view->OnCommand(ID_DISC_INFO);
    EXPECT_EQ(Column(0), QStringList({"Zulu Photos"}));
    QTest::mouseClick(m_frame->TagView()->AllButton(), Qt::LeftButton);

    // A disc imported while results are shown: the disc list, the box empty.
    Search("beach");
    SendMessage(m_view, CFileListView::kReloadMessage, 1, 0);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::DiscList);
    EXPECT_TRUE(m_frame->SearchBox()->Text().isEmpty());
    EXPECT_EQ(m_list->Model()->rowCount(), 3);
    EXPECT_EQ(Cell(RowNamed("Mike Music"), 1), "Music");
}

TEST_F(BrowsePathsTest, AFileOpenedFromTheResultsLeavesThemAsTheyWereAndBackRestoresSortAndSelection)
{
    InsertDisc("Zulu Photos");
    Search("beach");
    const QStringList results = Rows();
    m_list->SelectRow(RowNamed("beach.jpg", 1));
    const int selected = m_list->SelectedRow();
    const QString location = Location(); // where the selected hit lives
    const QString opened = OpenFile("beach.jpg", 1);
    EXPECT_FALSE(opened.isEmpty());
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::SearchResults);
    EXPECT_EQ(m_frame->SearchBox()->Text(), "beach") << "the box keeps the search";
    EXPECT_EQ(Rows(), results);
    EXPECT_EQ(m_list->SelectedRow(), selected);
    EXPECT_EQ(Location(), location) << "no folder of the file's is entered";
    // The way out is the search box's, as before the file was opened.
    QTest::keyClick(m_frame->SearchBox()->Edit(), Qt::Key_Escape);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::DiscList);

    // Back returns to a folder sorted and selected as it was left.
    Open("Zulu Photos");
    SortBy(0);
    SortBy(0); // by name, descending: files first
    const QStringList descending = Column(0);
    ASSERT_EQ(descending, QStringList({"beach.jpg", "Trip"}));
    Open("Trip");
    QTest::keyClick(m_list, Qt::Key_Backspace);
    WaitForSort();
    EXPECT_EQ(Column(0), descending);
    EXPECT_EQ(Cell(m_list->SelectedRow(), 0), "Trip");
    EXPECT_EQ(m_view->List()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    // And to the results with the row opened selected.
    Search("Trip");
    m_list->SelectRow(1);
    QTest::keyClick(m_list, Qt::Key_Return);
    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::SearchResults);
    EXPECT_EQ(m_list->SelectedRow(), 1);
}

TEST_F(BrowsePathsTest, DiscsSortByTheirStoredDateFilesByTheirTimeAndNamesWithoutRegardToCase)
{
    SortBy(3); // the disc's date
    EXPECT_EQ(Column(0), QStringList({"Zulu Photos", "Mike Music", "alpha docs"}));
    // Shown as a file's date is, in the user's short formats (the import
    // stored "05/01/2021 09:00:00").
    const QLocale locale;
    EXPECT_EQ(Cell(0, 3), u' ' + locale.toString(QDate(2021, 5, 1), QLocale::ShortFormat) + u' ' +
                              locale.toString(QTime(9, 0), QLocale::ShortFormat) + u' ');
    ScreenshotDir::Save(m_frame, "browse-discs-by-date");
    SortBy(3);
    EXPECT_EQ(Column(0), QStringList({"alpha docs", "Mike Music", "Zulu Photos"}));
    SortBy(0);
    EXPECT_EQ(Column(0), QStringList({"alpha docs", "Mike Music", "Zulu Photos"})) << "names without regard to case";
    ScreenshotDir::Save(m_frame, "browse-discs-by-name");
    SortBy(0);
    EXPECT_EQ(Column(0), QStringList({"Zulu Photos", "Mike Music", "alpha docs"}));

    Open("alpha docs");
    SortBy(0);
    QStringList byName = {"deep", QString::fromUtf8("Fotos Größe"), QString::fromUtf8("Ähre.txt")};
    for (int n = 0; n < kTimedFiles; ++n) byName << TimedFile(n);
    byName << "zeta.txt";
    EXPECT_EQ(Column(0), byName);

    SortBy(3); // date modified: to the second
    QStringList byTime;
    for (int second = 0; second < kTimedFiles; ++second)
        for (int n = 0; n < kTimedFiles; ++n)
            if (SecondOf(n) == second) byTime << TimedFile(n);
    const QStringList sorted = Column(0);
    EXPECT_EQ(sorted.mid(2, kTimedFiles), byTime) << "after the two folders, the oldest file first";
    ScreenshotDir::Save(m_frame, "browse-folder-by-date");
}

TEST_F(BrowsePathsTest, TheMenuOfAFoundFolderOrFileActsOnItsDiscAndDeleteRestsInTheResults)
{
    Search("beach");
    const int file = RowNamed("beach.jpg", 1);
    ASSERT_GT(file, 0);
    m_list->SelectRow(file);
    ModalSeam::Reset();
    ModalSeam::QueueAnswer(IDCANCEL);
    EXPECT_EQ(ChooseInContextMenu(Qt::Key_L), QStringList({"&Browse Disc", "Disc &Label..."}));
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_EQ(ModalSeam::Shown()[0].kind, "CDiscLabelDlg");

    m_list->SelectRow(file);
    ChooseInContextMenu(Qt::Key_B);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::FolderContents);
    EXPECT_EQ(Location(), "\\Zulu Photos") << "the disc, not the file's folder";
    EXPECT_EQ(Column(0), QStringList({"Trip", "beach.jpg"}));
    QTest::keyClick(m_list, Qt::Key_Backspace);
    EXPECT_EQ(m_frame->SearchBox()->Text(), "beach");

    // Delete offers nothing in the results, a disc row included.
    Search("Music");
    m_list->SelectRow(1);
    m_list->setFocus();
    ModalSeam::Reset();
    ModalSeam::QueueAnswer(IDYES);
    QTest::keyClick(m_list, Qt::Key_Delete);
    EXPECT_TRUE(ModalSeam::Shown().empty());
    EXPECT_EQ(m_list->Model()->rowCount(), 2);
    ModalSeam::Reset();
}

TEST_F(BrowsePathsTest, ADiscIsRenamedInPlaceFoundByItsNewNameAndNeverLeftWithoutOne)
{
    // The editor the list opens on the name, typed into as a user does.
    const auto typeName = [this](const QString& name, Qt::Key key) {
        ASSERT_TRUE(m_list->IsEditing()) << "the name is open for editing";
        auto* editor = m_list->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->maxLength(), 259);
        editor->selectAll();
        if (name.isEmpty()) QTest::keyClick(editor, Qt::Key_Delete);
        else QTest::keyClicks(editor, name);
        QTest::keyClick(editor, key);
        ASSERT_EVENTUALLY(!m_list->IsEditing());
    };
    // The disc menu's Rename (its letter N), then the name typed and Enter.
    m_list->SelectRow(RowNamed("Mike Music"));
    const QStringList offered = ChooseInContextMenu(Qt::Key_N);
    EXPECT_EQ(offered.filter("name").size(), 1) << offered.join(", ").toStdString();
    typeName("  Mike's Mix ", Qt::Key_Return);
    ASSERT_EVENTUALLY(RowNamed("Mike's Mix") >= 0);
    EXPECT_EQ(RowNamed("Mike Music"), -1);
    EXPECT_EQ(m_list->SelectedRow(), RowNamed("Mike's Mix")) << "the renamed disc stays selected";
    EXPECT_TRUE(g_catalogue->Cli().Run({"discs"}).out.contains("Mike's Mix\t"));
    ScreenshotDir::Save(m_frame, "disc-renamed");

    // F2: a name of blanks only is refused in words and the name is open
    // again on the same row; Escape keeps the name.
    ModalSeam::Reset();
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_F2);
    const int row = m_list->SelectedRow();
    ASSERT_TRUE(m_list->IsEditing());
    auto* blanked = m_list->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(blanked, nullptr);
    blanked->setText("   ");
    QTest::keyClick(blanked, Qt::Key_Return);
    ASSERT_EVENTUALLY(ModalSeam::Shown().size() == 1u && m_list->IsEditing());
    EXPECT_EQ(ModalSeam::Shown()[0].textId, UINT(IDS_MSG_NAME_EMPTY));
    EXPECT_EQ(m_list->SelectedRow(), row);
    EXPECT_EQ(m_list->currentIndex().row(), row) << "the row being renamed is the one refused";
    typeName("Anything", Qt::Key_Escape);
    EXPECT_GE(RowNamed("Mike's Mix"), 0);

    // Found by its new name; in the results a disc is renamed through its
    // information, not in place.
    Search("Mix");
    ASSERT_GE(RowNamed("Mike's Mix", 2), 0) << Rows().join(" / ").toStdString();
    m_list->SelectRow(RowNamed("Mike's Mix", 2));
    QTest::keyClick(m_list, Qt::Key_F2);
    EXPECT_FALSE(m_list->IsEditing()) << "no editor in the results";
    EXPECT_TRUE(ChooseInContextMenu(Qt::Key_Escape).filter("name").isEmpty());

    // Back to its first name for the other tests.
    Search(QString());
    m_list->SelectRow(RowNamed("Mike's Mix"));
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_F2);
    typeName("Mike Music", Qt::Key_Enter);
    ASSERT_EVENTUALLY(RowNamed("Mike Music") >= 0);
    ModalSeam::Reset();
}

} // namespace

// Every row's picture fits its row whole (the delegate's size hint holds
// the picture as it is drawn), under the column titles.
void ExpectWholePicturesUnderTitles(CAlbListCtrl* list, const char* where)
{
    EXPECT_TRUE(list->horizontalHeader()->isVisible()) << where;
    QStyleOptionViewItem option;
    option.initFrom(list);
    for (int row = 0; row < list->Model()->rowCount(); ++row) {
        const QModelIndex index = list->Model()->index(row, 0);
        ASSERT_TRUE(list->Model()->data(index, Qt::DecorationRole).isValid()) << where << " row " << row;
        EXPECT_LE(list->itemDelegate()->sizeHint(option, index).height(), list->rowHeight(row)) << where << " row " << row;
    }
}

TEST_F(BrowsePathsTest, SmallIconsShowWholePicturesUnderTheColumnTitles)
{
    m_frame->OnCmdMsg(ID_ALB_SMALL_ICONS);
    ASSERT_EQ(m_list->Presentation(), 2);
    ExpectWholePicturesUnderTitles(m_list, "small icons, discs");
    ScreenshotDir::Save(m_frame, "browse-small-icons");
    Open("Zulu Photos");
    ExpectWholePicturesUnderTitles(m_list, "small icons, a folder");
    const int smallRow = m_list->rowHeight(0);
    m_frame->OnCmdMsg(ID_ALB_DETAILS);
    ExpectWholePicturesUnderTitles(m_list, "details, a folder");
    EXPECT_GT(m_list->rowHeight(0), smallRow) << "details draw the pictures larger";
}
