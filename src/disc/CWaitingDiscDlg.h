// CWaitingDiscDlg: asks for a disc and waits for it. Every second it asks
// the disc access object whether the selected drive holds a disc ready to
// read (which opens the tray of an empty drive again) and closes with IDOK
// once it does. Cancel (the button, Escape, the close button) closes with
// IDCANCEL at once; only while a tick is asking the drive does it set the
// cancel flag, and that tick closes the dialog, so a tick never runs
// against a dialog that is gone.
//
//   CWaitingDiscDlg waiting(discs, FormatString(IDS_FMT_INSERT_DISC, {root}), labelPicture, parent);
//   if (waiting.DoModal() != IDOK) return;   // cancelled
#pragma once
#include "CDiscWaitDialog.h"

#include <QBasicTimer>
#include <QImage>

class CAlphaStatic;
class CDiscAccess;
class CGStatic;

class CWaitingDiscDlg : public CDiscWaitDialog {
    Q_OBJECT
public:
    static constexpr UINT kPictureId = 1488;
    static constexpr int kPollMs = 1000;

    // `image`: the disc's label picture, or null for none.
    CWaitingDiscDlg(CDiscAccess& discs, const QString& text, const QImage& image, QWidget* parent = nullptr);

    bool IsCancelRequested() const { return m_nCancel != 0; }
    bool IsPolling() const { return m_timer.isActive(); }
    CAlphaStatic* MainText() const { return m_pText; }
    CGStatic* Picture() const { return m_pPicture; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void timerEvent(QTimerEvent* event) override;
    ModalRecord DescribeRun() const override;

private:
    void CreateControls();

    CDiscAccess& m_discs;
    QString m_strText;
    QImage m_image;
    LONG m_nCancel = 0;
    bool m_bAskingDrive = false;
    QBasicTimer m_timer;
    CGStatic* m_pPicture = nullptr;
};
