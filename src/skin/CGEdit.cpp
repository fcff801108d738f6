#include "CGEdit.h"

#include "SkinFont.h"
#include "SkinFocusRing.h"
#include "SkinImage.h"
#include "SkinPaint.h"

#include <QPainter>

CGEdit::CGEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setFont(SkinFont::ShellDlg());
    setTextMargins(6, 0, 6, 0);
    SetTextColor(QColor(0x1B, 0x2A, 0x3F));
    SkinFocusRing::Track(this);
    connect(this, &QLineEdit::textEdited, this, [this] { SendCommandToParent(this, EN_CHANGE); });
}

BOOL CGEdit::Create(const QString& backgroundPath, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                    const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    SetTextColor(textColour);
    const BOOL loaded = backgroundPath.isEmpty() ? TRUE : SetBackground(backgroundPath);
    setGeometry(rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return loaded;
}

BOOL CGEdit::SetBackground(const QString& picturePath)
{
    m_background = SkinImage::Load(picturePath);
    update();
    return !m_background.isNull();
}

void CGEdit::SetTextColor(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, colour);
    QColor disabled = colour;
    disabled.setAlphaF(0.45);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabled);
    palette.setColor(QPalette::Highlight, QColor(0x19, 0xB3, 0xA6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    setPalette(palette);
}

void CGEdit::SetValue(qint64 value) { setText(QString::asprintf("%lld", static_cast<long long>(value))); }

bool CGEdit::GetValue(qint64* value) const
{
    bool ok = false;
    const qint64 parsed = text().trimmed().toLongLong(&ok);
    if (ok && value) *value = parsed;
    return ok;
}

void CGEdit::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        if (!m_background.isNull()) {
            if (!isEnabled()) painter.setOpacity(0.6);
            SkinPaint::DrawStretched(painter, rect(), m_background, SkinPaint::Bounds(m_background),
                                     SkinPaint::CornerCaps(SkinPaint::Size(m_background)));
        } else {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(hasFocus() ? QColor(0x19, 0xB3, 0xA6) : QColor(0xB8, 0xC4, 0xD2));
            painter.setBrush(isEnabled() ? Qt::white : QColor(0xEE, 0xF1, 0xF4));
            painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        }
        SkinFocusRing::Paint(painter, *this);
    }
    QLineEdit::paintEvent(event);
}
