// The tag pane over a real library: seeding, ticking by mouse and keyboard,
// the filter handed to the file list, reloading with ticks kept, failures,
// and a pane of 2,000 user tags.
#include "CFilterListCtrl.h"
#include "CGButton.h"
#include "CGStatic.h"
#include "CTagView.h"
#include "LibrarySeed.h"
#include "ModalSeam.h"
#include "ResourceIds.h"
#include "TagPaneMessages.h"
#include "TagTestSupport.h"
#include "TestEnvironment.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Stands in for the file list view: keeps every filter it is sent.
class FileListStandIn : public QObject {
public:
    std::vector<QStringList> filters;

protected:
    bool event(QEvent* event) override
    {
        auto* message = WinMessageEvent::From(event);
        if (!message) return QObject::event(event);
        if (message->msg == WM_TAG_FILTER) filters.push_back(*reinterpret_cast<const QStringList*>(message->lParam));
        return true;
    }
};

QStringList Texts(const CFilterListCtrl* list)
{
    QStringList texts;
    for (int row = 0; row < list->GetItemCount(); ++row) texts << list->GetItemText(row);
    return texts;
}

QList<int> Ticked(const CFilterListCtrl* list)
{
    QList<int> rows;
    for (int row = 0; row < list->GetItemCount(); ++row)
        if (list->IsTicked(row)) rows << row;
    return rows;
}

void ClickState(CFilterListCtrl* list, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(list->viewport(), button, Qt::NoModifier, list->StateRect(row).center());
}

class TagViewTest : public ::testing::Test {
protected:
    void SetUp() override { ModalSeam::Reset(); }
    void TearDown() override { ModalSeam::Reset(); }

    std::unique_ptr<CTagView> OpenPane()
    {
        auto pane = std::make_unique<CTagView>();
        pane->resize(210, 400);
        pane->SetFileListView(&fileList);
        pane->show();
        return pane;
    }

    LanguageScope english{QStringLiteral("Enu")};
    FreshLibrary library;
    FileListStandIn fileList;
};

} // namespace

TEST_F(TagViewTest, TheFirstStartSeedsTheFourCategoryTagsAndTheDefaultLabels)
{
    auto pane = OpenPane();
    EXPECT_EQ(library.TagNames(), (QStringList{"Video", "Photo", "Music", "Document"}));
    EXPECT_EQ(Texts(pane->CategoryList()), (QStringList{"Video", "Photo", "Music", "Document"}));
    EXPECT_EQ(pane->TagList()->GetItemCount(), 0);
    LONG labels = 0;
    EXPECT_EQ(S_OK, library->GetLabelCount(&labels));
    EXPECT_EQ(labels, 5);
    EXPECT_TRUE(ModalSeam::Shown().empty());
    EXPECT_EQ(pane->Separator()->y(), pane->CategoryList()->geometry().bottom() + 1);
    EXPECT_GT(pane->TagList()->y(), pane->Separator()->geometry().bottom());
    EXPECT_TRUE(pane->Separator()->isHidden()) << "no user tags to set off";

    auto again = OpenPane(); // a second start adds nothing
    EXPECT_EQ(library.TagNames().size(), 4);
    EXPECT_EQ(S_OK, library->AddTag(u"Holiday", nullptr));
    pane->OnUpdate(nullptr, CTagView::kLibraryChangedHint, nullptr);
    EXPECT_TRUE(pane->Separator()->isVisible());
}

TEST(TagViewGerman, CategoryRowsShowTheGermanNames)
{
    LanguageScope german(QStringLiteral("Deu"));
    FreshLibrary library;
    CTagView pane;
    EXPECT_EQ(Texts(pane.CategoryList()), (QStringList{"Video", "Foto", "Musik", "Dokument"}));
    EXPECT_EQ(library.TagNames(), (QStringList{"Video", "Photo", "Music", "Document"}));
}

TEST(LibrarySeed, DefaultLabelsStopAtTheFirstCategoryWithAMissingPicture)
{
    FreshLibrary library;
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("program"));
    for (const char* category : {"video", "photo", "music"})
        for (int pixels : {32, 128, 360}) {
            const QString target = LibrarySeed::DefaultLabelFile(folder, QString::fromLatin1(category), pixels);
            QDir().mkpath(QFileInfo(target).path());
            ASSERT_TRUE(QFile::copy(LibrarySeed::DefaultLabelFile(TestEnvironment::ProgramFolder(),
                                                                  QString::fromLatin1(category), pixels),
                                    target));
        }
    QFile::remove(LibrarySeed::DefaultLabelFile(folder, QStringLiteral("photo"), 128));
    EXPECT_EQ(LibrarySeed::EnsureDefaultLabels(library.get(), folder), 1);
    LONG labels = 0;
    EXPECT_EQ(S_OK, library->GetLabelCount(&labels));
    EXPECT_EQ(labels, 1);
    EXPECT_EQ(LibrarySeed::EnsureDefaultLabels(library.get(), TestEnvironment::ProgramFolder()), 0); // not empty
}

TEST_F(TagViewTest, TickingMusicAndAUserTagFiltersByKeysAfterEveryToggle)
{
    library.AddTags({QStringLiteral("Holiday"), QStringLiteral("Work")});
    auto pane = OpenPane();
    EXPECT_EQ(Texts(pane->TagList()), (QStringList{"Holiday", "Work"}));

    ClickState(pane->CategoryList(), 2);
    pane->TagList()->setFocus();
    pane->TagList()->setCurrentIndex(pane->TagList()->model()->index(0, 0));
    QTest::keyClick(pane->TagList(), Qt::Key_Space);
    ASSERT_EQ(fileList.filters.size(), 2u);
    EXPECT_EQ(fileList.filters[0], QStringList{"Music"});
    EXPECT_EQ(fileList.filters[1], (QStringList{"Music", "Holiday"}));
    EXPECT_EQ(pane->Selection(), (QStringList{"Music", "Holiday"}));

    // A double click arrives as a press and a double-click event; each toggles.
    ClickState(pane->CategoryList(), 2);
    EXPECT_EQ(fileList.filters.back(), QStringList{"Holiday"});
    QTest::mouseDClick(pane->CategoryList()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       pane->CategoryList()->StateRect(2).center());
    EXPECT_EQ(fileList.filters.back(), (QStringList{"Music", "Holiday"}));
    EXPECT_EQ(fileList.filters.size(), 4u);
}

TEST_F(TagViewTest, ClicksBesideTheCheckBoxRightClicksAndFixedRowsChangeNothing)
{
    auto pane = OpenPane();
    CFilterListCtrl* list = pane->CategoryList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(list->model()->index(1, 0)).center());
    EXPECT_TRUE(Ticked(list).isEmpty());
    EXPECT_EQ(list->currentIndex().row(), 1); // the text selects
    ClickState(list, 3, Qt::RightButton);
    EXPECT_TRUE(Ticked(list).isEmpty());
    EXPECT_EQ(list->currentIndex().row(), 1); // swallowed, no selection change
    EXPECT_TRUE(fileList.filters.empty());

    list->SetState(0, FilterListModel::kFixed);
    ClickState(list, 0);
    list->SetTicked(0, true);
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(list->GetState(0), FilterListModel::kFixed);
}

TEST_F(TagViewTest, ReloadingKeepsTheTicksOfTheTagsThatRemain)
{
    library.AddTags({QStringLiteral("Holiday"), QStringLiteral("Work"), QStringLiteral("Family")});
    auto pane = OpenPane();
    ClickState(pane->CategoryList(), 1);
    ClickState(pane->TagList(), 0);
    ClickState(pane->TagList(), 1);
    const size_t sent = fileList.filters.size();
    EXPECT_EQ(S_OK, library->SetTagVisible(u"holiday", 0));
    EXPECT_EQ(S_OK, library->AddTag(u"Road Trip", nullptr));
    pane->OnUpdate(nullptr, CTagView::kLibraryChangedHint, nullptr);
    EXPECT_EQ(Texts(pane->TagList()), (QStringList{"Work", "Family", "Road Trip"}));
    EXPECT_EQ(Ticked(pane->TagList()), QList<int>{0});
    EXPECT_EQ(Ticked(pane->CategoryList()), QList<int>{1});
    EXPECT_EQ(fileList.filters.size(), sent); // the filter is not re-applied

    pane->OnUpdate(pane.get(), CTagView::kLibraryChangedHint, nullptr); // its own update is not news
    EXPECT_EQ(SendMessage(pane.get(), WM_TAG_RELOAD), S_OK);
    for (const char16_t* name : {u"video", u"photo", u"music", u"document", u"work", u"family", u"road trip"})
        library->SetTagVisible(name, 0);
    EXPECT_EQ(pane->reloadTags(), E_FAIL);
    EXPECT_EQ(pane->TagList()->GetItemCount(), 3); // unchanged
    EXPECT_TRUE(pane->Separator()->isVisible());

    // The last user tag deleted: the categories stand alone, no orphan separator.
    for (const char16_t* name : {u"video", u"photo", u"music", u"document"}) library->SetTagVisible(name, 1);
    EXPECT_EQ(pane->reloadTags(), S_OK);
    EXPECT_EQ(pane->TagList()->GetItemCount(), 0);
    EXPECT_TRUE(pane->Separator()->isHidden());
}

TEST_F(TagViewTest, TheAllButtonClearsTheFilterAndEveryTick)
{
    library.AddTags({QStringLiteral("Holiday")});
    auto pane = OpenPane();
    ClickState(pane->CategoryList(), 0);
    ClickState(pane->TagList(), 0);
    QTest::mouseClick(pane->AllButton(), Qt::LeftButton);
    EXPECT_EQ(fileList.filters.back(), QStringList());
    EXPECT_TRUE(Ticked(pane->CategoryList()).isEmpty());
    EXPECT_TRUE(Ticked(pane->TagList()).isEmpty());
    EXPECT_TRUE(pane->Selection().isEmpty());

    ClickState(pane->TagList(), 0);
    EXPECT_EQ(SendMessage(pane.get(), WM_TAG_CLEAR_FILTER), 0);
    EXPECT_TRUE(Ticked(pane->TagList()).isEmpty());
    const size_t sent = fileList.filters.size();
    SendMessage(pane.get(), WM_TAG_APPLY_FILTER);
    EXPECT_EQ(fileList.filters.size(), sent + 1);
    EXPECT_EQ(fileList.filters.back(), QStringList());
}

TEST_F(TagViewTest, ALibraryThatCannotBeOpenedGivesMessage3014AndAnEmptyPane)
{
    const QByteArray good = qgetenv("ALBIREO_LIBRARY_DB");
    // A file where the library's folder should be: the database cannot be made.
    const QString blocker = TestEnvironment::MakeFolder(QStringLiteral("blocked")) + QStringLiteral("/file");
    QFile(blocker).open(QIODevice::WriteOnly);
    qputenv("ALBIREO_LIBRARY_DB", (blocker + QStringLiteral("/library.db")).toLocal8Bit());
    CTagView pane;
    qputenv("ALBIREO_LIBRARY_DB", good);
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_EQ(ModalSeam::Shown()[0].textId, IDS_MSG_LIBRARY_FAILED);
    EXPECT_EQ(ModalSeam::Shown()[0].style, 0x30u);
    EXPECT_EQ(pane.CategoryList()->GetItemCount(), 0);
    EXPECT_EQ(pane.Engine(), nullptr);
    EXPECT_EQ(pane.reloadTags(), E_POINTER);
}

TEST_F(TagViewTest, TwoThousandUserTagsScrollInAListWithoutAWidgetPerRow)
{
    QStringList many;
    for (int i = 0; i < 2000; ++i) many << QStringLiteral("Tag %1").arg(i, 4, 10, QLatin1Char('0'));
    library.AddTags(many);
    auto pane = OpenPane();
    CFilterListCtrl* list = pane->TagList();
    ASSERT_EQ(list->GetItemCount(), 2000);
    EXPECT_LE(list->geometry().bottom(), pane->height());
    EXPECT_GT(list->verticalScrollBar()->maximum(), 0);
    EXPECT_LT(list->findChildren<QWidget*>().size(), 20);

    list->setFocus();
    list->setCurrentIndex(list->model()->index(1999, 0));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(fileList.filters.back(), QStringList{"Tag 1999"});
    EXPECT_TRUE(list->viewport()->rect().intersects(list->visualRect(list->model()->index(1999, 0))));
}

TEST_F(TagViewTest, RowsAnswerAccessibilityAsCheckableItems)
{
    auto pane = OpenPane();
    QAccessibleInterface* listInterface = QAccessible::queryAccessibleInterface(pane->CategoryList());
    ASSERT_TRUE(listInterface);
    ASSERT_EQ(listInterface->childCount(), 4);
    QAccessibleInterface* music = listInterface->child(2);
    ASSERT_TRUE(music);
    EXPECT_EQ(music->role(), QAccessible::ListItem);
    EXPECT_EQ(music->text(QAccessible::Name), QStringLiteral("Music"));
    EXPECT_TRUE(music->state().checkable);
    EXPECT_FALSE(music->state().checked);
    ClickState(pane->CategoryList(), 2);
    EXPECT_TRUE(listInterface->child(2)->state().checked);
}
