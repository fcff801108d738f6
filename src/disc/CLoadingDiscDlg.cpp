#include "CLoadingDiscDlg.h"

#include "CAlphaStatic.h"
#include "CDiscAccess.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "StringResources.h"

#include <QTimerEvent>

namespace {

const QRect kTitleRect = RectLTRB(22, 48, 384, 70);
const QRect kSecondTextRect = RectLTRB(22, 74, 384, 154);

} // namespace

CLoadingDiscDlg::CLoadingDiscDlg(CDiscAccess& discs, QWidget* parent) : CDiscWaitDialog(parent), m_discs(discs) {}

CLoadingDiscDlg::~CLoadingDiscDlg()
{
    // The read owns the disc access object while it runs.
    if (m_reader.joinable()) m_reader.join();
}

BOOL CLoadingDiscDlg::OnInitDialog()
{
    const BOOL skinned = SetupWaitSkin();
    AddTexts(kTitleRect, kSecondTextRect, kSecondTextId, LoadString(IDS_READING_DISC));
    StartRead();
    return skinned;
}

void CLoadingDiscDlg::StartRead()
{
    m_bStarted = true;
    m_reader = std::thread([this] {
        m_hrRead = m_readout.Read(m_discs);
        m_bDone = true;
    });
    m_timer.start(kCheckMs, this);
}

void CLoadingDiscDlg::OnCancel()
{
    if (!IsReading()) return EndDialog(IDCANCEL);
    m_bCancel = true;
    if (CGButton* cancel = BottomButton(IDCANCEL)) cancel->setEnabled(false);
    m_pText->setText(LoadString(IDS_PROGRESS_CANCELLING));
}

void CLoadingDiscDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) return CDiscWaitDialog::timerEvent(event);
    if (!m_bDone.load()) return;
    m_timer.stop();
    m_reader.join();
    Finish();
}

void CLoadingDiscDlg::Finish()
{
    if (m_bCancel) return EndDialog(IDCANCEL);
    if (FAILED(m_hrRead)) {
        CFlwMessageBox::showMessage(IDS_MSG_DISC_UNREADABLE, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, this);
        return EndDialog(IDCANCEL);
    }
    EndDialog(IDOK);
}
