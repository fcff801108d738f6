#include "CGScrollBar.h"
#include "CGScrollEdit.h"

#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

class CGScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(100, 200);
        window.show();
        bar = new CGScrollBar(&window);
        bar->Create(WS_CHILD | WS_VISIBLE, QRect(10, 10, 14, 140), &window, 77);
        bar->setRange(0, 100);
        bar->setPageStep(20);
        bar->setSingleStep(5);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
    CGScrollBar* bar = nullptr;
};

} // namespace

TEST_F(CGScrollBarTest, PartsFollowTheArrowPicturesAndTheRange)
{
    EXPECT_EQ(bar->property("windowClass").toString(), QStringLiteral("MFCGScrollBar"));
    EXPECT_EQ(bar->sizeHint().width(), 14);
    EXPECT_EQ(bar->PartRect(CGScrollBar::UpArrow), QRect(0, 0, 14, 14));
    EXPECT_EQ(bar->PartRect(CGScrollBar::DownArrow), QRect(0, 126, 14, 14));
    const QRect thumb = bar->PartRect(CGScrollBar::Thumb);
    EXPECT_EQ(thumb.top(), 14);
    EXPECT_EQ(thumb.height(), 112 * 20 / 120);
    bar->setValue(100);
    EXPECT_EQ(bar->PartRect(CGScrollBar::Thumb).bottom(), 125);
}

TEST_F(CGScrollBarTest, ArrowsStepTrackPagesAndTheThumbDrags)
{
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(7, 130));
    EXPECT_EQ(bar->value(), 5);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(7, 4));
    EXPECT_EQ(bar->value(), 0);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(7, 110));
    EXPECT_EQ(bar->value(), 20);
    const QPoint grip = bar->PartRect(CGScrollBar::Thumb).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    EXPECT_EQ(bar->PressedPart(), CGScrollBar::Thumb);
    QTest::mouseMove(bar, QPoint(7, 139));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(7, 139));
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(CGScrollBarTest, HoldingAnArrowRepeats)
{
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(7, 130));
    EXPECT_EQ(bar->value(), 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() >= 15; }, 10000));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(7, 130));
    const int released = bar->value();
    QTest::qWait(250);
    EXPECT_EQ(bar->value(), released);
}

TEST(CGScrollEdit, ScrollsWithItsOwnBar)
{
    QWidget window;
    window.resize(300, 200);
    auto* edit = new CGScrollEdit(&window);
    edit->Create(WS_CHILD | WS_VISIBLE, QRect(10, 10, 200, 80), &window, 5);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QStringList lines;
    for (int i = 0; i < 40; ++i) lines << QStringLiteral("line %1").arg(i);
    edit->setPlainText(lines.join(QLatin1Char('\n')));
    EXPECT_EQ(edit->verticalScrollBar(), edit->ScrollBar());
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit->ScrollBar()->isVisible(); }));
    EXPECT_GT(edit->ScrollBar()->maximum(), 0);
    edit->ScrollBar()->setValue(edit->ScrollBar()->maximum());
    EXPECT_GT(edit->cursorForPosition(QPoint(5, 5)).blockNumber(), 20) << "the last lines are in view";
}

TEST_F(CGScrollBarTest, MissingNamedPicturesFallBackToTheDefaults)
{
    const QImage before = bar->grab().toImage();
    EXPECT_TRUE(bar->SetPictures(QStringLiteral("Image\\Common\\scrollbar\\gone_up.png"),
                                 QStringLiteral("Image\\Common\\scrollbar\\gone_down.png"),
                                 QStringLiteral("Image\\Common\\scrollbar\\gone_thumb.png"),
                                 QStringLiteral("Image\\Common\\scrollbar\\gone_track.png")));
    EXPECT_EQ(bar->grab().toImage(), before);
}
