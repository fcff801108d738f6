#include "CAlphaButton.h"

#include "ButtonState.h"
#include "SkinFocusRing.h"
#include "SkinImage.h"
#include "SkinPaint.h"

#include <QPainter>

CAlphaButton::CAlphaButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
    SkinFocusRing::Track(this);
    connect(this, &QAbstractButton::clicked, this, [this] { SendCommandToParent(this, BN_CLICKED); });
}

BOOL CAlphaButton::Create(const QString& picturePath, DWORD style, const QRect& rect, QWidget* parent, UINT id)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    const BOOL loaded = SetPicture(picturePath);
    setGeometry(rect.isEmpty() ? QRect(rect.topLeft(), sizeHint()) : rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return loaded;
}

BOOL CAlphaButton::SetPicture(const QString& picturePath)
{
    m_picture = SkinImage::Load(picturePath);
    update();
    return !m_picture.isNull();
}

QSize CAlphaButton::sizeHint() const { return m_picture.isNull() ? QSize(24, 24) : SkinPaint::Size(m_picture); }

void CAlphaButton::enterEvent(QEnterEvent* event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void CAlphaButton::leaveEvent(QEvent* event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

void CAlphaButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull()) DrawPicture(painter);
    SkinFocusRing::Paint(painter, *this);
}

void CAlphaButton::DrawPicture(QPainter& painter)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int state = ButtonVisualState(*this);
    QRect target = QRect(QPoint(), SkinPaint::Size(m_picture).scaled(size(), Qt::KeepAspectRatio));
    target.moveCenter(rect().center());
    if (state == 2) target.translate(1, 1);
    painter.setOpacity(state == 3 ? 0.45 : 1.0);
    painter.drawImage(target, m_picture);
    if (state == 1) {
        // A light wash over the picture's own pixels only.
        QImage lit = m_picture;
        QPainter wash(&lit);
        wash.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        wash.fillRect(lit.rect(), QColor(255, 255, 255, 60));
        wash.end();
        painter.drawImage(target, lit);
    }
    painter.restore();
}
