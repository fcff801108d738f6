// Window messages through the seam: synchronous send with a result, posted
// messages in order, and a send from a worker thread.
#include "WinMessage.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <vector>

namespace {

class Receiver : public QObject {
public:
    std::vector<UINT> seen;
    Qt::HANDLE handledOn = nullptr;

protected:
    bool event(QEvent* e) override
    {
        if (auto* m = WinMessageEvent::From(e)) {
            seen.push_back(m->msg);
            handledOn = QThread::currentThreadId();
            m->result = static_cast<LRESULT>(m->wParam + m->lParam);
            return true;
        }
        return QObject::event(e);
    }
};

TEST(WinMessage, SendReturnsTheHandlersResultAndPostKeepsOrder)
{
    Receiver receiver;
    EXPECT_EQ(SendMessage(&receiver, WM_USER + 2010, 40, 2), 42);
    PostMessage(&receiver, 0x8006, 1, 0);
    PostMessage(&receiver, WM_USER + 410, 0, 0);
    EXPECT_EQ(receiver.seen.size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.seen, (std::vector<UINT>{WM_USER + 2010, 0x8006, WM_USER + 410}));
    EXPECT_EQ(SendMessage(nullptr, 1), 0);
    EXPECT_FALSE(PostMessage(nullptr, 1));
}

TEST(WinMessage, SendFromAWorkerRunsOnTheReceiversThread)
{
    Receiver receiver;
    LRESULT result = 0;
    QThread* worker = QThread::create([&] { result = SendMessage(&receiver, WM_APP + 6, 5, 6); });
    worker->start();
    while (!worker->isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker->wait();
    delete worker;
    EXPECT_EQ(result, 11);
    EXPECT_EQ(receiver.handledOn, QThread::currentThreadId());
}

} // namespace
