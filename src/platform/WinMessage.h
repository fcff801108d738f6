// The message seam: window messages with their numbers and two parameters,
// delivered to Qt objects as one custom event type. A receiver overrides
// event() and hands WinMessageEvent to its own WindowProc-style handler:
//
//     bool event(QEvent* e) override {
//         if (auto* m = WinMessageEvent::From(e)) { m->result = OnMessage(m->msg, m->wParam, m->lParam); return true; }
//         return QWidget::event(e);
//     }
#pragma once
#include "wintypes.h"

#include <QEvent>
#include <QObject>

constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

class WinMessageEvent : public QEvent {
public:
    WinMessageEvent(UINT message, WPARAM w, LPARAM l);

    static QEvent::Type EventType();
    // The event as a window message, or null for any other event.
    static WinMessageEvent* From(QEvent* event);

    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool handled = false;
    bool posted = false; // queued by PostMessage (nobody waits for the result)
};

// Delivers the message now and returns the handler's result. From another
// thread it blocks until the target's thread has handled it.
LRESULT SendMessage(QObject* target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message for the target's thread; false when there is no target.
bool PostMessage(QObject* target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
