#include "CApProgressCtrl.h"

#include "SkinImage.h"
#include "SkinPaint.h"

#include <QPainter>

CApProgressCtrl::CApProgressCtrl(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
    setRange(0, 100);
    setValue(0);
}

BOOL CApProgressCtrl::Create(const QString& backgroundPath, const QString& unitPath, DWORD style, const QRect& rect,
                             QWidget* parent, UINT id)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    const BOOL loaded = SetPictures(backgroundPath, unitPath);
    setGeometry(rect);
    setVisible(style & WS_VISIBLE);
    return loaded;
}

BOOL CApProgressCtrl::SetPictures(const QString& backgroundPath, const QString& unitPath)
{
    m_background = SkinImage::LoadOr(backgroundPath, kDefaultBackground);
    m_unit = SkinImage::LoadOr(unitPath, kDefaultUnit);
    update();
    return !m_background.isNull() && !m_unit.isNull();
}

int CApProgressCtrl::DoneWidth() const
{
    const qint64 span = static_cast<qint64>(maximum()) - minimum();
    if (span <= 0) return 0;
    const qint64 done = std::clamp<qint64>(static_cast<qint64>(value()) - minimum(), 0, span);
    return static_cast<int>(width() * done / span);
}

void CApProgressCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    SkinPaint::DrawStretched(painter, rect(), m_background, SkinPaint::Bounds(m_background),
                             SkinPaint::CornerCaps(SkinPaint::Size(m_background), 14));
    const int done = DoneWidth();
    if (done <= 0 || m_unit.isNull()) return;
    const QMargins caps = SkinPaint::CornerCaps(SkinPaint::Size(m_unit), 14);
    // Below the width of both caps the fill is cut rather than squeezed.
    const int drawn = std::max(done, caps.left() + caps.right());
    painter.setClipRect(QRect(0, 0, done, height()));
    SkinPaint::DrawStretched(painter, QRect(0, 0, drawn, height()), m_unit, SkinPaint::Bounds(m_unit), caps);
}
