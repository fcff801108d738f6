// A double-buffered painter: drawing goes into an off-screen picture the
// size of the target rectangle (or of the target's clip box), with the
// target's coordinates, font, pen and brush; the picture is copied to the
// target when the buffer is destroyed. Whole rows therefore appear at once.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>

class CDBufferDC {
public:
    explicit CDBufferDC(QPainter& target, const QRect& rect = QRect());
    ~CDBufferDC();
    CDBufferDC(const CDBufferDC&) = delete;
    CDBufferDC& operator=(const CDBufferDC&) = delete;

    QPainter& Painter() { return m_painter; }
    QPainter* operator->() { return &m_painter; }
    // The target rectangle the buffer covers.
    QRect Rect() const { return m_rect; }

private:
    QPainter& m_target;
    QRect m_rect;
    QImage m_buffer;
    QPainter m_painter;
};
