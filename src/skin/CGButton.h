// CGButton: the image button every skinned window uses. Its picture is a
// horizontal strip of equal frames; the frame drawn is visualState
// (0 normal, 1 hover, 2 pressed, 3 disabled) plus checkOffset (4 while a
// toggle button is checked), so a toggle strip holds eight frames and a
// plain strip four. It tells its parent of clicks with WM_COMMAND
// BN_CLICKED followed by WM_USER+410, of double clicks with
// BN_DOUBLECLICKED and of right clicks with WM_NOTIFY NM_RCLICK; an
// auto-repeat button repeats BN_CLICKED while held (after 500 ms, then
// every 100 ms). It can fade its picture in. From the keyboard, Space
// presses it as a click does; while it has the keyboard focus it draws the
// skin's focus ring.
#pragma once
#include "CGButtonFade.h"
#include "WinControls.h"

#include <QAbstractButton>
#include <QBasicTimer>
#include <QImage>

class CGButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr UINT kClickedMessage = WM_USER + 410;
    static constexpr int kFirstRepeatMs = 500;
    static constexpr int kRepeatMs = 100;
    static constexpr int kCheckOffset = 4;

    explicit CGButton(QWidget* parent = nullptr);
    ~CGButton() override;

    // A child of `parent` at `rect` (an empty rect takes the frame size),
    // shown when the style has WS_VISIBLE. FALSE when the picture is missing
    // (the button then draws only its text).
    BOOL Create(const QString& picturePath, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                const QColor& textColour = Qt::white);
    BOOL SetPicture(const QString& picturePath);
    void SetPicture(const QImage& strip);
    void SetTooltip(const QString& text) { setToolTip(text); }
    // A string resource shown on hover; 0 shows none.
    void SetTooltipId(UINT textId);
    void SetTextColor(const QColor& colour);
    void SetToggle(bool toggle);
    void SetAutoRepeat(bool autoRepeat) { m_bAutoRepeat = autoRepeat; }
    bool IsToggle() const { return m_bToggle; }
    void SetCheck(bool checked);
    BOOL GetCheck() const { return m_nCheckOffset != 0; }
    // The dialog's default button (Enter presses it); it looks the same.
    void SetDefault(bool isDefault) { m_bDefault = isDefault; }
    bool IsDefault() const { return m_bDefault; }
    // Presses the button as Space does: flips a toggle, notifies the parent
    // and takes the focus.
    void Click();

    // Fading: the next paint fades the picture in from alpha 0.
    void EnableFade(bool enable);
    // Signals the fade event and waits for the fade thread.
    void StopFade() { m_fade.Stop(); }
    bool IsFading() const { return m_fade.Running(); }
    int FadeAlpha() const { return m_nFadeAlpha; }
    const std::string& FadeEventName() const { return m_fade.EventName(); }

    int VisualState() const { return m_nVisualState; }
    int CheckOffset() const { return m_nCheckOffset; }
    int FrameIndex() const;
    QSize FrameSize() const;
    const QImage& Picture() const { return m_picture; }
    // Interval of the running auto-repeat timer in ms, 0 when it is stopped.
    int RepeatInterval() const { return m_repeatTimer.isActive() ? m_nRepeatInterval : 0; }
    QSize sizeHint() const override;

signals:
    // One fade step reached the button (on its own thread).
    void fadeStepped(int alpha);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    int FrameCount() const { return m_bToggle ? 8 : 4; }
    void SetVisualState(int state);
    void StartRepeat(int intervalMs);
    // Release over a pressed button: flip a toggle, notify, take the focus.
    void Clicked(Qt::FocusReason reason);
    void SetCheckOffset(int offset);
    void OnFadeStep(int alpha, bool last);

    QImage m_picture;
    QColor m_textColour = Qt::white;
    int m_nVisualState = 0;
    int m_nCheckOffset = 0;
    bool m_bToggle = false;
    bool m_bAutoRepeat = false;
    bool m_bDefault = false;
    bool m_bFadePending = false;
    int m_nFadeAlpha = 255;
    int m_nRepeatInterval = 0;
    QBasicTimer m_repeatTimer;
    CGButtonFade m_fade;
};
