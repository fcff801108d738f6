#include "CDiscLabelDlg.h"

#include "CGStatic.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <memory>

CDiscLabelDlg::CDiscLabelDlg(LONG labelImageId, ILibraryEngine* engine, QWidget* parent)
    : CFlwBaseDialog(kTemplateId, parent), m_nLabelImageId(labelImageId), m_pEngine(engine)
{
}

BOOL CDiscLabelDlg::OnInitDialog()
{
    const BOOL skinned = SetupSkin(LoadString(IDS_DISCLABEL_CAPTION), QString::fromLatin1(kBackground), IDS_BTN_OK,
                                   IDOK, IDS_BTN_CANCEL, IDCANCEL);
    m_pLabel = new CGStatic(this);
    m_pLabel->Create(QString(), WS_CHILD | WS_VISIBLE, RectLTRB(30, 60, 390, 420), this, kLabelId);
    QImage* label = nullptr;
    if (m_nLabelImageId > 0 && m_pEngine && SUCCEEDED(m_pEngine->GetLabelImage(m_nLabelImageId, &label)) && label) {
        const std::unique_ptr<QImage> owned(label);
        m_pLabel->SetImage(owned->scaled(kLabelSize, kLabelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    return skinned;
}

BOOL CDiscLabelDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kCloseCommand) {
        OnCancel();
        return TRUE;
    }
    return CFlwBaseDialog::OnCommand(wParam, lParam);
}
