#include "CGButton.h"
#include "CGScrollBar.h"
#include "CGScrollCheckBox.h"
#include "MessageRecorder.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class CGScrollCheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.resize(320, 320);
        parent.show();
        list = new CGScrollCheckBox(&parent);
        list->Create(WS_CHILD | WS_VISIBLE, RectLTRB(18, 40, 297, 270), &parent, 3244);
        list->SetDeletePicture(QStringLiteral("Image\\Albireo\\btn_delete_tag.png"), QStringLiteral("Delete"));
        for (int row = 0; row < 6; ++row) list->AddRow(QStringLiteral("Tag %1").arg(row), row >= 4);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    // Where a row's control stands in the list's own coordinates.
    QPoint InList(QWidget* control) { return control->mapTo(list, QPoint(0, 0)); }

    MessageRecorder parent;
    CGScrollCheckBox* list = nullptr;
};

} // namespace

TEST_F(CGScrollCheckBoxTest, RowsStandTwentyEightPixelsApartWithTheirIdentifiers)
{
    for (int row = 0; row < 6; ++row) {
        CGButton* check = list->CheckButton(row);
        EXPECT_EQ(InList(check), QPoint(5, row * 28 + 5)) << row;
        EXPECT_EQ(check->size(), QSize(20, 20));
        EXPECT_EQ(GetDlgCtrlID(check), 9000 + row);
        EXPECT_EQ(list->DeleteButton(row) != nullptr, row >= 4) << row;
    }
    EXPECT_EQ(InList(list->DeleteButton(4)).x(), 215);
    EXPECT_EQ(GetDlgCtrlID(list->DeleteButton(5)), 30005);
    EXPECT_EQ(list->DeleteButton(5)->toolTip(), QStringLiteral("Delete"));
}

TEST_F(CGScrollCheckBoxTest, TheDividerPushesTheUserRowsDownOneRow)
{
    list->EnableDivider(true, QStringLiteral("Image\\Albireo\\divider.png"));
    EXPECT_EQ(InList(list->CheckButton(3)).y(), 3 * 28 + 5);
    EXPECT_EQ(InList(list->CheckButton(4)).y(), 5 * 28 + 5);
    EXPECT_EQ(list->ContentHeight(), 7 * 28);
}

TEST_F(CGScrollCheckBoxTest, ClickingTheBoxOrTheTextTicksTheRow)
{
    QTest::mouseClick(list->CheckButton(1), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(list->GetCheck(1));
    EXPECT_EQ(list->CheckButton(1)->FrameIndex(), 4);
    QWidget* text = list->CheckButton(1)->parentWidget()->childAt(QPoint(60, 1 * 28 + 10));
    ASSERT_NE(text, nullptr);
    QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(list->GetCheck(1));
    list->SetCheck(2, true);
    EXPECT_TRUE(list->GetCheck(2));
    EXPECT_FALSE(list->GetCheck(99));
}

TEST_F(CGScrollCheckBoxTest, DeleteButtonAsksTheParentWhichMayDeleteTheRow)
{
    list->SetCheck(5, true);
    parent.onMessage = [&](const RecordedMessage& m) {
        if (m.msg == WM_USER + 2000) list->DeleteRow(static_cast<int>(m.wParam));
    };
    QTest::mouseClick(list->DeleteButton(4), Qt::LeftButton, {}, QPoint(5, 5));
    const auto deletes = parent.With(WM_USER + 2000);
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(deletes[0].wParam, 4u);
    ASSERT_EQ(list->GetRowCount(), 5);
    EXPECT_EQ(list->GetRowText(4), QStringLiteral("Tag 5"));
    EXPECT_TRUE(list->GetCheck(4)) << "the later rows shift up with their ticks";
    EXPECT_EQ(GetDlgCtrlID(list->DeleteButton(4)), 30004);
    EXPECT_EQ(InList(list->CheckButton(4)).y(), 4 * 28 + 5);
    QTest::qWait(1); // the deleted row's controls go once the event has returned
}

TEST_F(CGScrollCheckBoxTest, RowsBeyondTheHeightScroll)
{
    for (int row = 6; row < 12; ++row) list->AddRow(QStringLiteral("More %1").arg(row), true);
    EXPECT_TRUE(list->ScrollBar()->isVisible());
    EXPECT_EQ(list->ScrollBar()->maximum(), list->ContentHeight() - list->height());
    list->ScrollToRow(11);
    const QPoint last = InList(list->CheckButton(11));
    EXPECT_GE(last.y(), 0);
    EXPECT_LE(last.y() + 20, list->height());
    list->ResetContent();
    EXPECT_EQ(list->GetRowCount(), 0);
    EXPECT_FALSE(list->ScrollBar()->isVisible());
}
