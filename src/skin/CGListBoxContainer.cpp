#include "CGListBoxContainer.h"

#include "CGComboListBox.h"
#include "CGScrollBar.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

CGListBoxContainer::CGListBoxContainer(QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), m_pList(new CGComboListBox(this)),
      m_pScrollBar(new CGScrollBar(this))
{
    connect(m_pScrollBar, &QScrollBar::valueChanged, m_pList, &CGComboListBox::SetTopIndex);
    connect(m_pList, &CGComboListBox::topIndexChanged, m_pScrollBar, &QScrollBar::setValue);
}

QRect CGListBoxContainer::Placement(const QRect& anchor, const QSize& size, const QRect& workArea)
{
    QRect placed(QPoint(anchor.left(), anchor.bottom() + 1), size);
    const int roomBelow = workArea.bottom() - anchor.bottom();
    const int roomAbove = anchor.top() - workArea.top();
    if (size.height() > roomBelow && roomAbove > roomBelow) {
        placed.setHeight(std::min(size.height(), roomAbove));
        placed.moveBottom(anchor.top() - 1);
    } else {
        placed.setHeight(std::min(size.height(), std::max(roomBelow, 0)));
    }
    if (placed.right() > workArea.right()) placed.moveRight(workArea.right());
    if (placed.left() < workArea.left()) placed.moveLeft(workArea.left());
    return placed;
}

void CGListBoxContainer::Open(const QRect& anchor)
{
    const int rows = std::clamp(m_pList->Count(), 1, kMaxVisibleRows);
    const QSize wanted(anchor.width(), rows * m_pList->ItemHeight() + 2);
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(QPoint(), wanted * 4);
    const QRect placed = Placement(anchor, wanted, workArea);
    setGeometry(placed);
    const bool scrolling = m_pList->Count() * m_pList->ItemHeight() > placed.height() - 2;
    const int barWidth = scrolling ? m_pScrollBar->sizeHint().width() : 0;
    m_pList->setGeometry(1, 1, placed.width() - 2 - barWidth, placed.height() - 2);
    m_pScrollBar->setVisible(scrolling);
    if (scrolling) {
        m_pScrollBar->setGeometry(placed.width() - 1 - barWidth, 1, barWidth, placed.height() - 2);
        m_pScrollBar->setRange(0, m_pList->Count() - m_pList->VisibleRows());
        m_pScrollBar->setPageStep(m_pList->VisibleRows());
    }
    m_pList->ShowRow(m_pList->HotIndex());
    show();
    m_pList->setFocus();
}

void CGListBoxContainer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(0x2A, 0x44, 0x66));
    painter.setBrush(Qt::white);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CGListBoxContainer::hideEvent(QHideEvent*) { emit closed(); }
