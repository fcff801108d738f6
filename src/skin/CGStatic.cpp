#include "CGStatic.h"

#include "SkinFont.h"
#include "SkinImage.h"

#include <QMouseEvent>
#include <QPainter>

CGStatic::CGStatic(QWidget* parent) : QWidget(parent), m_textColour(0x1B, 0x2A, 0x3F)
{
    setFont(SkinFont::ShellDlg());
}

BOOL CGStatic::Create(const QString& text, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                      const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    m_text = text;
    m_textColour = textColour;
    m_bNotify = style & SS_NOTIFY;
    setGeometry(rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return TRUE;
}

BOOL CGStatic::SetPicture(const QString& picturePath)
{
    SetImage(SkinImage::Load(picturePath));
    return !m_image.isNull();
}

void CGStatic::SetImage(const QImage& image)
{
    m_image = image;
    update();
}

void CGStatic::SetFillColor(const QColor& colour)
{
    m_fill = colour;
    update();
}

void CGStatic::SetText(const QString& text)
{
    m_text = text;
    update();
}

void CGStatic::SetTextColor(const QColor& colour)
{
    m_textColour = colour;
    update();
}

void CGStatic::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void CGStatic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_fill.isValid()) painter.fillRect(rect(), m_fill);
    if (!m_image.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_image);
    }
    if (m_text.isEmpty()) return;
    painter.setPen(m_textColour);
    painter.setFont(font());
    painter.drawText(rect(), static_cast<int>(m_alignment) | Qt::TextWordWrap, m_text);
}

// Only a notifying static takes the mouse; others leave it to the window
// beneath (a skinned dialog drags on it).
void CGStatic::mousePressEvent(QMouseEvent* event)
{
    if (!m_bNotify) event->ignore();
}

void CGStatic::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_bNotify && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        SendCommandToParent(this, STN_CLICKED);
    else
        event->ignore();
}
