#include "CAlphaButtonEx.h"

#include "ButtonState.h"
#include "SkinFont.h"
#include "SkinFocusRing.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "UiScale.h"

#include <QPainter>

CAlphaButtonEx::CAlphaButtonEx(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setFont(SkinFont::ShellDlg());
    SkinFocusRing::Track(this);
    connect(this, &QAbstractButton::clicked, this, &CAlphaButtonEx::Clicked);
}

BOOL CAlphaButtonEx::Create(const QString& text, const QString& picturePath, DWORD style, const QRect& rect,
                            QWidget* parent, UINT id, const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    setText(text);
    m_textColour = textColour;
    m_dwType = style & BS_TYPEMASK;
    // Only the automatic kinds change their check on a click; the others
    // leave it to the parent.
    setCheckable(m_dwType == BS_AUTOCHECKBOX || m_dwType == BS_AUTORADIOBUTTON);
    setAutoExclusive(m_dwType == BS_AUTORADIOBUTTON);
    const BOOL loaded = SetPicture(picturePath);
    setGeometry(rect.isEmpty() ? QRect(rect.topLeft(), sizeHint()) : rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return loaded;
}

BOOL CAlphaButtonEx::SetPicture(const QString& picturePath)
{
    m_picture = SkinImage::LoadOr(picturePath, IsCheckBox() ? kCheckBoxPicture : IsRadio() ? kRadioPicture : kPushPicture);
    update();
    return !m_picture.isNull();
}

void CAlphaButtonEx::SetTextColor(const QColor& colour)
{
    m_textColour = colour;
    update();
}

int CAlphaButtonEx::FrameIndex() const
{
    const int state = ButtonVisualState(*this);
    return IsCheckBox() || IsRadio() ? state + (isChecked() ? 4 : 0) : state;
}

QSize CAlphaButtonEx::sizeHint() const
{
    const QFontMetrics metrics(font());
    if (IsCheckBox() || IsRadio()) {
        const int box = SkinPaint::Size(m_picture).height();
        return QSize(box + 6 + metrics.horizontalAdvance(text()), std::max(box, metrics.height()));
    }
    return QSize(std::max(75, metrics.horizontalAdvance(text()) + 24), 24);
}

void CAlphaButtonEx::enterEvent(QEnterEvent* event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void CAlphaButtonEx::leaveEvent(QEvent* event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

void CAlphaButtonEx::nextCheckState()
{
    if (IsRadio() && isChecked()) return; // a click on the chosen radio button keeps it chosen
    QAbstractButton::nextCheckState();
}

void CAlphaButtonEx::Clicked() { SendCommandToParent(this, BN_CLICKED); }

void CAlphaButtonEx::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QColor colour = m_textColour;
    if (!isEnabled()) colour.setAlphaF(0.5);
    painter.setPen(colour);
    painter.setFont(font());
    if (IsCheckBox() || IsRadio()) {
        const QRect frame = SkinPaint::FrameRect(m_picture, 8, FrameIndex());
        const QRect box(QPoint(0, (height() - frame.height()) / 2), frame.size());
        SkinPaint::DrawPart(painter, box.topLeft(), m_picture, frame);
        const QRect textRect = rect().adjusted(box.width() + 6, 0, 0, 0);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
        if (SkinFocusRing::Shows(*this)) SkinFocusRing::Draw(painter, box, GetUiScale());
        return;
    }
    const QRect frame = SkinPaint::FrameRect(m_picture, 4, FrameIndex());
    SkinPaint::DrawStretched(painter, rect(), m_picture, frame, SkinPaint::CornerCaps(frame.size()));
    painter.drawText(rect().translated(0, isDown() ? 1 : 0), Qt::AlignCenter | Qt::TextSingleLine, text());
    SkinFocusRing::Paint(painter, *this);
}
