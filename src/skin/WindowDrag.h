// WindowDrag: moves (or resizes) a frameless top-level window by a drag on
// its surface. A press only arms it: the move starts once the pointer has
// travelled the drag distance with the left button still held, and it ends
// on the release, or on the first movement that finds the button up. A
// click, however quick, therefore never moves anything.
// On X11 the window follows the pointer itself: a move handed to the window
// manager after the button was already released (a touchpad tap) leaves the
// window stuck to the pointer until the next click. Where the window cannot
// place itself (Wayland) the window system moves it, as it always resizes it.
#pragma once
#include <QPoint>
#include <QPointer>

class QMouseEvent;
class QWidget;

class WindowDrag {
public:
    explicit WindowDrag(QWidget* window) : m_pWindow(window) {}

    // A left press: arms a move, or a resize by `edges` when not empty.
    void Press(const QMouseEvent* event, Qt::Edges edges = {});
    // TRUE when the event belongs to a drag (started, going on, or not yet
    // far enough); the caller does nothing else with it then.
    bool Move(const QMouseEvent* event);
    // The button went up: the drag ends.
    void Release();
    bool IsArmed() const { return m_bArmed; }
    bool IsMoving() const { return m_bMoving; }

private:
    bool Start(const QPoint& globalPosition);

    QPointer<QWidget> m_pWindow;
    bool m_bArmed = false;
    bool m_bMoving = false;
    Qt::Edges m_edges;
    QPoint m_pressed;   // global position of the press
    QPoint m_offset;    // from the window's top-left corner to the pointer
};
