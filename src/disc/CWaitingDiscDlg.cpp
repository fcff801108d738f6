#include "CWaitingDiscDlg.h"

#include "CAlphaStatic.h"
#include "CDiscAccess.h"
#include "CGStatic.h"
#include "ImageDriveSlots.h"
#include "ImageInsertion.h"
#include "ResourceIds.h"
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
    const BOOL skinned = m_nImageDrive >= 0 ? SetupWaitSkin(IDS_INSERT_IMAGE, kInsertImageCommand) : SetupWaitSkin();
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

void CWaitingDiscDlg::OfferImageFor(int position)
{
    m_nImageDrive = ImageDriveSlots(m_discs).IsImageDrive(position) ? position : -1;
}

BOOL CWaitingDiscDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != kInsertImageCommand || m_nImageDrive < 0) return CDiscWaitDialog::OnCommand(wParam, lParam);
    // The next tick finds the disc in and ends the wait.
    const QString image = ImageInsertion::ChooseImageFile(this);
    if (!image.isEmpty()) ImageInsertion::Insert(m_discs, m_nImageDrive, image, this);
    return TRUE;
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
