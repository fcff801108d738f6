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
    : CDiscWaitDialog(parent), m_discs(discs), m_strText(text), m_image(image)
{
}

BOOL CWaitingDiscDlg::OnInitDialog()
{
    const BOOL skinned = SetupWaitSkin();
    CreateControls();
    m_timer.start(kPollMs, this);
    return skinned;
}

void CWaitingDiscDlg::CreateControls()
{
    const int left = m_image.isNull() ? kTextLeftWithoutPicture : kTitleRect.left();
    AddTexts(kTitleRect.adjusted(left - kTitleRect.left(), 0, 0, 0),
             kMainTextRect.adjusted(left - kMainTextRect.left(), 0, 0, 0), kMainTextId, m_strText);
    if (m_image.isNull()) return;
    m_pPicture = new CGStatic(this);
    m_pPicture->Create(QString(), WS_CHILD | WS_VISIBLE, kPictureRect, this, kPictureId);
    m_pPicture->SetImage(m_image.scaled(kPictureRect.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void CWaitingDiscDlg::OnCancel()
{
    m_nCancel = 1;
    if (m_bAskingDrive) return; // the tick under way ends the dialog
    m_timer.stop();
    EndDialog(IDCANCEL);
}

void CWaitingDiscDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) return CDiscWaitDialog::timerEvent(event);
    m_bAskingDrive = true;
    const bool ready = !m_nCancel && SUCCEEDED(m_discs.CheckDiscReady());
    m_bAskingDrive = false;
    if (m_nCancel) {
        m_timer.stop();
        EndDialog(IDCANCEL);
    } else if (ready) {
        m_timer.stop();
        EndDialog(IDOK);
    }
}

ModalRecord CWaitingDiscDlg::DescribeRun() const
{
    ModalRecord record = CDiscWaitDialog::DescribeRun();
    record.text = m_strText;
    return record;
}
