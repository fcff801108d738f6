// CFlwDialog: the common behaviour of the program's dialogs. A borderless
// dialog that is dragged by any point of its own surface (every hit test
// answers HTCAPTION; a click does not move it, a drag does), initialised once before it is first shown, run
// modally through the modal seam, and driven by window messages: WM_COMMAND
// IDOK and IDCANCEL end it through OnOK and OnCancel, as do Escape and the
// seam's answers. Results are the platform codes (IDOK, IDCANCEL, ...).
// From the keyboard: Enter presses the focused push button, else the default
// button; Escape cancels; Tab and Shift+Tab walk the controls in visual
// order, starting on the first control when the dialog opens.
#pragma once
#include "ModalSeam.h"
#include "WinControls.h"
#include "WindowDrag.h"

#include <QDialog>
#include <QPointer>

class CGButton;

class CFlwDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFlwDialog(UINT templateId = 0, QWidget* parent = nullptr);

    // Initialises the dialog (once) and runs it modally; returns the result.
    virtual int DoModal();
    // Initialises the dialog (once) for a modeless life; it stays hidden
    // until shown.
    BOOL CreateModeless();
    void EndDialog(int result) { done(result); }
    // Centres the dialog over its owner's window (the active window, or the
    // screen, when the owner is not shown yet), wholly on the screen.
    void CenterWindow();

    UINT TemplateId() const { return m_nTemplateId; }
    bool IsInitialised() const { return m_bInitialised; }
    // Every point of the dialog drags it.
    LRESULT OnNcHitTest(const QPoint& point) const;
    const WindowDrag& Drag() const { return m_drag; }

    // The button Enter presses when no push button has the focus.
    void SetDefaultButton(CGButton* button);
    CGButton* DefaultButton() const;

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    // Builds the dialog's controls; FALSE fails the dialog.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND: TRUE when handled. IDOK and IDCANCEL end the dialog.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Every window message the dialog receives (WM_COMMAND included).
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // What the modal seam records of a run of this dialog.
    virtual ModalRecord DescribeRun() const;
    // Initialises once; FALSE when OnInitDialog failed.
    BOOL EnsureInitialised();

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    UINT m_nTemplateId;
    bool m_bInitialised = false;
    BOOL m_bInitResult = FALSE;
    WindowDrag m_drag{this};
    QPointer<CGButton> m_pDefault;
};
