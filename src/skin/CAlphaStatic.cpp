#include "CAlphaStatic.h"

#include "SkinFont.h"

CAlphaStatic::CAlphaStatic(QWidget* parent) : QLabel(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setFont(SkinFont::ShellDlg());
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetTextColor(QColor(0x1B, 0x2A, 0x3F));
}

BOOL CAlphaStatic::Create(const QString& text, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                          const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    setText(text);
    SetTextColor(textColour);
    setGeometry(rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return TRUE;
}

void CAlphaStatic::SetTextColor(const QColor& colour)
{
    m_textColour = colour;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
}
