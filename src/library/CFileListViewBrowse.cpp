// CFileListView: moving through the lists: opening a disc, a folder or a
// file, from the disc list or the search results; Back; the search box's
// start and end; the list shown again after the library changed.
#include "CFileListView.h"

#include "CAlbireoDoc.h"
#include "CFileListHost.h"
#include "ListSort.h"
#include "ResourceIds.h"

namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

} // namespace

const CAlbDataItem* CFileListView::SelectedItem() const
{
    const CAlbDataItem* root = Root();
    return root ? root->Child(m_pList->SelectedRow()) : nullptr;
}

void CFileListView::Open(int row)
{
    const CAlbDataItem* root = Root();
    const CAlbDataItem* item = root ? root->Child(row) : nullptr;
    if (!item) return;
    if (m_pList->GetMode() == CAlbListCtrl::SearchResults) {
        OpenFromSearch(*item);
        return;
    }
    const BrowseHistory::Level* level = m_history.Current();
    if (!item->IsContainer()) {
        if (m_pHost && level) m_pHost->OpenCataloguedFile(level->discId, level->folderPath, item->m_strName);
        return;
    }
    if (item->IsDisc()) m_history.EnterDisc(item->m_nDiscId, item->m_strName, CurrentListView());
    else if (level) m_history.EnterFolder(item->m_nItemId, item->m_strName, CurrentListView());
    else return;
    ShowLevel();
}

void CFileListView::OpenFromSearch(const CAlbDataItem& item)
{
    if (!item.m_dwFlags) return; // a group header
    // The row keeps the path's id: a file's folder path, a folder's own path.
    char16_t path[MAX_PATH] = {};
    if (!item.IsDisc()) Checked(m_pEngine->GetPathText(LONG(item.m_dwWord1), path));
    if (item.IsFile()) {
        // The results stay as they are: the file opens beside them.
        if (m_pHost) m_pHost->OpenCataloguedFile(item.m_nDiscId, Text(path), item.m_strItemName);
        return;
    }
    const BrowseHistory::ListView left = CurrentListView();
    LeaveSearchResults();
    if (item.IsDisc()) m_history.EnterDisc(item.m_nDiscId, item.m_strName, left);
    else m_history.EnterFoundFolder(item.m_nDiscId, item.m_nItemId, item.m_strName, Text(path), left);
    ShowLevel();
}

void CFileListView::BrowseSelectedDisc()
{
    const CAlbDataItem* item = SelectedItem();
    if (!item || !item->m_dwFlags || m_pList->GetMode() == CAlbListCtrl::FolderContents) return;
    const BrowseHistory::ListView left = CurrentListView();
    // A folder or file found names its disc.
    if (m_pList->GetMode() == CAlbListCtrl::SearchResults) LeaveSearchResults();
    m_history.EnterDisc(item->m_nDiscId, item->m_strName, left);
    ShowLevel();
}

// The search box empties while its results are browsed; Back shows them again.
void CFileListView::LeaveSearchResults()
{
    if (m_pHost) m_pHost->SetSearchText(QString());
}

void CFileListView::ShowLevel()
{
    const BrowseHistory::Level* level = m_history.Current();
    if (!level) return;
    ResetList(CAlbListCtrl::FolderContents);
    ShowFolder(level->discId, level->folderId);
    if (m_pHost) m_pHost->SetLocationText(level->location);
    UpdateCommandButtons();
}

void CFileListView::Back()
{
    if (!m_history.CanGoBack()) return;
    m_pList->clearSelection();
    const BrowseHistory::Level left = m_history.Leave();
    if (m_history.CanGoBack()) {
        ShowLevel();
    } else if (m_history.From() == BrowseHistory::Origin::SearchResults) {
        const QString text = m_history.SearchText();
        if (m_pHost) m_pHost->SetSearchText(text);
        Search(text);
    } else {
        ShowFilteredDiscs();
    }
    RestoreListView(left.left);
    if (GetDocument()) GetDocument()->UpdateAllViews(nullptr, CAlbireoDoc::kHintLibraryChanged);
    UpdateCommandButtons();
}

void CFileListView::BeginSearch()
{
    if (m_pList->GetMode() == CAlbListCtrl::SearchResults) return;
    m_history.Reset(BrowseHistory::Origin::SearchResults);
    m_strShownSearch.clear();
    ResetList(CAlbListCtrl::SearchResults);
    if (m_pHost) m_pHost->SetLocationText(QString());
    UpdateCommandButtons();
    OnUpdate(nullptr, CAlbireoDoc::kHintListChanged, nullptr);
}

void CFileListView::EndSearch()
{
    CloseListing(); // a search still finding ends here
    ShowFilteredDiscs();
}

void CFileListView::ShowAgain()
{
    const BrowseHistory::ListView view = CurrentListView();
    switch (m_pList->GetMode()) {
    case CAlbListCtrl::SearchResults: {
        // Searching again starts a new history; the folders entered keep theirs.
        Search(m_strShownSearch);
        break;
    }
    case CAlbListCtrl::FolderContents:
        ShowFolder(m_nCurrentDisc, m_nCurrentFolder);
        break;
    default:
        ShowFilteredDiscs();
    }
    RestoreListView(view);
}

BrowseHistory::ListView CFileListView::CurrentListView() const
{
    const int column = ListSort::SortedColumn(Root());
    return {column, ListSort::Direction(Root(), column), m_pList->SelectedRow()};
}

void CFileListView::RestoreListView(const BrowseHistory::ListView& view)
{
    if (view.sortColumn >= 0 && m_pList->GetMode() != CAlbListCtrl::SearchResults) {
        CompleteListing();
        ListSort::SortInDirection(Root(), m_pList->GetMode(), view.sortColumn, view.sortDirection);
        OnUpdate(nullptr, CAlbireoDoc::kHintListChanged, nullptr);
        m_pList->Model()->Refresh();
    }
    if (view.selectedRow < 0) return;
    if (view.selectedRow >= m_pList->Model()->rowCount()) CompleteListing();
    const int rows = m_pList->Model()->rowCount();
    if (rows > 0) m_pList->SelectRow(std::min(view.selectedRow, rows - 1));
}

void CFileListView::UpdateCommandButtons()
{
    if (!m_pHost) return;
    m_pHost->EnableCommandButton(1, m_history.CanGoBack());
}

BOOL CFileListView::OnUpdateCommand(UINT id, BOOL* enabled) const
{
    if (id != ID_ALB_BACK) return FALSE;
    *enabled = m_history.CanGoBack();
    return TRUE;
}
