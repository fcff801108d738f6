#include "CApProgressCtrl.h"
#include "CGButton.h"
#include "CProgressDlg.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PressCounter : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

class CProgressDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create(QStringLiteral("Importing"), nullptr));
        dialog.SetRange(0, 100);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    void PostEscape()
    {
        QCoreApplication::postEvent(&dialog, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    }
    CProgressDlg dialog;
};

} // namespace

TEST_F(CProgressDlgTest, WindowIsCutFromItsPictureAndHoldsItsControls)
{
    EXPECT_EQ(dialog.size(), QSize(468, 164));
    EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0))) << "pure blue is outside";
    EXPECT_TRUE(dialog.mask().contains(QPoint(234, 80)));
    EXPECT_EQ(dialog.Bar()->geometry(), QRect(15, 82, 438, 28));
    EXPECT_EQ(GetDlgCtrlID(dialog.CancelButton()), 1211);
    dialog.SetTitle(QStringLiteral("Importing Holiday 2024"));
    EXPECT_EQ(dialog.Title(), QStringLiteral("Importing Holiday 2024"));
    dialog.SetPos(40);
    EXPECT_EQ(dialog.GetPos(), 40);
}

TEST_F(CProgressDlgTest, CancelOnlySetsTheFlagTheOwnerPolls)
{
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(dialog.IsCancelled());
    EXPECT_TRUE(dialog.isVisible());
    dialog.ResetCancel();
    SendMessage(&dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(dialog.IsCancelled());
    dialog.ResetCancel();
    dialog.close();
    EXPECT_TRUE(dialog.IsCancelled());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(CProgressDlgTest, EscapeCancelsOnlyWhilePumpingWithEscapeAllowed)
{
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.IsCancelled());
    PostEscape();
    EXPECT_FALSE(dialog.PumpMessages(false));
    PostEscape();
    EXPECT_TRUE(dialog.PumpMessages(true));
}

TEST_F(CProgressDlgTest, PumpingDropsInputForOtherWindows)
{
    PressCounter other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    const auto press = [&] {
        QCoreApplication::postEvent(&other, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                             Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    };
    press();
    dialog.PumpMessages(true);
    EXPECT_EQ(other.presses, 0);
    press();
    QCoreApplication::processEvents();
    EXPECT_EQ(other.presses, 1);
}

TEST_F(CProgressDlgTest, ScalingRoundsEveryPlaceUp)
{
    dialog.ScaleLayout(1.5);
    EXPECT_EQ(dialog.Bar()->geometry(), QRect(23, 123, 657, 42));
    EXPECT_EQ(dialog.CancelButton()->geometry(), QRect(483, 195, 204, 36));
    EXPECT_EQ(dialog.size(), QSize(702, 246));
    EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(dialog.mask().contains(QPoint(351, 120)));
}
