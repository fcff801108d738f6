// CProgressDlg: the progress window of long operations. Its shape is cut
// from its background picture (pure blue is outside); it shows a caption,
// a title text, a progress bar and a Cancel button. Cancelling (command
// 1211, IDCANCEL, the close command, or Escape while the owner pumps
// messages with Escape allowed) only sets a flag that the owner polls (and
// says so at once through `cancelRequested`); the owner closes the window.
#pragma once
#include "CFlwDialog.h"
#include "ResourceIds.h"

#include <QImage>
#include <QPointer>
#include <vector>

class CAlphaStatic;
class CApProgressCtrl;
class CGButton;

class CProgressDlg : public CFlwDialog {
    Q_OBJECT
public:
    static constexpr UINT kCancelCommand = 1211;
    static constexpr UINT kCancelTextId = IDS_BTN_CANCEL;
    static constexpr QRgb kOutsideColour = 0xFF0000FF; // pure blue
    static constexpr const char* kBackground = "Image\\Dialogs\\ProgressDialog\\bg_progress_dialog.png";
    static constexpr const char* kBarBackground = "Image\\Common\\progressCtrl\\progress_bg_438.png";
    static constexpr const char* kBarUnit = "Image\\Common\\progressCtrl\\progress_unit_438.png";

    explicit CProgressDlg(QWidget* parent = nullptr);
    ~CProgressDlg() override;

    // Builds the window (hidden) with its caption.
    BOOL Create(const QString& caption, QWidget* owner);
    void SetTitle(const QString& text);
    QString Title() const;
    void SetRange(int lower, int upper);
    void SetPos(int position);
    int GetPos() const;
    bool IsCancelled() const { return m_bCancelled; }
    void ResetCancel() { m_bCancelled = false; }
    // Handles the messages waiting for this window and its controls while
    // the caller works, and stops once cancellation is requested. What is
    // meant for other windows waits: their posted messages are handed on
    // after the pump, their timers fire later, input for them is dropped.
    // A modal window that a handler opens meanwhile runs as usual. Escape
    // cancels when allowed. Returns whether cancellation was requested.
    bool PumpMessages(bool allowEscape);
    // Scales every child's position and size by `factor` (rounded up) and
    // the window with them.
    void ScaleLayout(double factor);

    CApProgressCtrl* Bar() const { return m_pBar; }
    CGButton* CancelButton() const { return m_pCancel; }

signals:
    // The flag was just set: an owner that polls need not wait for its timer.
    void cancelRequested();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override
    {
        m_bCancelled = true;
        emit cancelRequested();
    }
    void OnOK() override {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyShape();
    bool IsOurs(QObject* object) const;
    // What the pump does with an event for another window: true when it is
    // held back or dropped.
    bool HoldForOthers(QObject* watched, QEvent* event);

    QImage m_background;
    CAlphaStatic* m_pTitle = nullptr;
    CApProgressCtrl* m_pBar = nullptr;
    CGButton* m_pCancel = nullptr;
    bool m_bCancelled = false;
    bool m_bPumping = false;
    bool m_bAllowEscape = false;
    int m_nPumpLoopLevel = 0;
    struct HeldMessage {
        QPointer<QObject> target;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<HeldMessage> m_held;
};
