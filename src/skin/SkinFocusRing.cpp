#include "SkinFocusRing.h"

#include "SkinImage.h"
#include "SkinPaint.h"
#include "UiScale.h"

#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QWidget>

namespace {

constexpr const char* kByMouse = "skinFocusByMouse";

// One filter for every tracked control.
class FocusWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
        auto* control = static_cast<QWidget*>(watched);
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Coming back to the window keeps what the focus came by.
        if (event->type() == QEvent::FocusIn && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason)
            control->setProperty(kByMouse, reason == Qt::MouseFocusReason);
        control->update();
        return false;
    }
};

const QImage& Picture(double uiScale)
{
    static const QImage normal = SkinImage::Load(SkinFocusRing::PicturePath(1.0));
    static const QImage large = SkinImage::Load(SkinFocusRing::PicturePath(1.5));
    return uiScale >= 1.5 ? large : normal;
}

} // namespace

namespace SkinFocusRing {

QString PicturePath(double uiScale)
{
    return QString::fromLatin1(uiScale >= 1.5 ? "Image\\Common\\focus\\focus_ring_150.png"
                                              : "Image\\Common\\focus\\focus_ring.png");
}

void Track(QWidget* control)
{
    static FocusWatcher watcher;
    control->installEventFilter(&watcher);
}

bool Shows(const QWidget& control) { return control.hasFocus() && !control.property(kByMouse).toBool(); }

void Draw(QPainter& painter, const QRect& target, double uiScale)
{
    const QImage& ring = Picture(uiScale);
    if (ring.isNull()) return;
    const int cap = SkinPaint::Size(ring).width() * 3 / 8;
    painter.save();
    painter.setOpacity(1.0);
    SkinPaint::DrawStretched(painter, target, ring, SkinPaint::Bounds(ring), QMargins(cap, cap, cap, cap));
    painter.restore();
}

void Paint(QPainter& painter, const QWidget& control)
{
    if (Shows(control)) Draw(painter, control.rect(), GetUiScale());
}

} // namespace SkinFocusRing
