// CWaitingDiscDlg: asks for a disc and waits for it. Every second it asks
// the disc access object whether the selected drive holds a disc ready to
// read (which opens the tray of an empty drive again) and closes with IDOK
// once it does. Cancel (the button, Escape, the close button) only sets the
// cancel flag; the next tick closes with IDCANCEL, so a tick never runs
// against a dialog that is gone.
//
//   CWaitingDiscDlg waiting(discs, FormatString(IDS_FMT_INSERT_DISC, {root}), labelPicture, parent);
//   if (waiting.DoModal() != IDOK) return;   // cancelled
#pragma once
#include "CFlwBaseDialog.h"

#include <QBasicTimer>
#include <QImage>

class CAlphaStatic;
class CDiscAccess;
class CGStatic;

class CWaitingDiscDlg : public CFlwBaseDialog {
    Q_OBJECT
public:
    static constexpr UINT IDD = 434;
    static constexpr UINT kSecondTextId = 1485;
    static constexpr UINT kMainTextId = 1486;
    static constexpr UINT kTitleId = 1487;
    static constexpr UINT kPictureId = 1488;
    static constexpr int kPollMs = 1000;
    static constexpr const char* kBackground = "Image\\Marrowby\\bg_re_04.png";
    static constexpr const char* kIcon = "Image\\icon\\icon_disk.png";

    // `image`: the disc's label picture, or null for none.
    CWaitingDiscDlg(CDiscAccess& discs, const QString& text, const QImage& image, QWidget* parent = nullptr);

    bool IsCancelRequested() const { return m_nCancel != 0; }
    bool IsPolling() const { return m_timer.isActive(); }
    CAlphaStatic* MainText() const { return m_pMainText; }
    CGStatic* Picture() const { return m_pPicture; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override { m_nCancel = 1; }
    void timerEvent(QTimerEvent* event) override;
    ModalRecord DescribeRun() const override;

private:
    void CreateControls();

    CDiscAccess& m_discs;
    QString m_strText;
    QImage m_image;
    LONG m_nCancel = 0;
    QBasicTimer m_timer;
    CAlphaStatic* m_pTitle = nullptr;
    CAlphaStatic* m_pMainText = nullptr;
    CGStatic* m_pPicture = nullptr;
};
