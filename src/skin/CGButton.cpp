#include "CGButton.h"

#include "SkinAccessible.h"
#include "SkinFocusRing.h"
#include "SkinFont.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "StringResources.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <cstdio>

namespace {

std::string AlphaBlendEventName(const void* button)
{
    char name[40];
    std::snprintf(name, sizeof name, "GBtnAlphaBlendEvent%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(button)));
    return name;
}

} // namespace

CGButton::CGButton(QWidget* parent) : QAbstractButton(parent), m_fade(AlphaBlendEventName(this))
{
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    setFont(SkinFont::ShellDlg());
    SkinFocusRing::Track(this);
}

CGButton::~CGButton() { m_fade.Stop(); }

BOOL CGButton::Create(const QString& picturePath, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                      const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    m_textColour = textColour;
    const BOOL loaded = SetPicture(picturePath);
    setGeometry(rect.isEmpty() ? QRect(rect.topLeft(), FrameSize()) : rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return loaded;
}

BOOL CGButton::SetPicture(const QString& picturePath)
{
    SetPicture(SkinImage::Load(picturePath));
    return !m_picture.isNull();
}

void CGButton::SetPicture(const QImage& strip)
{
    m_picture = strip;
    updateGeometry();
    update();
}

void CGButton::SetTooltipId(UINT textId) { setToolTip(textId ? LoadString(textId) : QString()); }

void CGButton::SetTextColor(const QColor& colour)
{
    m_textColour = colour;
    update();
}

void CGButton::SetToggle(bool toggle)
{
    m_bToggle = toggle;
    if (!toggle) m_nCheckOffset = 0;
    update();
}

void CGButton::SetCheck(bool checked) { SetCheckOffset(checked ? kCheckOffset : 0); }

void CGButton::SetCheckOffset(int offset)
{
    if (offset == m_nCheckOffset) return;
    m_nCheckOffset = offset;
    update();
    SkinAccessible::NotifyCheckChanged(this);
}

void CGButton::EnableFade(bool enable)
{
    m_bFadePending = enable;
    if (!enable) {
        m_fade.Stop();
        m_nFadeAlpha = 255;
    }
    update();
}

int CGButton::FrameIndex() const { return std::min(m_nVisualState + m_nCheckOffset, FrameCount() - 1); }

QSize CGButton::FrameSize() const
{
    return m_picture.isNull() ? QSize() : SkinPaint::FrameRect(m_picture, FrameCount(), 0).size();
}

QSize CGButton::sizeHint() const
{
    const QSize frame = FrameSize();
    return frame.isEmpty() ? QSize(75, 24) : frame;
}

void CGButton::paintEvent(QPaintEvent*)
{
    if (m_bFadePending && !m_fade.Running()) {
        m_bFadePending = false;
        m_nFadeAlpha = 0;
        // The thread only queues the steps; the button outlives it (its
        // destructor joins the thread), and queued steps die with the button.
        m_fade.Start([this](int alpha, bool last) {
            QMetaObject::invokeMethod(this, [this, alpha, last] { OnFadeStep(alpha, last); }, Qt::QueuedConnection);
        });
    }
    QPainter painter(this);
    painter.setOpacity(m_nFadeAlpha / 255.0);
    const QRect frame = SkinPaint::FrameRect(m_picture, FrameCount(), FrameIndex());
    SkinPaint::DrawStretched(painter, rect(), m_picture, frame, SkinPaint::CornerCaps(frame.size()));
    if (!text().isEmpty()) {
        QColor colour = m_textColour;
        if (m_nVisualState == 3) colour.setAlphaF(0.5);
        painter.setPen(colour);
        painter.setFont(font());
        const int shift = m_nVisualState == 2 ? 1 : 0;
        painter.drawText(rect().translated(0, shift), Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    SkinFocusRing::Paint(painter, *this);
}

void CGButton::OnFadeStep(int alpha, bool last)
{
    m_nFadeAlpha = last ? 255 : alpha;
    repaint();
    emit fadeStepped(m_nFadeAlpha);
}

void CGButton::SetVisualState(int state)
{
    if (!isEnabled()) state = 3;
    if (state != 2) m_repeatTimer.stop();
    if (state == m_nVisualState) return;
    m_nVisualState = state;
    update();
}

void CGButton::StartRepeat(int intervalMs)
{
    m_nRepeatInterval = intervalMs;
    m_repeatTimer.start(intervalMs, Qt::PreciseTimer, this);
}

void CGButton::mouseMoveEvent(QMouseEvent* event)
{
    const bool inside = rect().contains(event->position().toPoint());
    if (event->buttons() == Qt::NoButton)
        SetVisualState(inside ? 1 : 0);
    else if (!inside)
        SetVisualState(0);
}

void CGButton::leaveEvent(QEvent*) { SetVisualState(0); }

void CGButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        NMMOUSE notice{{this, static_cast<UINT>(GetDlgCtrlID(this)), NM_RCLICK}, event->position().toPoint()};
        QPointer<CGButton> self(this);
        SendMessage(parentWidget(), WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(this)), reinterpret_cast<LPARAM>(&notice));
        if (self) SetVisualState(0);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    SetVisualState(2);
    if (m_bAutoRepeat) StartRepeat(kFirstRepeatMs);
}

void CGButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    m_repeatTimer.stop();
    if (m_nVisualState == 2)
        Clicked(Qt::MouseFocusReason);
    else
        SetVisualState(0);
}

void CGButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    SetVisualState(2);
    SendCommandToParent(this, BN_DOUBLECLICKED);
}

void CGButton::keyPressEvent(QKeyEvent* event)
{
    // Space shows the button held down until it is released.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        SetVisualState(2);
    else if (event->key() != Qt::Key_Space)
        QAbstractButton::keyPressEvent(event);
}

void CGButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        Click();
    else
        QAbstractButton::keyReleaseEvent(event);
}

void CGButton::Click()
{
    if (isEnabled()) Clicked(Qt::OtherFocusReason);
}

void CGButton::Clicked(Qt::FocusReason reason)
{
    if (m_bToggle) SetCheckOffset(m_nCheckOffset ? 0 : kCheckOffset);
    SetVisualState(0);
    QPointer<CGButton> self(this);
    const int id = GetDlgCtrlID(this);
    QWidget* parent = parentWidget();
    SendCommandToParent(this, BN_CLICKED);
    if (!self) return;
    SendMessage(parent, kClickedMessage, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(this));
    if (!self) return;
    setFocus(reason);
    emit clicked(GetCheck());
}

void CGButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) SetVisualState(isEnabled() ? 0 : 3);
    QAbstractButton::changeEvent(event);
}

void CGButton::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_repeatTimer.timerId()) {
        QAbstractButton::timerEvent(event);
        return;
    }
    if (m_nVisualState != 2) {
        m_repeatTimer.stop();
        return;
    }
    StartRepeat(kRepeatMs);
    SendCommandToParent(this, BN_CLICKED);
}
