// The skinned dialogs from the keyboard: Enter, Escape, Space, Tab and the
// focus ring, with real key events sent to whatever has the focus.
#include "CAlphaEditEx.h"
#include "CFlwBaseDialog.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGScrollBar.h"
#include "CGScrollCheckBox.h"
#include "ModalSeam.h"
#include "SkinFocusRing.h"
#include "SkinImage.h"
#include "SkinTabOrder.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { ModalSeam::Reset(); }
    void TearDown() override { ModalSeam::Reset(); }
};

// Presses `key` on whatever has the keyboard focus.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}

// What the focused default button of a box answers, -1 when the focus is
// not on its default button.
int FocusedDefault()
{
    const auto* button = qobject_cast<CGButton*>(QApplication::focusWidget());
    return button && button->IsDefault() ? CFlwMessageBox::ResultOfCommand(static_cast<UINT>(GetDlgCtrlID(button))) : -1;
}

// Runs a message box of `style` and answers it by pressing `keys`.
int AnswerByKeys(UINT style, const std::vector<Qt::Key>& keys, int* focusedAtOpen = nullptr)
{
    ModalSeam::QueueAction([&](QDialog* window) {
        QApplication::setActiveWindow(window);
        if (focusedAtOpen) *focusedAtOpen = FocusedDefault();
        for (Qt::Key key : keys) Press(key);
        return ModalSeam::kWindowDecides;
    });
    return CFlwMessageBox::showMessage(QStringLiteral("The disc is already in the library."), style);
}

// A skinned dialog with an edit, a check box and OK/Cancel, its controls
// created in an order unlike the one they are seen in.
class FormDialog : public CFlwBaseDialog {
public:
    FormDialog() : CFlwBaseDialog(3233) {}
    CAlphaEditEx* edit = nullptr;
    CGButton* check = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        const BOOL skinned = SetupSkin(QStringLiteral("Add tags"), QStringLiteral("Image\\Albireo\\bg_addtag.png"),
                                       0, IDOK, 0, IDCANCEL);
        check = new CGButton(this);
        check->Create(QStringLiteral("Image\\Common\\checkbox\\btn_check-box.png"), WS_CHILD | WS_VISIBLE,
                      QRect(20, 90, 20, 20), this, 3300);
        check->SetToggle(true);
        edit = new CAlphaEditEx(this);
        edit->Create(QStringLiteral("Image\\common\\edit\\input_bg_231.png"), WS_CHILD | WS_VISIBLE,
                     QRect(20, 50, 231, 24), this, 3301);
        return skinned;
    }
};

} // namespace

TEST_F(KeyboardTest, EveryButtonSetAnswersEnterWithItsDefaultButton)
{
    const struct {
        UINT style;
        int result;
    } cases[] = {
        {0, IDOK},           {1, IDOK},          {2, IDABORT},        {3, IDYES},          {4, IDYES},
        {5, IDRETRY},        {7 | 0x40, IDOK},   {1 | 0x100, IDCANCEL}, {2 | 0x200, IDIGNORE},
        {3 | 0x100, IDNO},   {3 | 0x200, IDCANCEL}, {4 | 0x100, IDNO},  {5 | 0x100, IDCANCEL},
        {4 | 0x300, IDYES}, // a default beyond the set falls back to its first button
    };
    for (const auto& c : cases) {
        int focused = 0;
        EXPECT_EQ(AnswerByKeys(c.style, {Qt::Key_Return}, &focused), c.result) << std::hex << c.style;
        EXPECT_EQ(focused, c.result) << "the default button has the focus when the box opens";
        EXPECT_EQ(AnswerByKeys(c.style, {Qt::Key_Enter}), c.result) << "the keypad's Enter as well";
    }
}

TEST_F(KeyboardTest, EveryButtonSetAnswersEscapeAsTheCloseButtonDoes)
{
    for (UINT style : {0u, 1u, 2u, 3u, 4u, 5u, 7u | 0x10u}) {
        ModalSeam::QueueAction([](QDialog* window) {
            QTest::mouseClick(static_cast<CFlwMessageBox*>(window)->CloseButton(), Qt::LeftButton, {}, QPoint(8, 8));
            return ModalSeam::kWindowDecides;
        });
        const int closed = CFlwMessageBox::showMessage(QStringLiteral("Eject the disc?"), style);
        EXPECT_EQ(AnswerByKeys(style, {Qt::Key_Escape}), closed) << style;
        EXPECT_EQ(closed, IDCANCEL);
    }
}

TEST_F(KeyboardTest, TabWalksTheButtonsLeftToRightAndEnterOrSpacePressesTheFocusedOne)
{
    // Yes, No, Cancel from the left; Yes has the focus first.
    EXPECT_EQ(AnswerByKeys(3, {Qt::Key_Tab, Qt::Key_Return}), IDNO);
    EXPECT_EQ(AnswerByKeys(3, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space}), IDCANCEL);
    EXPECT_EQ(AnswerByKeys(3, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}), IDYES) << "Tab wraps";
    ModalSeam::QueueAction([](QDialog*) {
        Press(Qt::Key_Tab, Qt::ShiftModifier);
        Press(Qt::Key_Return);
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(CFlwMessageBox::showMessage(QStringLiteral("Save the label?"), 3), IDCANCEL) << "Shift+Tab goes left";
}

TEST_F(KeyboardTest, TheMessageBoxTabOrderIsItsButtonsFromTheLeftWithoutTheCaptionButton)
{
    for (UINT style : {0u, 1u, 2u, 3u, 4u, 5u}) {
        CFlwMessageBox box(QStringLiteral("Eject?"), 0, style, 100, nullptr, QString());
        ModalSeam::QueueAction([&](QDialog*) {
            std::vector<CGButton*> fromLeft(box.Buttons().rbegin(), box.Buttons().rend());
            QList<QWidget*> expected(fromLeft.begin(), fromLeft.end());
            EXPECT_EQ(SkinTabOrder::VisualOrder(&box), expected) << style;
            // Real Tab presses walk the same way round.
            QList<QWidget*> walked{QApplication::focusWidget()};
            for (qsizetype i = 1; i < expected.size(); ++i) {
                Press(Qt::Key_Tab);
                walked << QApplication::focusWidget();
            }
            const auto start = std::find(expected.begin(), expected.end(), walked.front()) - expected.begin();
            for (qsizetype i = 0; i < walked.size(); ++i)
                EXPECT_EQ(walked[i], expected[(start + i) % expected.size()]) << style << " step " << i;
            return IDCANCEL;
        });
        box.DoModal();
    }
}

TEST_F(KeyboardTest, ASkinnedDialogTabsInVisualOrderAndEnterPressesOk)
{
    FormDialog dialog;
    ModalSeam::QueueAction([&](QDialog*) {
        const QList<QWidget*> expected{dialog.edit, dialog.check, dialog.BottomButton(IDOK),
                                       dialog.BottomButton(IDCANCEL)};
        EXPECT_EQ(SkinTabOrder::VisualOrder(&dialog), expected);
        EXPECT_EQ(dialog.DefaultButton(), dialog.BottomButton(IDOK));
        EXPECT_EQ(QApplication::focusWidget(), dialog.edit) << "the first control takes the focus";
        QTest::keyClicks(nullptr, QStringLiteral("Holiday"));
        Press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), dialog.check);
        Press(Qt::Key_Space);
        EXPECT_TRUE(dialog.check->GetCheck()) << "Space ticks the focused check box";
        Press(Qt::Key_Return); // a check box is no push button: Enter goes to OK
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("Holiday"));

    FormDialog cancelled;
    ModalSeam::QueueAction([](QDialog*) {
        Press(Qt::Key_Escape);
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

TEST_F(KeyboardTest, TheFocusRingShowsForKeyboardFocusOnly)
{
    for (double scale : {1.0, 1.5}) {
        const QImage ring = SkinImage::Load(SkinFocusRing::PicturePath(scale));
        ASSERT_FALSE(ring.isNull()) << scale;
        EXPECT_EQ(ring.size(), QSize(16, 16) * scale);
        EXPECT_GT(qAlpha(ring.pixel(ring.width() / 2, 0)), 200) << "the ring runs along the edge";
        EXPECT_EQ(qAlpha(ring.pixel(ring.width() / 2, ring.height() / 2)), 0) << "and leaves the middle clear";
    }
    QWidget window;
    window.resize(340, 80);
    auto* first = new CGButton(&window);
    first->Create(QStringLiteral("Image\\Common\\button\\btn.png"), WS_CHILD | WS_VISIBLE, QRect(10, 10, 136, 24),
                  &window, 1);
    first->setText(QStringLiteral("OK"));
    auto* second = new CGButton(&window);
    second->Create(QStringLiteral("Image\\Common\\button\\btn.png"), WS_CHILD | WS_VISIBLE, QRect(160, 10, 136, 24),
                   &window, 2);
    second->setText(QStringLiteral("Cancel"));
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QImage plain = second->grab().toImage();

    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_TRUE(second->hasFocus());
    EXPECT_FALSE(SkinFocusRing::Shows(*second));
    EXPECT_EQ(second->grab().toImage(), plain) << "a mouse user sees no ring";

    first->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_Tab);
    ASSERT_TRUE(second->hasFocus());
    EXPECT_TRUE(SkinFocusRing::Shows(*second));
    EXPECT_NE(second->grab().toImage(), plain);
}

TEST_F(KeyboardTest, TabbingIntoAScrolledOutRowScrollsTheListToIt)
{
    QWidget window;
    window.resize(320, 200);
    auto* list = new CGScrollCheckBox(&window);
    list->Create(WS_CHILD | WS_VISIBLE, QRect(10, 10, 280, 112), &window, 3244);
    for (int row = 0; row < 10; ++row) list->AddRow(QStringLiteral("Tag %1").arg(row), false);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    SkinTabOrder::Apply(&window);
    list->CheckButton(3)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(list->ScrollBar()->value(), 0) << "row 3 is in view";
    Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), list->CheckButton(4));
    EXPECT_EQ(list->ScrollBar()->value(), 5 * 28 - 112);
    Press(Qt::Key_Space);
    EXPECT_TRUE(list->GetCheck(4));
}
