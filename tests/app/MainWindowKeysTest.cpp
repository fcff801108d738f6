// The main window without a mouse and through a screen reader's eyes: F6
// walks the panes and the search box, the commands' shortcuts run them and
// are named in their tooltips, Alt and F10 open the menu bar and a menu's
// letter picks an item, menu items are enabled exactly when their commands
// are, and the window's parts answer with names and roles.
#include "CAlbCommandView.h"
#include "CAlbireoApp.h"
#include "CArcEditWrapper.h"
#include "CFileListView.h"
#include "CGButton.h"
#include "CGEdit.h"
#include "CMainFrame.h"
#include "CTagView.h"
#include "CatalogueFixture.h"
#include "PaneCycle.h"
#include "ResourceIds.h"
#include "ScreenshotDir.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

CatalogueFixture* g_catalogue = nullptr;

// Records the commands the bar hands on instead of running them.
class CommandRecorder : public CCmdTarget {
public:
    BOOL OnCmdMsg(UINT id) override
    {
        commands.push_back(id);
        return TRUE;
    }
    std::vector<UINT> commands;
};

class MainWindowKeysTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        g_catalogue->Import("Holiday 2024", {{"DCIM/IMG_4001.JPG", 2048}, {"DCIM/IMG_4002.JPG", 4096}}, {"Photo"});
        g_catalogue->Import("Backup March", {{"docs/report.pdf", 70000}}, {"Document"});
    }
    static void TearDownTestSuite()
    {
        delete g_catalogue;
        g_catalogue = nullptr;
    }

    void SetUp() override
    {
        m_app = CatalogueFixture::StartProgram();
        ASSERT_NE(m_app, nullptr);
        m_frame = m_app->MainFrame();
        QApplication::setActiveWindow(m_frame);
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame));
        m_list = m_frame->FileListView()->List();
        m_list->setFocus(Qt::OtherFocusReason);
    }
    void TearDown() override { m_app->ExitInstance(); }

    // A key pressed where the keyboard is now.
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }
    CGButton* Button(UINT command) const { return m_frame->CommandView()->ButtonOf(command); }
    QMenuBar* MenuBar() const { return m_frame->findChild<QMenuBar*>(); }

    std::unique_ptr<CAlbireoApp> m_app;
    CMainFrame* m_frame = nullptr;
    CAlbListCtrl* m_list = nullptr;
};

TEST_F(MainWindowKeysTest, F6WalksTheCommandBarTheSearchBoxTheTagsAndTheListAndComesBackWhereItLeft)
{
    Press(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), Button(ID_ALB_IMPORT)) << "the command bar's first button";
    ScreenshotDir::Save(m_frame, "focus-pane-commands");
    // The back button is disabled: Right goes on to the view button.
    Press(Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), Button(ID_ALB_SMALL_ICONS));
    Press(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), m_frame->SearchBox()->Edit());
    ScreenshotDir::Save(m_frame, "focus-pane-search");
    Press(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), m_frame->TagView()->AllButton());
    ScreenshotDir::Save(m_frame, "focus-pane-tags");
    Press(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), m_list);
    ASSERT_TRUE(m_list->currentIndex().isValid()) << "the list marks a row for the keyboard";
    ScreenshotDir::Save(m_frame, "focus-pane-list");
    Press(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), Button(ID_ALB_SMALL_ICONS)) << "round again, where the bar was left";

    Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), m_list);
    Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(m_frame->Panes()->CurrentPane(), 2) << "the tag pane";
    // Tab leaves the list instead of walking its cells.
    m_list->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), m_list);
    // Enter presses the bar's focused button; Left goes round to the last.
    Button(ID_ALB_SMALL_ICONS)->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_Return);
    EXPECT_EQ(m_list->Presentation(), 2);
    Button(ID_ALB_IMPORT)->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), Button(ID_ALB_DETAILS)) << "the view button shown now";
}

TEST_F(MainWindowKeysTest, EveryCommandHasAShortcutThatRunsItNamedInItsTooltip)
{
    EXPECT_EQ(Button(ID_ALB_IMPORT)->toolTip(), "Import a Disc (Ctrl+I)");
    EXPECT_EQ(Button(ID_ALB_BACK)->toolTip(), "Back (Alt+Left)");
    EXPECT_EQ(Button(ID_ALB_DETAILS)->toolTip(), "Details (Ctrl+1)");
    EXPECT_EQ(Button(ID_ALB_SMALL_ICONS)->toolTip(), "Small Icons (Ctrl+2)");

    // What each key hands the frame, from the list and from the search box;
    // the back button is disabled at the start, so Alt+Left does nothing.
    CommandRecorder recorder;
    m_frame->CommandView()->SetCommandTarget(&recorder);
    for (QWidget* from : std::initializer_list<QWidget*>{m_list, m_frame->SearchBox()->Edit()}) {
        from->setFocus(Qt::OtherFocusReason);
        Press(Qt::Key_I, Qt::ControlModifier);
        Press(Qt::Key_Left, Qt::AltModifier);
        Press(Qt::Key_2, Qt::ControlModifier);
        Press(Qt::Key_1, Qt::ControlModifier);
    }
    m_frame->CommandView()->SetCommandTarget(m_frame);
    const std::vector<UINT> expected = {ID_ALB_IMPORT, ID_ALB_SMALL_ICONS, ID_ALB_DETAILS};
    EXPECT_EQ(recorder.commands, std::vector<UINT>({expected[0], expected[1], expected[2], expected[0], expected[1],
                                                    expected[2]}));

    // And the real commands: the presentation, into a disc and back.
    m_list->setFocus(Qt::OtherFocusReason);
    Press(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(m_list->Presentation(), 2);
    Press(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(m_list->Presentation(), 1);
    m_list->SelectRow(0);
    Press(Qt::Key_Return);
    ASSERT_EQ(m_list->GetMode(), CAlbListCtrl::FolderContents);
    Press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::DiscList);
}

TEST_F(MainWindowKeysTest, AltOrF10OpensTheMenuBarAndAMenusLetterPicksAnItem)
{
    Press(Qt::Key_2, Qt::ControlModifier);
    ASSERT_EQ(m_list->Presentation(), 2);
    // Alt pressed and released alone: the bar takes the keyboard.
    QTest::keyPress(m_list, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(m_list, Qt::Key_Alt, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), MenuBar());
    Press(Qt::Key_V); // "&View"
    auto* view = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->title(), "&View");
    ScreenshotDir::Save(view, "menu-view-by-keyboard");
    QTest::keyClick(view, Qt::Key_D); // "&Details"
    EXPECT_EQ(m_list->Presentation(), 1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    QTRY_COMPARE(QApplication::focusWidget(), m_list);

    Press(Qt::Key_F10);
    auto* file = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->title(), "&File");
    QTest::keyClick(file, Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    m_list->setFocus(Qt::OtherFocusReason);
    Press(Qt::Key_H, Qt::AltModifier);
    auto* help = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->title(), "&Help");
    QTest::keyClick(help, Qt::Key_Escape);
}

QAction* ItemOf(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text) return action;
    return nullptr;
}

TEST_F(MainWindowKeysTest, MenuItemsAreEnabledExactlyWhenTheirCommandsAre)
{
    const auto openView = [this] {
        // The offscreen platform leaves a closed menu the active window.
        QApplication::setActiveWindow(m_frame);
        m_list->setFocus(Qt::OtherFocusReason);
        Press(Qt::Key_V, Qt::AltModifier);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    };
    // Nothing to go back to: View > Back rests.
    QMenu* view = openView();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(ItemOf(view, "&Back"), nullptr);
    EXPECT_FALSE(ItemOf(view, "&Back")->isEnabled());
    EXPECT_TRUE(ItemOf(view, "&Small Icons")->isEnabled());
    QTest::keyClick(view, Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // Inside a disc it goes back.
    m_list->SelectRow(0);
    Press(Qt::Key_Return);
    ASSERT_EQ(m_list->GetMode(), CAlbListCtrl::FolderContents);
    view = openView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(ItemOf(view, "&Back")->isEnabled());
    QTest::keyClick(view, Qt::Key_B);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::DiscList);

    // Search results keep their presentation: the view modes rest, by menu or command.
    QTest::keyClicks(m_frame->SearchBox()->Edit(), "IMG");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_frame->IsSearchPending(); }));
    view = openView();
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(ItemOf(view, "&Small Icons")->isEnabled());
    EXPECT_FALSE(ItemOf(view, "&Back")->isEnabled());
    ScreenshotDir::Save(view, "menu-view-in-search");
    QTest::keyClick(view, Qt::Key_S);
    if (QApplication::activePopupWidget()) QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    m_frame->OnCmdMsg(ID_ALB_SMALL_ICONS);
    EXPECT_EQ(m_list->Presentation(), 1);
    EXPECT_EQ(m_list->GetMode(), CAlbListCtrl::SearchResults);
}

QAccessibleInterface* ChildNamed(QAccessibleInterface* parent, const QString& name)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (QAccessibleInterface* child = parent->child(i); child && child->text(QAccessible::Name) == name) return child;
    return nullptr;
}

TEST_F(MainWindowKeysTest, TheWindowsPartsAnswerScreenReadersWithNamesRolesAndActions)
{
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(m_frame);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), "Albireo");
    for (const char* name : {"Minimize", "Maximize", "Close"}) {
        QAccessibleInterface* button = ChildNamed(frame, name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->role(), QAccessible::Button);
        EXPECT_EQ(button->parent(), frame);
        EXPECT_EQ(frame->indexOfChild(button), frame->childCount() - 3 + (QString(name) == "Close" ? 2 : QString(name) == "Maximize" ? 1 : 0));
        EXPECT_TRUE(button->rect().intersects(QRect(m_frame->mapToGlobal(QPoint(0, 0)), m_frame->size())));
    }
    QAccessibleInterface* maximise = ChildNamed(frame, "Maximize");
    maximise->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(m_frame->isMaximized());
    EXPECT_EQ(maximise->text(QAccessible::Name), "Restore Down");

    struct Part {
        QWidget* widget;
        QAccessible::Role role;
        QString name;
    };
    const Part parts[] = {
        {m_frame->CommandView(), QAccessible::ToolBar, "Commands"},
        {m_frame->SearchBox()->Edit(), QAccessible::EditableText, "Search"},
        {m_frame->TagView(), QAccessible::Pane, "Tags"},
        {m_frame->FileListView(), QAccessible::Pane, "Library"},
        {m_list, QAccessible::Table, "Library"},
        {Button(ID_ALB_IMPORT), QAccessible::PushButton, "Import a Disc"},
        {Button(ID_ALB_BACK), QAccessible::PushButton, "Back"},
    };
    for (const Part& part : parts) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(part.widget);
        ASSERT_NE(face, nullptr) << part.name.toStdString();
        EXPECT_EQ(face->role(), part.role) << part.name.toStdString();
        EXPECT_EQ(face->text(QAccessible::Name), part.name);
    }
    QAccessibleInterface* import = QAccessible::queryAccessibleInterface(Button(ID_ALB_IMPORT));
    EXPECT_EQ(import->text(QAccessible::Accelerator), "Ctrl+I");
    const QString press = QAccessibleActionInterface::pressAction();
    EXPECT_EQ(import->actionInterface()->keyBindingsForAction(press), QStringList{"Ctrl+I"});
}

} // namespace
