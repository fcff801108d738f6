// What a screen reader learns of the custom-drawn controls through Qt's
// accessibility interfaces, and the events that tell it of changes.
#include "CAlphaButton.h"
#include "CAlphaButtonEx.h"
#include "CApProgressCtrl.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "CGComboListBox.h"
#include "CGListBoxContainer.h"
#include "CGScrollCheckBox.h"
#include "CGStatic.h"
#include "MessageRecorder.h"
#include "ModalSeam.h"
#include "SkinAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct SeenEvent {
    QAccessible::Event type;
    QObject* object;
    int child;
    QAccessible::State changed;
};
std::vector<SeenEvent> g_events;

void Record(const QAccessibleEvent& event)
{
    QAccessible::State changed;
    if (event.type() == QAccessible::StateChanged)
        changed = static_cast<const QAccessibleStateChangeEvent&>(event).changedStates();
    g_events.push_back({event.type(), event.object(), event.child(), changed});
}

// Reads the controls as a screen reader does and sees the events the skin
// sends it (Qt hands them on only while a reader listens).
class AccessibleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ModalSeam::Reset();
        g_events.clear();
        SkinAccessible::SetObserver(Record);
        window.resize(480, 320);
    }
    void TearDown() override
    {
        SkinAccessible::SetObserver({});
        ModalSeam::Reset();
    }
    void ShowWindow()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    static QAccessibleInterface* Of(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
    static bool Saw(QAccessible::Event type, QObject* object, int child = -1)
    {
        return std::any_of(g_events.begin(), g_events.end(), [&](const SeenEvent& seen) {
            return seen.type == type && seen.object == object && (child < 0 || seen.child == child);
        });
    }

    MessageRecorder window;
};

CGButton* PushButton(QWidget* parent, const QString& text, UINT id)
{
    auto* button = new CGButton(parent);
    button->Create(QStringLiteral("Image\\Common\\button\\btn.png"), WS_CHILD | WS_VISIBLE, QRect(10, 10, 136, 24),
                   parent, id);
    button->setText(text);
    return button;
}

} // namespace

TEST_F(AccessibleTest, ImageButtonsArePushButtonsNamedByTextElseTooltip)
{
    CGButton* ok = PushButton(&window, QStringLiteral("OK"), 8016);
    auto* close = new CGButton(&window);
    close->Create(QStringLiteral("Image\\Dialogs\\BaseDialog\\btn_caption_close.png"), WS_CHILD | WS_VISIBLE, QRect(),
                  &window, 2);
    close->SetTooltip(QStringLiteral("Close"));
    ShowWindow();

    QAccessibleInterface* okFace = Of(ok);
    ASSERT_NE(okFace, nullptr);
    EXPECT_EQ(okFace->role(), QAccessible::PushButton);
    EXPECT_EQ(okFace->text(QAccessible::Name), QStringLiteral("OK"));
    EXPECT_EQ(Of(close)->text(QAccessible::Name), QStringLiteral("Close"));
    EXPECT_EQ(Of(close)->text(QAccessible::Description), QString()) << "the tooltip is not read twice";
    EXPECT_EQ(okFace->parent()->object(), &window);

    close->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(okFace->state().focused);
    EXPECT_FALSE(okFace->state().defaultButton);
    ok->SetDefault(true);
    ok->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(okFace->state().focused);
    EXPECT_TRUE(okFace->state().defaultButton);
    ok->setEnabled(false);
    EXPECT_TRUE(okFace->state().disabled);
    EXPECT_TRUE(okFace->actionInterface()->actionNames().isEmpty()) << "a disabled button offers nothing to press";
    ok->setEnabled(true);

    // The press action clicks the button as the mouse does.
    okFace->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(window.Commands(BN_CLICKED), 1);
}

TEST_F(AccessibleTest, TheFamilyReadsAsCheckBoxesRadioButtonsAndButtons)
{
    auto* check = new CAlphaButtonEx(&window);
    check->Create(QStringLiteral("Show hidden drives"), QString(), WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                  QRect(10, 50, 200, 20), &window, 5);
    auto* radio = new CAlphaButtonEx(&window);
    radio->Create(QStringLiteral("Video"), QString(), WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON,
                  QRect(10, 80, 200, 20), &window, 6);
    auto* icon = new CAlphaButton(&window);
    icon->Create(QStringLiteral("Image\\Albireo\\btn_add_tag.png"), WS_CHILD | WS_VISIBLE, QRect(10, 110, 44, 24),
                 &window, 7);
    icon->SetTooltip(QStringLiteral("Add a tag"));
    auto* label = new CGStatic(&window);
    label->Create(QStringLiteral("Tags"), WS_CHILD | WS_VISIBLE, QRect(10, 140, 100, 20), &window, 0);
    ShowWindow();

    EXPECT_EQ(Of(check)->role(), QAccessible::CheckBox);
    EXPECT_EQ(Of(check)->text(QAccessible::Name), QStringLiteral("Show hidden drives"));
    EXPECT_TRUE(Of(check)->state().checkable);
    EXPECT_FALSE(Of(check)->state().checked);
    check->setFocus(Qt::TabFocusReason);
    QTest::keyClick(check, Qt::Key_Space);
    EXPECT_TRUE(Of(check)->state().checked);

    EXPECT_EQ(Of(radio)->role(), QAccessible::RadioButton);
    EXPECT_EQ(Of(icon)->role(), QAccessible::PushButton);
    EXPECT_EQ(Of(icon)->text(QAccessible::Name), QStringLiteral("Add a tag"));
    EXPECT_EQ(Of(label)->role(), QAccessible::StaticText);
    EXPECT_EQ(Of(label)->text(QAccessible::Name), QStringLiteral("Tags"));
}

TEST_F(AccessibleTest, ACheckBoxListIsAListOfNamedCheckBoxesAndSpaceChangesWhatIsRead)
{
    auto* list = new CGScrollCheckBox(&window);
    list->Create(WS_CHILD | WS_VISIBLE, QRect(10, 10, 280, 112), &window, 3244);
    list->SetDeletePicture(QStringLiteral("Image\\Albireo\\btn_delete_tag.png"), QStringLiteral("Delete"));
    for (const char* tag : {"Video", "Photo", "Music", "Data", "Holiday"})
        list->AddRow(QString::fromLatin1(tag), QByteArray(tag) == "Holiday");
    ShowWindow();

    QAccessibleInterface* face = Of(list);
    EXPECT_EQ(face->role(), QAccessible::List);
    ASSERT_EQ(face->childCount(), 7) << "five check boxes, one delete button, the scroll bar";
    QAccessibleInterface* photo = face->child(1);
    EXPECT_EQ(photo->object(), list->CheckButton(1));
    EXPECT_EQ(photo->role(), QAccessible::CheckBox);
    EXPECT_EQ(photo->text(QAccessible::Name), QStringLiteral("Photo"));
    EXPECT_EQ(photo->parent(), face) << "the scrolled surface is left out";
    EXPECT_EQ(face->indexOfChild(photo), 1);
    EXPECT_EQ(face->child(5)->object(), list->DeleteButton(4));
    EXPECT_EQ(face->child(5)->text(QAccessible::Name), QStringLiteral("Delete"));
    EXPECT_TRUE(photo->state().checkable);
    EXPECT_FALSE(photo->state().checked);

    list->CheckButton(1)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(photo->state().focused);
    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Space);
    EXPECT_TRUE(list->GetCheck(1));
    EXPECT_TRUE(photo->state().checked);
    const auto change = std::find_if(g_events.begin(), g_events.end(), [&](const SeenEvent& seen) {
        return seen.type == QAccessible::StateChanged && seen.object == list->CheckButton(1);
    });
    ASSERT_NE(change, g_events.end()) << "the reader is told the check changed";
    EXPECT_TRUE(change->changed.checked);

    g_events.clear();
    list->SetCheck(1, true);
    EXPECT_FALSE(Saw(QAccessible::StateChanged, list->CheckButton(1))) << "no news when nothing changed";
    list->SetCheck(1, false);
    EXPECT_TRUE(Saw(QAccessible::StateChanged, list->CheckButton(1)));
}

TEST_F(AccessibleTest, AComboBoxReadsItsChoiceAndItsPopupListFollowsTheKeyboard)
{
    auto* combo = new CGComboBox(&window);
    combo->Create(QStringLiteral("Image\\Common\\combobox\\combo_216_24.png"),
                  QStringLiteral("Image\\Common\\combobox\\comboitembk.jpg"), WS_CHILD | WS_VISIBLE,
                  QRect(20, 20, 216, 24), &window, 3251);
    combo->setAccessibleName(QStringLiteral("Drive"));
    for (const char* drive : {"D: Optical drive", "E: Disc image", "F: Backup drive"})
        combo->AddString(QString::fromLatin1(drive));
    combo->SetCurSel(1);
    ShowWindow();

    QAccessibleInterface* face = Of(combo);
    EXPECT_EQ(face->role(), QAccessible::ComboBox);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Drive"));
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("E: Disc image"));
    EXPECT_TRUE(face->state().expandable);
    EXPECT_TRUE(face->state().collapsed);

    face->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    ASSERT_TRUE(combo->Popup() && combo->Popup()->isVisible());
    EXPECT_TRUE(face->state().expanded);
    ASSERT_EQ(face->childCount(), 1);
    QAccessibleInterface* list = face->child(0);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->parent(), face) << "the pop-up window around the list is left out";
    ASSERT_EQ(list->childCount(), 3);
    QAccessibleInterface* third = list->child(2);
    EXPECT_EQ(third->role(), QAccessible::ListItem);
    EXPECT_EQ(third->text(QAccessible::Name), QStringLiteral("F: Backup drive"));
    EXPECT_EQ(list->indexOfChild(third), 2);
    EXPECT_EQ(list->child(2), third) << "items are made once";
    EXPECT_TRUE(list->child(1)->state().selected) << "the current choice is marked";

    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Down);
    EXPECT_TRUE(third->state().selected);
    EXPECT_TRUE(third->state().focused);
    EXPECT_FALSE(list->child(1)->state().selected);
    EXPECT_TRUE(Saw(QAccessible::Focus, combo->Popup()->List(), 2));
    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Return);
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("F: Backup drive"));
    EXPECT_TRUE(face->state().collapsed);
}

TEST_F(AccessibleTest, AProgressBarGivesItsValue)
{
    auto* bar = new CApProgressCtrl(&window);
    bar->Create(QString(), QString(), WS_CHILD | WS_VISIBLE, QRect(10, 10, 300, 12), &window, 0);
    bar->SetRange(0, 200);
    ShowWindow();
    bar->SetPos(80);

    QAccessibleInterface* face = Of(bar);
    EXPECT_EQ(face->role(), QAccessible::ProgressBar);
    ASSERT_NE(face->valueInterface(), nullptr);
    EXPECT_EQ(face->valueInterface()->currentValue().toInt(), 80);
    EXPECT_EQ(face->valueInterface()->minimumValue().toInt(), 0);
    EXPECT_EQ(face->valueInterface()->maximumValue().toInt(), 200);
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("40%"));
}

TEST_F(AccessibleTest, AMessageBoxIsAnAlertThatReadsOutItsTextWhenItOpens)
{
    const QString text = QStringLiteral("The disc is already in the library.");
    ModalSeam::QueueAction([&](QDialog* window) {
        QAccessibleInterface* face = Of(window);
        EXPECT_EQ(face->role(), QAccessible::AlertMessage);
        EXPECT_EQ(face->text(QAccessible::Name), window->windowTitle());
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty());
        EXPECT_EQ(face->text(QAccessible::Description), text);
        EXPECT_TRUE(Saw(QAccessible::Alert, window)) << "announced as it opened";
        return IDOK;
    });
    CFlwMessageBox::showMessage(text, 0x30);
}
