#include "CGComboListBox.h"

#include "CDBufferDC.h"
#include "SkinAccessible.h"
#include "SkinFont.h"
#include "SkinPaint.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

CGComboListBox::CGComboListBox(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFont(SkinFont::ShellDlg());
}

void CGComboListBox::SetItems(const QStringList& items, int current)
{
    m_items = items;
    m_nHot = current;
    // A list that shrank must not stay scrolled past its new end.
    m_nTop = std::min(m_nTop, std::max(Count() - VisibleRows(), 0));
    update();
}

void CGComboListBox::SetItemPicture(const QImage& strip)
{
    m_itemPicture = strip;
    update();
}

int CGComboListBox::ItemHeight() const { return m_itemPicture.isNull() ? 24 : SkinPaint::Size(m_itemPicture).height(); }

void CGComboListBox::SetTopIndex(int top)
{
    const int clamped = std::clamp(top, 0, std::max(Count() - VisibleRows(), 0));
    if (clamped == m_nTop) return;
    m_nTop = clamped;
    update();
    emit topIndexChanged(m_nTop);
}

void CGComboListBox::ShowRow(int index)
{
    int top = std::min(m_nTop, std::max(Count() - VisibleRows(), 0));
    if (index >= 0 && index < top) top = index;
    if (index >= top + VisibleRows()) top = index - VisibleRows() + 1;
    SetTopIndex(top);
}

int CGComboListBox::IndexAt(const QPoint& point) const
{
    if (!rect().contains(point)) return -1;
    const int index = m_nTop + point.y() / ItemHeight();
    return index < Count() ? index : -1;
}

void CGComboListBox::SetHot(int index)
{
    if (index == m_nHot) return;
    m_nHot = index;
    update();
    // Screen readers follow the row under the keyboard as the focused item.
    if (hasFocus() && index >= 0) SkinAccessible::NotifyFocusedItem(this, index);
}

void CGComboListBox::paintEvent(QPaintEvent*)
{
    QPainter target(this);
    CDBufferDC buffer(target, rect());
    QPainter& painter = buffer.Painter();
    painter.fillRect(rect(), Qt::white);
    painter.setFont(font());
    const int rowHeight = ItemHeight();
    for (int index = m_nTop; index < Count() && (index - m_nTop) * rowHeight < height(); ++index) {
        const QRect row(0, (index - m_nTop) * rowHeight, width(), rowHeight);
        const bool hot = index == m_nHot;
        const QRect frame = SkinPaint::FrameRect(m_itemPicture, 2, hot ? 1 : 0);
        SkinPaint::DrawStretched(painter, row, m_itemPicture, frame, QMargins(4, 0, 4, 0));
        painter.setPen(hot ? QColor(Qt::white) : m_textColour);
        painter.drawText(row.adjusted(10, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(m_items[index], Qt::ElideRight, row.width() - 16));
    }
}

void CGComboListBox::mouseMoveEvent(QMouseEvent* event)
{
    const int index = IndexAt(event->position().toPoint());
    if (index >= 0) SetHot(index);
}

void CGComboListBox::mouseReleaseEvent(QMouseEvent* event)
{
    const int index = IndexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0) emit chosen(index);
}

void CGComboListBox::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    SetTopIndex(m_nTop - (steps ? steps : (event->angleDelta().y() > 0 ? 1 : -1)));
}

void CGComboListBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int next = std::clamp(m_nHot + (event->key() == Qt::Key_Up ? -1 : 1), 0, std::max(Count() - 1, 0));
        SetHot(next);
        ShowRow(next);
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_nHot >= 0) emit chosen(m_nHot);
        break;
    case Qt::Key_Escape: emit cancelled(); break;
    default: QWidget::keyPressEvent(event);
    }
}
