#include "CDriveSelectDlg.h"

#include "CAlphaStatic.h"
#include "CDiscAccess.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "ImageDriveSlots.h"
#include "ImageInsertion.h"
#include "StringResources.h"

#include <QFileInfo>

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
    // An image drive names the image it holds, so that the user sees which
    // image will be read.
    const ImageDriveSlots drives(m_discs);
    for (int position = 0; position < names.size(); ++position) {
        const QString image = drives.ImageAt(position);
        m_pDriveList->AddString(image.isEmpty() ? names[position]
                                                : FormatString(IDS_FMT_DRIVE_WITH_IMAGE,
                                                               {names[position], QFileInfo(image).fileName()}));
    }
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
    const QString image = ImageInsertion::ChooseImageFile(this);
    if (!image.isEmpty()) InsertImage(image);
}

BOOL CDriveSelectDlg::InsertImage(const QString& imagePath)
{
    const ImageDriveSlots drives(m_discs);
    const int chosen = m_pDriveList ? m_pDriveList->GetCurSel() : -1;
    const int position = drives.IsImageDrive(chosen) ? chosen : drives.ChooseFor(imagePath);
    if (!ImageInsertion::Insert(m_discs, position, imagePath, this)) return FALSE;
    FillDriveList(position);
    return TRUE;
}
