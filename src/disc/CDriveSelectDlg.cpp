#include "CDriveSelectDlg.h"

#include "CAlphaStatic.h"
#include "CDiscAccess.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "ImageDriveSlots.h"
#include "StringResources.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace {

const QRect kTextRect = RectLTRB(20, 50, 380, 72);
const QRect kComboRect = RectLTRB(20, 82, 236, 106);
const QRect kInsertRect = RectLTRB(246, 82, 382, 106);

} // namespace

CDriveSelectDlg::CDriveSelectDlg(CDiscAccess& discs, QWidget* parent) : CFlwBaseDialog(IDD, parent), m_discs(discs) {}

BOOL CDriveSelectDlg::OnInitDialog()
{
    SetIconPath(QString::fromLatin1(kIcon));
    const BOOL skinned = SetupSkin(LoadString(IDS_APP_CAPTION), QString::fromLatin1(kBackground), IDS_BTN_OK, IDOK,
                                   IDS_BTN_CANCEL, IDCANCEL);
    CreateControls();
    FillDriveList(0);
    return skinned;
}

void CDriveSelectDlg::CreateControls()
{
    m_pText = new CAlphaStatic(this);
    m_pText->Create(LoadString(IDS_CHOOSE_DRIVE), WS_CHILD | WS_VISIBLE, kTextRect, this, kTextId);
    m_pDriveList = new CGComboBox(this);
    m_pDriveList->Create(QString::fromLatin1(kComboPicture), QString::fromLatin1(kComboItemPicture),
                         WS_CHILD | WS_VISIBLE, kComboRect, this, kDriveListId);
    m_pDriveList->setAccessibleName(LoadString(IDS_CHOOSE_DRIVE));
    m_pText->setBuddy(m_pDriveList);
    // Every change of the choice, by mouse or by keyboard, selects the drive.
    connect(m_pDriveList, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (position >= 0) m_discs.SelectDrive(position);
    });
    m_pInsertImage = new CGButton(this);
    m_pInsertImage->Create(QString::fromLatin1(kButtonPicture), WS_CHILD | WS_VISIBLE, kInsertRect, this,
                           kInsertImageId);
    m_pInsertImage->setText(LoadString(IDS_INSERT_IMAGE));
    m_pInsertImage->setAccessibleName(LoadString(IDS_INSERT_IMAGE));
}

void CDriveSelectDlg::FillDriveList(int chosen)
{
    QStringList names;
    m_discs.GetDriveNames(names);
    const QSignalBlocker quiet(m_pDriveList);
    m_pDriveList->ResetContent();
    for (const QString& name : names) m_pDriveList->AddString(name);
    m_pDriveList->SetCurSel(chosen);
    m_discs.SelectDrive(chosen);
}

BOOL CDriveSelectDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kInsertImageId && HIWORD(wParam) == BN_CLICKED) {
        ChooseImageFile();
        return TRUE;
    }
    return CFlwBaseDialog::OnCommand(wParam, lParam);
}

void CDriveSelectDlg::ChooseImageFile()
{
    QFileDialog chooser(this, LoadString(IDS_IMAGE_FILE_CAPTION),
                        QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
                        LoadString(IDS_IMAGE_FILE_FILTER) + QStringLiteral(" (") + ImageDriveSlots::FilePatterns() +
                            QLatin1Char(')'));
    chooser.setFileMode(QFileDialog::ExistingFile);
    ModalRecord record;
    record.kind = QStringLiteral("QFileDialog");
    record.text = chooser.windowTitle();
    if (ModalSeam::Run(&chooser, record) != IDOK || chooser.selectedFiles().isEmpty()) return;
    InsertImage(chooser.selectedFiles().constFirst());
}

BOOL CDriveSelectDlg::InsertImage(const QString& imagePath)
{
    const ImageDriveSlots drives(m_discs);
    const int chosen = m_pDriveList ? m_pDriveList->GetCurSel() : -1;
    const int position = drives.IsImageDrive(chosen) ? chosen : drives.ChooseFor(imagePath);
    if (position < 0) {
        CFlwMessageBox::showMessage(IDS_MSG_NO_IMAGE_DRIVE, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, this);
        return FALSE;
    }
    QString reason;
    if (FAILED(drives.Insert(position, imagePath, &reason))) {
        CFlwMessageBox::showMessage(ImageDriveSlots::RefusalMessage(imagePath, reason), MB_ICONEXCLAMATION,
                                    CFlwMessageBox::kCaptionId, this);
        return FALSE;
    }
    FillDriveList(position);
    return TRUE;
}
