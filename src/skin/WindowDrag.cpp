#include "WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

// Whether moving the window ourselves places it (every platform but Wayland,
// where a client cannot position its windows).
bool PlacesItself()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

void WindowDrag::Press(const QMouseEvent* event, Qt::Edges edges)
{
    m_bArmed = event->button() == Qt::LeftButton;
    m_bMoving = false;
    m_edges = edges;
    m_pressed = event->globalPosition().toPoint();
    // Movements without a button must reach the window too: the first of
    // them after a release that went elsewhere ends the drag.
    if (m_pWindow) m_pWindow->setMouseTracking(true);
}

bool WindowDrag::Move(const QMouseEvent* event)
{
    if (!m_bArmed || !m_pWindow) return false;
    if (!(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere (a grab, a menu): nothing follows the pointer.
        Release();
        return false;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (!m_bMoving) {
        if ((global - m_pressed).manhattanLength() < QApplication::startDragDistance()) return true;
        return Start(global);
    }
    m_pWindow->move(global - m_offset);
    return true;
}

bool WindowDrag::Start(const QPoint& globalPosition)
{
    QWindow* handle = m_pWindow->windowHandle();
    if (m_edges) {
        m_bArmed = false;
        if (handle) handle->startSystemResize(m_edges);
        return true;
    }
    if (!PlacesItself()) {
        m_bArmed = false;
        if (handle) handle->startSystemMove();
        return true;
    }
    m_bMoving = true;
    m_offset = m_pressed - m_pWindow->pos();
    m_pWindow->move(globalPosition - m_offset);
    return true;
}

void WindowDrag::Release()
{
    m_bArmed = false;
    m_bMoving = false;
}
