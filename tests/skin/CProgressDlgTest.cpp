#include "CApProgressCtrl.h"
#include "CGButton.h"
#include "CProgressDlg.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class PressCounter : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// Another window of the program: counts its messages and timer ticks.
class OtherWindow : public QObject {
public:
    int messages = 0;
    int ticks = 0;

protected:
    bool event(QEvent* event) override
    {
        if (WinMessageEvent::From(event)) return ++messages, true;
        return QObject::event(event);
    }
    void timerEvent(QTimerEvent*) override { ++ticks; }
};

// Counts the events of one type that reach a watched object.
class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : m_type(type) {}
    int seen = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == m_type) ++seen;
        return false;
    }

private:
    QEvent::Type m_type;
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

TEST_F(CProgressDlgTest, OtherWindowsMessagesAndTimersWaitUntilThePumpEnds)
{
    OtherWindow other;
    PostMessage(&other, WM_USER + 7, 1, 2);
    const int timer = other.startTimer(0);
    dialog.PumpMessages(true);
    EXPECT_EQ(other.messages, 0);
    EXPECT_EQ(other.ticks, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(other.messages, 1) << "the held message is handed on, once";
    EXPECT_GE(other.ticks, 1);
    other.killTimer(timer);
}

TEST_F(CProgressDlgTest, ModalWindowOpenedDuringThePumpTakesItsInput)
{
    // A queued call (a worker's report, say) opens a modal window while the
    // pump runs; the click on its button must reach it.
    QObject caller;
    int result = 0;
    QMetaObject::invokeMethod(
        &caller,
        [&result] {
            QDialog modal;
            auto* ok = new QPushButton(QStringLiteral("OK"), &modal);
            QObject::connect(ok, &QPushButton::clicked, &modal, &QDialog::accept);
            QTimer::singleShot(0, &modal, [ok] {
                QCoreApplication::postEvent(ok, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
                QCoreApplication::postEvent(ok, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(5, 5),
                                                                QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                                                                Qt::NoModifier));
            });
            QTimer::singleShot(5000, &modal, [&modal] { modal.done(-1); }); // never wait for ever
            result = modal.exec();
        },
        Qt::QueuedConnection);
    dialog.PumpMessages(true);
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(CProgressDlgTest, PumpStopsOnceCancelIsRequested)
{
    const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    EventCounter counter(type);
    dialog.installEventFilter(&counter);
    PostEscape();
    EXPECT_TRUE(dialog.PumpMessages(true));
    QCoreApplication::postEvent(&dialog, new QEvent(type));
    QCoreApplication::postEvent(&dialog, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
    EXPECT_TRUE(dialog.PumpMessages(true));
    EXPECT_EQ(counter.seen, 0) << "nothing is dispatched once cancel is requested";
    dialog.ResetCancel();
    EXPECT_FALSE(dialog.PumpMessages(true));
    EXPECT_EQ(counter.seen, 1);
}
