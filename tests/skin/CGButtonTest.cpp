#include "CGButton.h"
#include "MessageRecorder.h"
#include "TestPictures.h"
#include "WaitFor.h"

#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr UINT kId = 1234;

class CGButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.show();
        button = new CGButton(&parent);
        button->Create(QString(), WS_CHILD | WS_VISIBLE, QRect(20, 20, 10, 10), &parent, kId);
        button->SetPicture(ColourStrip(4));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    int Shown() { return FrameShown(*button, 8); }
    void Click() { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5)); }

    MessageRecorder parent;
    CGButton* button = nullptr;
};

} // namespace

TEST_F(CGButtonTest, DrawsTheFrameOfItsVisualState)
{
    EXPECT_EQ(Shown(), 0);
    QTest::mouseMove(button, QPoint(5, 5));
    EXPECT_EQ(button->VisualState(), 1);
    EXPECT_EQ(Shown(), 1);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button->VisualState(), 2);
    EXPECT_EQ(Shown(), 2);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button->VisualState(), 0);
    button->setEnabled(false);
    EXPECT_EQ(button->VisualState(), 3);
    EXPECT_EQ(Shown(), 3);
    button->setEnabled(true);
    EXPECT_EQ(button->VisualState(), 0);
}

TEST_F(CGButtonTest, ADenseStripMeasuresAndDrawsAsItsPlainTwin)
{
    button->SetPicture(DenseColourStrip(4));
    EXPECT_EQ(button->FrameSize(), QSize(10, 10)) << "a frame in logical pixels, not the dense pixels";
    EXPECT_EQ(Shown(), 0);
    QTest::mouseMove(button, QPoint(3, 4));
    EXPECT_EQ(Shown(), 1);
    button->setEnabled(false);
    EXPECT_EQ(Shown(), 3);
}

TEST_F(CGButtonTest, ToggleFlipsBetweenTheCheckedAndUncheckedHalves)
{
    button->SetToggle(true);
    button->SetPicture(ColourStrip(8));
    Click();
    EXPECT_EQ(button->CheckOffset(), 4);
    EXPECT_EQ(Shown(), 4);
    QTest::mouseMove(button, QPoint(4, 4));
    EXPECT_EQ(Shown(), 5);
    Click();
    EXPECT_EQ(button->CheckOffset(), 0);
    EXPECT_EQ(Shown(), 0);
    button->setEnabled(false);
    button->SetCheck(true);
    EXPECT_EQ(Shown(), 7);
}

TEST_F(CGButtonTest, ClickNotifiesCommandThenClickedMessageAndTakesFocus)
{
    Click();
    ASSERT_EQ(parent.messages.size(), 2u);
    EXPECT_EQ(parent.messages[0].msg, WM_COMMAND);
    EXPECT_EQ(LOWORD(parent.messages[0].wParam), kId);
    EXPECT_EQ(HIWORD(parent.messages[0].wParam), BN_CLICKED);
    EXPECT_EQ(parent.messages[0].lParam, reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(parent.messages[1].msg, WM_USER + 410);
    EXPECT_EQ(parent.messages[1].wParam, kId);
    EXPECT_EQ(parent.messages[1].lParam, reinterpret_cast<LPARAM>(button));
    EXPECT_TRUE(button->hasFocus());
}

TEST_F(CGButtonTest, ReleaseAfterMovingOffTheButtonIsNoClick)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(button, QPoint(40, 40));
    EXPECT_EQ(button->VisualState(), 0);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_TRUE(parent.messages.empty());
}

TEST_F(CGButtonTest, DoubleAndRightClicksReachTheParent)
{
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(parent.Commands(BN_DOUBLECLICKED), 1);
    parent.messages.clear();
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(3, 7));
    const auto notices = parent.With(WM_NOTIFY);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].notifyCode, NM_RCLICK);
    EXPECT_EQ(notices[0].notifyPoint, QPoint(3, 7));
    EXPECT_EQ(button->VisualState(), 0);
    EXPECT_EQ(parent.Commands(BN_CLICKED), 0);
}

TEST_F(CGButtonTest, DisabledButtonSendsNothing)
{
    button->setEnabled(false);
    Click();
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(parent.messages.empty());
    EXPECT_EQ(Shown(), 3);
}

TEST_F(CGButtonTest, AutoRepeatStartsAfterHalfASecondThenEveryTenthOfASecond)
{
    button->SetAutoRepeat(true);
    QElapsedTimer clock;
    std::vector<qint64> repeats;
    parent.onMessage = [&](const RecordedMessage& m) {
        if (m.msg == WM_COMMAND && HIWORD(m.wParam) == BN_CLICKED) repeats.push_back(clock.nsecsElapsed() / 1000000);
    };
    clock.start();
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button->RepeatInterval(), CGButton::kFirstRepeatMs);
    ASSERT_TRUE(WaitFor([&] { return repeats.size() >= 4; }));
    EXPECT_EQ(button->RepeatInterval(), CGButton::kRepeatMs);
    // Timers never fire early: the first repeat waits its half second and
    // every later one its tenth; the upper bounds only catch a stuck timer.
    EXPECT_GE(repeats[0], 500);
    EXPECT_LT(repeats[0], 5000);
    for (size_t i = 1; i < repeats.size(); ++i) EXPECT_GE(repeats[i] - repeats[i - 1], 100) << i;
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    const size_t afterRelease = repeats.size();
    QTest::qWait(350);
    EXPECT_EQ(repeats.size(), afterRelease) << "no repeats after the release";
    EXPECT_EQ(button->RepeatInterval(), 0);
}

TEST_F(CGButtonTest, FadeWalksAlphaUpInStepsOfTwoOnTheGuiThread)
{
    std::vector<int> steps;
    bool offThread = false;
    QObject::connect(button, &CGButton::fadeStepped, [&](int alpha) {
        steps.push_back(alpha);
        offThread |= QThread::currentThread() != button->thread();
    });
    button->EnableFade(true);
    button->repaint();
    EXPECT_TRUE(button->IsFading());
    ASSERT_TRUE(WaitFor([&] { return !steps.empty() && steps.back() == 255; }, 30000));
    ASSERT_EQ(steps.size(), 129u);
    for (size_t i = 0; i + 1 < steps.size(); ++i) EXPECT_EQ(steps[i], static_cast<int>(i) * 2);
    EXPECT_FALSE(offThread);
    EXPECT_EQ(button->FadeAlpha(), 255);
    EXPECT_TRUE(WaitFor([&] { return !button->IsFading(); }));
}

TEST_F(CGButtonTest, SignallingTheFadeEventStopsItEarly)
{
    std::vector<int> steps;
    QObject::connect(button, &CGButton::fadeStepped, [&](int alpha) { steps.push_back(alpha); });
    button->EnableFade(true);
    button->repaint();
    ASSERT_TRUE(WaitFor([&] { return steps.size() >= 3; }));
    button->StopFade();
    EXPECT_FALSE(button->IsFading()) << "the fade thread is joined";
    ASSERT_TRUE(WaitFor([&] { return steps.back() == 255; }));
    EXPECT_LT(steps.size(), 129u);
    EXPECT_EQ(button->FadeAlpha(), 255);
    EXPECT_EQ(button->FadeEventName().rfind("GBtnAlphaBlendEvent", 0), 0u);
    EXPECT_EQ(button->FadeEventName().size(), std::string("GBtnAlphaBlendEvent").size() + 8);
}

TEST_F(CGButtonTest, DestroyingAFadingButtonStopsTheFadeFirst)
{
    auto* fading = new CGButton(&parent);
    fading->Create(QString(), WS_CHILD | WS_VISIBLE, QRect(50, 50, 10, 10), &parent, 7);
    fading->SetPicture(ColourStrip(4));
    fading->EnableFade(true);
    fading->repaint();
    ASSERT_TRUE(fading->IsFading());
    delete fading;
    QTest::qWait(60); // steps queued before the deletion must not reach the dead button
    SUCCEED();
}

TEST_F(CGButtonTest, CreateTakesTheFrameSizeForAnEmptyRectangleAndTheTooltip)
{
    CGButton sized(&parent);
    sized.Create(QString(), WS_CHILD, QRect(3, 4, 0, 0), &parent, 9);
    sized.SetPicture(ColourStrip(4, 16, 12));
    EXPECT_EQ(sized.FrameSize(), QSize(16, 12));
    EXPECT_FALSE(sized.isVisible());
    EXPECT_EQ(GetDlgCtrlID(&sized), 9);
    sized.SetTooltip(QStringLiteral("Add"));
    EXPECT_EQ(sized.toolTip(), QStringLiteral("Add"));
    EXPECT_FALSE(sized.Create(QStringLiteral("Image\\no\\such.png"), WS_CHILD, QRect(), &parent, 10));
}
