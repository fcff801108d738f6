#include "CViewModeCommand.h"

#include "CAlbCommandView.h"
#include "CAlbListCtrl.h"
#include "CFileListView.h"
#include "CGButton.h"
#include "ResourceIds.h"

void CViewModeCommand::Show(int style)
{
    if (CGButton* small = m_pBar->ButtonOf(ID_ALB_SMALL_ICONS)) small->setVisible(style == kDetails);
    if (CGButton* details = m_pBar->ButtonOf(ID_ALB_DETAILS)) details->setVisible(style == kSmallIcons);
    m_pList->SetViewStyle(style);
}

void CViewModeCommand::FollowList(bool searchResults)
{
    if (searchResults) Show(kDetails);
    if (CGButton* small = m_pBar->ButtonOf(ID_ALB_SMALL_ICONS)) small->setEnabled(!searchResults);
}

BOOL CViewModeCommand::OnUpdate(UINT id, BOOL* enabled) const
{
    if (id != ID_ALB_SMALL_ICONS && id != ID_ALB_DETAILS) return FALSE;
    *enabled = m_pList->List()->GetMode() != CAlbListCtrl::SearchResults;
    return TRUE;
}
