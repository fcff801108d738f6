// CViewModeCommand: the file list's two presentations as the window offers
// them. The command bar shows the button of the presentation not shown
// (Small Icons while details are shown, Details while small icons are);
// View > Small Icons and View > Details switch too. Search results are
// always shown in details: while they are shown both commands rest, the
// menu items and the bar's button disabled.
#pragma once
#include "wintypes.h"

class CAlbCommandView;
class CFileListView;

class CViewModeCommand {
public:
    static constexpr int kDetails = 1;
    static constexpr int kSmallIcons = 2;

    CViewModeCommand(CAlbCommandView* bar, CFileListView* list) : m_pBar(bar), m_pList(list) {}

    // `style`: kDetails or kSmallIcons.
    void Show(int style);
    // Search results (true) or another list (false) is now shown.
    void FollowList(bool searchResults);
    // Whether ID_ALB_SMALL_ICONS or ID_ALB_DETAILS can run now; FALSE for
    // other commands.
    BOOL OnUpdate(UINT id, BOOL* enabled) const;

private:
    CAlbCommandView* m_pBar;
    CFileListView* m_pList;
};
