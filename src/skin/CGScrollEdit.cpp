#include "CGScrollEdit.h"

#include "CGScrollBar.h"
#include "SkinFont.h"

#include <QPainter>

CGScrollEdit::CGScrollEdit(QWidget* parent) : QPlainTextEdit(parent), m_pScrollBar(new CGScrollBar)
{
    setVerticalScrollBar(m_pScrollBar);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A one-pixel frame keeps the viewport and the bar inside the border
    // painted over it.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFont(SkinFont::ShellDlg());
    setViewportMargins(4, 4, 2, 4);
    SetTextColor(QColor(0x1B, 0x2A, 0x3F));
    connect(this, &QPlainTextEdit::textChanged, this, [this] { SendCommandToParent(this, EN_CHANGE); });
}

BOOL CGScrollEdit::Create(DWORD style, const QRect& rect, QWidget* parent, UINT id, const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    SetTextColor(textColour);
    setGeometry(rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return TRUE;
}

BOOL CGScrollEdit::SetScrollBarPictures(const QString& up, const QString& down, const QString& thumb,
                                        const QString& track)
{
    return m_pScrollBar->SetPictures(up, down, thumb, track);
}

void CGScrollEdit::SetTextColor(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::Highlight, QColor(0x19, 0xB3, 0xA6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    setPalette(palette);
}

bool CGScrollEdit::event(QEvent* event)
{
    const bool handled = QPlainTextEdit::event(event);
    if (event->type() == QEvent::Paint) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(hasFocus() ? QColor(0x19, 0xB3, 0xA6) : QColor(0xB8, 0xC4, 0xD2));
        painter.setBrush(isEnabled() ? Qt::white : QColor(0xEE, 0xF1, 0xF4));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    return handled;
}
