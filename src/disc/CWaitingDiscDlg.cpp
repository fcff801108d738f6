#include "CWaitingDiscDlg.h"

#include "CAlphaStatic.h"
#include "CDiscAccess.h"
#include "CGStatic.h"
#include "StringResources.h"

#include <QTimerEvent>

namespace {

const QRect kPictureRect = RectLTRB(22, 52, 122, 152);
const QRect kTitleRect = RectLTRB(136, 48, 384, 70);
const QRect kMainTextRect = RectLTRB(136, 74, 384, 154);
constexpr int kTextLeftWithoutPicture = 22;

} // namespace

CWaitingDiscDlg::CWaitingDiscDlg(CDiscAccess& discs, const QString& text, const QImage& image, QWidget* parent)
    : CFlwBaseDialog(IDD, parent), m_discs(discs), m_strText(text), m_image(image)
{
}

BOOL CWaitingDiscDlg::OnInitDialog()
{
    SetIconPath(QString::fromLatin1(kIcon));
    const BOOL skinned =
        SetupSkin(LoadString(IDS_APP_CAPTION), QString::fromLatin1(kBackground), IDS_BTN_CANCEL, IDCANCEL);
    CreateControls();
    m_timer.start(kPollMs, this);
    return skinned;
}

void CWaitingDiscDlg::CreateControls()
{
    const int left = m_image.isNull() ? kTextLeftWithoutPicture : kTitleRect.left();
    m_pTitle = new CAlphaStatic(this);
    m_pTitle->Create(LoadString(IDS_PLEASE_WAIT), WS_CHILD | WS_VISIBLE, kTitleRect.adjusted(left - kTitleRect.left(), 0, 0, 0),
                     this, kTitleId);
    QFont bold = m_pTitle->font();
    bold.setBold(true);
    m_pTitle->setFont(bold);
    m_pMainText = new CAlphaStatic(this);
    m_pMainText->Create(m_strText, WS_CHILD | WS_VISIBLE, kMainTextRect.adjusted(left - kMainTextRect.left(), 0, 0, 0),
                        this, kMainTextId);
    m_pMainText->setWordWrap(true);
    m_pMainText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (m_image.isNull()) return;
    m_pPicture = new CGStatic(this);
    m_pPicture->Create(QString(), WS_CHILD | WS_VISIBLE, kPictureRect, this, kPictureId);
    m_pPicture->SetImage(m_image.scaled(kPictureRect.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void CWaitingDiscDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) return CFlwBaseDialog::timerEvent(event);
    if (m_nCancel) {
        m_timer.stop();
        EndDialog(IDCANCEL);
    } else if (SUCCEEDED(m_discs.CheckDiscReady())) {
        m_timer.stop();
        EndDialog(IDOK);
    }
}

ModalRecord CWaitingDiscDlg::DescribeRun() const
{
    ModalRecord record = CFlwBaseDialog::DescribeRun();
    record.text = m_strText;
    return record;
}
