#include "CDBufferDC.h"

#include <QPaintDevice>

namespace {

QRect CoveredRect(QPainter& target, const QRect& rect)
{
    if (!rect.isEmpty()) return rect;
    if (target.hasClipping()) return target.clipBoundingRect().toAlignedRect();
    const QPaintDevice* device = target.device();
    return device ? QRect(0, 0, device->width(), device->height()) : QRect();
}

} // namespace

CDBufferDC::CDBufferDC(QPainter& target, const QRect& rect) : m_target(target), m_rect(CoveredRect(target, rect))
{
    const qreal ratio = target.device() ? target.device()->devicePixelRatioF() : 1.0;
    m_buffer = QImage((m_rect.size() * ratio), QImage::Format_ARGB32_Premultiplied);
    m_buffer.setDevicePixelRatio(ratio);
    m_buffer.fill(Qt::transparent);
    m_painter.begin(&m_buffer);
    m_painter.translate(-m_rect.topLeft());
    m_painter.setFont(target.font());
    m_painter.setPen(target.pen());
    m_painter.setBrush(target.brush());
    m_painter.setRenderHints(target.renderHints());
}

CDBufferDC::~CDBufferDC()
{
    m_painter.end();
    if (!m_buffer.isNull()) m_target.drawImage(m_rect.topLeft(), m_buffer);
}
