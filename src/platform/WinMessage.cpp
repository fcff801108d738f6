#include "WinMessage.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

WinMessageEvent::WinMessageEvent(UINT message, WPARAM w, LPARAM l)
    : QEvent(EventType()), msg(message), wParam(w), lParam(l)
{
}

QEvent::Type WinMessageEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

WinMessageEvent* WinMessageEvent::From(QEvent* event)
{
    return event && event->type() == EventType() ? static_cast<WinMessageEvent*>(event) : nullptr;
}

LRESULT SendMessage(QObject* target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!target) return 0;
    WinMessageEvent event(message, wParam, lParam);
    if (target->thread() == QThread::currentThread() || !target->thread()->isRunning()) {
        QCoreApplication::sendEvent(target, &event);
    } else {
        QPointer<QObject> guard(target);
        QMetaObject::invokeMethod(
            target, [&] { if (guard) QCoreApplication::sendEvent(guard, &event); }, Qt::BlockingQueuedConnection);
    }
    return event.result;
}

bool PostMessage(QObject* target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!target) return false;
    auto* event = new WinMessageEvent(message, wParam, lParam);
    event->posted = true;
    QCoreApplication::postEvent(target, event);
    return true;
}
