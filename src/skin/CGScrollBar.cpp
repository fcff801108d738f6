#include "CGScrollBar.h"

#include "CGButton.h"
#include "SkinImage.h"
#include "SkinPaint.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kMinThumb = 18;

} // namespace

CGScrollBar::CGScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setProperty("windowClass", QString::fromLatin1(kWindowClass));
    setCursor(Qt::ArrowCursor);
    setMouseTracking(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    SetPictures({}, {}, {}, {});
}

BOOL CGScrollBar::Create(DWORD style, const QRect& rect, QWidget* parent, UINT id)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    setGeometry(rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return !m_up.isNull();
}

BOOL CGScrollBar::SetPictures(const QString& up, const QString& down, const QString& thumb, const QString& track)
{
    m_up = SkinImage::LoadOr(up, kUpPicture);
    m_down = SkinImage::LoadOr(down, kDownPicture);
    m_thumb = SkinImage::LoadOr(thumb, kThumbPicture);
    m_track = SkinImage::LoadOr(track, kTrackPicture);
    updateGeometry();
    update();
    return !m_up.isNull() && !m_down.isNull() && !m_thumb.isNull() && !m_track.isNull();
}

QSize CGScrollBar::sizeHint() const
{
    const int width = m_up.isNull() ? 12 : SkinPaint::FrameRect(m_up, 4, 0).width();
    return QSize(width, 120);
}

int CGScrollBar::ArrowHeight(const QImage& arrow) const
{
    return std::min(arrow.isNull() ? width() : SkinPaint::Size(arrow).height(), height() / 2);
}

QRect CGScrollBar::TrackRect() const
{
    const int top = ArrowHeight(m_up);
    return QRect(0, top, width(), std::max(0, height() - top - ArrowHeight(m_down)));
}

QRect CGScrollBar::PartRect(Part part) const
{
    const QRect track = TrackRect();
    const int span = maximum() - minimum();
    const int length = span <= 0 ? track.height()
                                 : std::clamp(static_cast<int>(static_cast<qint64>(track.height()) * pageStep() /
                                                               (span + pageStep())),
                                              std::min(kMinThumb, track.height()), track.height());
    const int offset = span <= 0 ? 0
                                 : static_cast<int>(static_cast<qint64>(track.height() - length) *
                                                    (sliderPosition() - minimum()) / span);
    const QRect thumb(0, track.top() + offset, width(), length);
    switch (part) {
    case UpArrow: return QRect(0, 0, width(), track.top());
    case DownArrow: return QRect(0, track.bottom() + 1, width(), height() - track.bottom() - 1);
    case Thumb: return thumb;
    case PageUp: return QRect(QPoint(0, track.top()), QPoint(width() - 1, thumb.top() - 1));
    case PageDown: return QRect(QPoint(0, thumb.bottom() + 1), QPoint(width() - 1, track.bottom()));
    case None: break;
    }
    return {};
}

CGScrollBar::Part CGScrollBar::PartAt(const QPoint& point) const
{
    for (Part part : {UpArrow, DownArrow, Thumb, PageUp, PageDown})
        if (PartRect(part).contains(point)) return part;
    return None;
}

int CGScrollBar::FrameFor(Part part) const
{
    if (!isEnabled() || maximum() <= minimum()) return 3;
    if (m_pressed == part) return 2;
    return m_hover == part ? 1 : 0;
}

void CGScrollBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect track = TrackRect();
    SkinPaint::DrawStretched(painter, track, m_track, SkinPaint::Bounds(m_track), QMargins(0, 6, 0, 6));
    const auto drawArrow = [&](const QImage& arrow, Part part) {
        const QRect frame = SkinPaint::FrameRect(arrow, 4, FrameFor(part));
        SkinPaint::DrawStretched(painter, PartRect(part), arrow, frame, QMargins());
    };
    drawArrow(m_up, UpArrow);
    drawArrow(m_down, DownArrow);
    if (maximum() <= minimum()) return;
    const QRect frame = SkinPaint::FrameRect(m_thumb, 4, FrameFor(Thumb));
    const int cap = std::min(frame.height() / 3, frame.width() / 2);
    SkinPaint::DrawStretched(painter, PartRect(Thumb), m_thumb, frame, QMargins(0, cap, 0, cap));
}

bool CGScrollBar::Step(Part part)
{
    const QRect thumb = PartRect(Thumb);
    switch (part) {
    case UpArrow: triggerAction(SliderSingleStepSub); return true;
    case DownArrow: triggerAction(SliderSingleStepAdd); return true;
    case PageUp:
        if (thumb.top() <= m_pressPoint.y()) return false;
        triggerAction(SliderPageStepSub);
        return true;
    case PageDown:
        if (thumb.bottom() >= m_pressPoint.y()) return false;
        triggerAction(SliderPageStepAdd);
        return true;
    default: return false;
    }
}

void CGScrollBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || maximum() <= minimum()) return;
    m_pressPoint = event->position().toPoint();
    m_pressed = PartAt(m_pressPoint);
    if (m_pressed == Thumb) {
        m_dragOffset = m_pressPoint.y() - PartRect(Thumb).top();
        setSliderDown(true);
    } else if (m_pressed != None && Step(m_pressed)) {
        m_repeat.start(CGButton::kFirstRepeatMs, Qt::PreciseTimer, this);
    }
    update();
}

void CGScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_pressed == Thumb) {
        const QRect track = TrackRect();
        const int travel = track.height() - PartRect(Thumb).height();
        const int top = std::clamp(point.y() - m_dragOffset - track.top(), 0, std::max(travel, 0));
        const int span = maximum() - minimum();
        setSliderPosition(travel > 0 ? minimum() + static_cast<int>((static_cast<qint64>(top) * span + travel / 2) / travel)
                                     : minimum());
    } else if (m_pressed != None) {
        m_pressPoint = point;
    }
    const Part hover = m_pressed == None ? PartAt(point) : m_hover;
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
}

void CGScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    m_repeat.stop();
    if (m_pressed == Thumb) setSliderDown(false);
    m_pressed = None;
    m_hover = PartAt(event->position().toPoint());
    update();
}

void CGScrollBar::leaveEvent(QEvent*)
{
    m_hover = None;
    update();
}

void CGScrollBar::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_repeat.timerId()) {
        QScrollBar::timerEvent(event);
        return;
    }
    if (m_pressed == None || !Step(m_pressed)) {
        m_repeat.stop();
        return;
    }
    m_repeat.start(CGButton::kRepeatMs, Qt::PreciseTimer, this);
}
