// CWaitingDiscDlg: asks for a disc and waits for it. Every second it asks
// the disc access object whether the selected drive holds a disc ready to
// read (which opens the tray of an empty drive again) and closes with IDOK
// once it does. Cancel (the button, Escape, the close button) closes with
// IDCANCEL at once; only while a tick is asking the drive does it set the
// cancel flag, and that tick closes the dialog, so a tick never runs
// against a dialog that is gone.
//
// When the drive waited for is an image drive, "Insert image…" beside
// Cancel puts a disc image into it (a disc catalogued from an image is
// asked for again that way).
//
//   CWaitingDiscDlg waiting(discs, FormatString(IDS_FMT_INSERT_DISC, {root}), labelPicture, parent);
//   waiting.OfferImageFor(position);         // the drive's list position
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
    static constexpr UINT kInsertImageCommand = 3252;

    // `image`: the disc's label picture, or null for none.
    CWaitingDiscDlg(CDiscAccess& discs, const QString& text, const QImage& image, QWidget* parent = nullptr);

    // Offers "Insert image…" when the drive at the list position is an image drive.
    void OfferImageFor(int position);
    bool IsCancelRequested() const { return m_nCancel != 0; }
    bool IsPolling() const { return m_timer.isActive(); }
    CAlphaStatic* MainText() const { return m_pText; }
    CGStatic* Picture() const { return m_pPicture; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void timerEvent(QTimerEvent* event) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    ModalRecord DescribeRun() const override;

private:
    void CreateControls();

    CDiscAccess& m_discs;
    QString m_strText;
    QImage m_image;
    LONG m_nCancel = 0;
    int m_nImageDrive = -1; // list position of the image drive waited for, else -1
    bool m_bAskingDrive = false;
    QBasicTimer m_timer;
    CGStatic* m_pPicture = nullptr;
};
