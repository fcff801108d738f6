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

CLoadingDiscDlg::CLoadingDiscDlg(CDiscAccess& discs, QWidget* parent) : CFlwBaseDialog(IDD, parent), m_discs(discs) {}

CLoadingDiscDlg::~CLoadingDiscDlg()
{
    // The read owns the disc access object while it runs.
    if (m_reader.joinable()) m_reader.join();
}

BOOL CLoadingDiscDlg::OnInitDialog()
{
    SetIconPath(QString::fromLatin1(kIcon));
    const BOOL skinned =
        SetupSkin(LoadString(IDS_APP_CAPTION), QString::fromLatin1(kBackground), IDS_BTN_CANCEL, IDCANCEL);
    m_pTitle = new CAlphaStatic(this);
    m_pTitle->Create(LoadString(IDS_PLEASE_WAIT), WS_CHILD | WS_VISIBLE, kTitleRect, this, kTitleId);
    QFont bold = m_pTitle->font();
    bold.setBold(true);
    m_pTitle->setFont(bold);
    m_pSecondText = new CAlphaStatic(this);
    m_pSecondText->Create(LoadString(IDS_READING_DISC), WS_CHILD | WS_VISIBLE, kSecondTextRect, this, kSecondTextId);
    m_pSecondText->setWordWrap(true);
    m_pSecondText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
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
    m_pSecondText->setText(LoadString(IDS_PROGRESS_CANCELLING));
}

void CLoadingDiscDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) return CFlwBaseDialog::timerEvent(event);
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
