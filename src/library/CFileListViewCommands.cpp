// CFileListView: what the user does with the list: open, go back, search,
// sort, delete a disc, the context menus and type-ahead.
#include "CFileListView.h"

#include "CAlbireoDoc.h"
#include "CFileListHost.h"
#include "CDiscLabelDlg.h"
#include "CFlwMessageBox.h"
#include "DiscInfoCommand.h"
#include "ListSort.h"
#include "ListTexts.h"
#include "RecordList.h"
#include "WinControls.h"
#include "SkinMenu.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "TagText.h"

#include <QHeaderView>
#include <QMenu>

namespace {

const char* const kWarningIcon = "Image\\Dialogs\\MessageBox\\icon_warning.png";
constexpr UINT kDeleteQuestionId = 3016;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }
const char16_t* Utf16(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

} // namespace

void CFileListView::Open(int row)
{
    const CAlbDataItem* root = Root();
    const CAlbDataItem* item = root ? root->Child(row) : nullptr;
    if (!item) return;
    if (m_pList->GetMode() == CAlbListCtrl::SearchResults) {
        OpenFromSearch(*item);
        return;
    }
    if (!item->IsContainer()) {
        const QStringList folders = m_nameStack.mid(1); // after the disc's name
        if (m_pHost)
            m_pHost->OpenCataloguedFile(m_nCurrentDisc, folders.isEmpty() ? QString() : u'\\' + folders.join(u'\\'),
                                        item->m_strName);
        return;
    }
    if (item->IsDisc()) {
        m_nCurrentDisc = item->m_nDiscId;
        EnterFolder(item->m_nDiscId, 0, item->m_strName);
    } else {
        EnterFolder(m_nCurrentDisc, item->m_nItemId, item->m_strName);
    }
}

void CFileListView::EnterFolder(int discId, int folderId, QString name)
{
    m_pList->SetMode(CAlbListCtrl::FolderContents);
    m_nCurrentDisc = discId;
    m_nCurrentFolder = folderId;
    m_nameStack << name;
    m_folderStack.push_back(folderId);
    ShowFolder(discId, folderId);
    UpdateLocation();
    UpdateBackButton();
}

void CFileListView::OpenFromSearch(const CAlbDataItem& item)
{
    if (!item.m_dwFlags) return; // a group header
    m_bFromSearch = true;
    if (m_pHost) {
        m_strLastSearch = m_pHost->SearchText();
        m_pHost->SetSearchText(QString());
    }
    m_nameStack.clear();
    m_folderStack.clear();
    if (item.IsDisc()) {
        EnterFolder(item.m_nDiscId, 0, item.m_strName);
        return;
    }
    m_nCurrentDisc = item.m_nDiscId;
    // The row keeps the path's id: a file's folder path, a folder's own path.
    char16_t path[MAX_PATH] = {};
    Checked(m_pEngine->GetPathText(LONG(item.m_dwWord1), path));
    if (!item.IsContainer()) {
        if (m_pHost) m_pHost->OpenCataloguedFile(item.m_nDiscId, Text(path), item.m_strItemName);
        return;
    }
    // A folder found: one level to go back from, the location its full path.
    // Entering the folder replaces the rows, this one included.
    const QString discName = item.m_strName;
    EnterFolder(item.m_nDiscId, item.m_nItemId, item.m_strName);
    if (m_pHost) m_pHost->SetLocationText(discName + Text(path));
}

void CFileListView::Back()
{
    if (m_folderStack.empty()) return;
    m_pList->clearSelection();
    if (m_bFromSearch && m_folderStack.size() == 1) {
        m_nameStack.clear();
        m_folderStack.clear();
        m_bFromSearch = false;
        UpdateBackButton();
        if (m_pHost) m_pHost->SetSearchText(m_strLastSearch);
        Search(m_strLastSearch);
        return;
    }
    m_nameStack.removeLast();
    m_folderStack.pop_back();
    ClearRows();
    if (!m_folderStack.empty()) {
        m_nCurrentFolder = m_folderStack.back();
        ShowFolder(m_nCurrentDisc, m_nCurrentFolder);
    } else {
        m_pList->SetMode(CAlbListCtrl::DiscList);
        if (m_pHost) m_pHost->ApplyTagFilter();
        else ShowAllDiscs();
    }
    if (GetDocument()) GetDocument()->UpdateAllViews(nullptr, CAlbireoDoc::kHintLibraryChanged);
    UpdateLocation();
    UpdateBackButton();
}

void CFileListView::UpdateLocation()
{
    if (!m_pHost) return;
    QString location;
    for (const QString& name : m_nameStack) location += u'\\' + name;
    m_pHost->SetLocationText(location);
}

void CFileListView::UpdateBackButton()
{
    if (!m_pHost) return;
    const bool inFolder = !m_folderStack.empty();
    m_pHost->EnableCommandButton(1, inFolder);
    if (!inFolder) m_pHost->EnableCommandButton(2, true);
}

int CFileListView::SelectedDiscId() const
{
    const CAlbDataItem* root = Root();
    const CAlbDataItem* item = root ? root->Child(m_pList->SelectedRow()) : nullptr;
    if (!item || m_pList->GetMode() == CAlbListCtrl::FolderContents) return -1;
    return item->IsDisc() ? item->m_nDiscId : -1;
}

void CFileListView::DeleteSelectedDisc()
{
    const int discId = SelectedDiscId();
    if (discId < 0 || !m_pEngine) return;
    const int answer = CFlwMessageBox::showMessage(kDeleteQuestionId, MB_YESNO | MB_ICONEXCLAMATION,
                                                   CFlwMessageBox::kCaptionId,
                                                   m_pHost ? m_pHost->MainWindow() : nullptr,
                                                   QString::fromLatin1(kWarningIcon));
    if (answer != IDYES) return;
    Checked(m_pEngine->DeleteDisc(discId, 0));
    Reload(0);
    if (m_pHost) m_pHost->RefreshTags();
}

std::optional<DiscRecord> CFileListView::SelectedDiscRecord() const
{
    const int discId = SelectedDiscId();
    for (const std::vector<DiscRecord>* list : {&m_discsCopy, &m_foundDiscRecs})
        for (const DiscRecord& disc : *list)
            if (disc.discId == discId) return disc;
    return std::nullopt;
}

void CFileListView::ShowDiscInformation()
{
    const std::optional<DiscRecord> disc = SelectedDiscRecord();
    if (!disc || !m_pEngine) return;
    DiscInfoInput input;
    input.discId = disc->discId;
    input.name = Text(disc->name);
    input.typeText = ListTexts::DiscTypeText(disc->mediaClass, disc->formatCode);
    input.sizeText = ListTexts::SizeText(disc->totalSize);
    input.dateText = Text(disc->dateText);
    input.labelId = disc->labelId;
    input.tagIds = Text(disc->tagIds);
    const DiscInfoOutcome outcome = DiscInfoCommand::Run(m_pHost ? m_pHost->MainWindow() : this, m_pEngine, input);
    if (outcome.accepted) DiscInfoCommand::Store(m_pEngine, disc->discId, disc->labelId, outcome);
    else outcome.RemoveLabelFiles();
    Reload(0);
    // A tag deleted in the dialog is gone even when the dialog was cancelled.
    if (outcome.tagsDeleted) PurgeTagIds();
    if (m_pHost) m_pHost->RefreshTags();
}

void CFileListView::ShowDiscLabel()
{
    const std::optional<DiscRecord> disc = SelectedDiscRecord();
    if (!disc || !m_pEngine) return;
    CDiscLabelDlg label(disc->labelId, m_pEngine, m_pHost ? m_pHost->MainWindow() : this);
    label.DoModal();
}

void CFileListView::PurgeTagIds()
{
    if (!m_pEngine) return;
    const std::vector<TagRecord> tags = ReadRecordList<TagRecord>([&](LONG* n) { return Checked(m_pEngine->GetTagCount(n)); },
                                                         [&](TagRecord* r, LONG n) { return Checked(m_pEngine->GetTags(r, n)); });
    QSet<int> existing;
    for (const TagRecord& tag : tags) existing.insert(tag.id);
    for (DiscRecord& disc : m_discsCopy) {
        QList<int> kept;
        for (int id : TagText::SplitIds(Text(disc.tagIds)))
            if (existing.contains(id)) kept << id;
        const QString ids = TagText::JoinIds(kept);
        Checked(m_pEngine->SetDiscTags(disc.discId, Utf16(ids)));
        const qsizetype length = std::min<qsizetype>(ids.size(), kLibraryTextLength - 1);
        std::fill(std::begin(disc.tagIds), std::end(disc.tagIds), u'\0');
        std::copy_n(Utf16(ids), length, disc.tagIds);
    }
    m_discs = m_discsCopy;
}

void CFileListView::ShowContextMenu(const QPoint& globalPosition)
{
    const CAlbDataItem* root = Root();
    const CAlbDataItem* item = root ? root->Child(m_pList->SelectedRow()) : nullptr;
    const int mode = m_pList->GetMode();
    if (!item || mode == CAlbListCtrl::FolderContents || !item->m_dwFlags) return;
    const bool disc = item->IsDisc();
    const std::optional<ResourceMenu> menu = LoadMenu(disc ? 3240 : 3264);
    const ResourceMenuItem* popup = menu ? menu->Popup(0) : nullptr;
    if (!popup) return;
    std::vector<ResourceMenuItem> items = popup->children;
    if (mode == CAlbListCtrl::SearchResults && disc) items = WithoutCommand(items, 3243);
    QMenu context(m_pHost ? m_pHost->MainWindow() : this);
    context.setStyleSheet(SkinMenu::StyleSheet());
    SkinMenu::Fill(&context, items, [this](UINT id) { OnCommand(id); });
    context.exec(globalPosition);
}

BOOL CFileListView::OnCommand(UINT id)
{
    switch (id) {
    case 3100: Back(); return TRUE;
    case 3241: Open(m_pList->SelectedRow()); return TRUE;
    case 3243: DeleteSelectedDisc(); return TRUE;
    case 3242: ShowDiscInformation(); return TRUE;
    case 3261: ShowDiscLabel(); return TRUE;
    case 3101: // the import is started by its own handler
    case 3102:
    case 3103:
    case 3106: return TRUE;
    default: return FALSE;
    }
}

void CFileListView::SortByColumn(int column)
{
    m_pList->clearSelection();
    if (m_pList->GetMode() == CAlbListCtrl::SearchResults) return;
    if (m_listing) {
        SortListing(column);
        return;
    }
    ListSort::SortByColumn(Root(), m_pList->GetMode(), column);
    ShowSortDirections();
    m_pList->Model()->Refresh();
}

void CFileListView::ShowSortDirections()
{
    const CAlbDataItem* root = Root();
    QHeaderView* header = m_pList->horizontalHeader();
    for (int column = 0; column < CAlbDataItem::kSortColumns; ++column) {
        const int direction = ListSort::Direction(root, column);
        if (direction == 0) continue;
        header->setSortIndicator(column, direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
        header->setSortIndicatorShown(true);
        return;
    }
    header->setSortIndicatorShown(false);
}

void CFileListView::TypeAhead(const QString& text)
{
    m_strTypedAhead += text;
    m_typeAheadTimer.start();
    const CAlbDataItem* root = Root();
    if (!root) return;
    const bool search = m_pList->GetMode() == CAlbListCtrl::SearchResults;
    const int start = std::max(0, m_pList->SelectedRow());
    // Rows are made as they are looked at: a long list is looked through
    // only so far from the selection.
    const int reach = std::min(root->ChildCount(), kTypeAheadReach);
    for (int step = 0; step < reach; ++step) {
        const int row = (start + step + (m_strTypedAhead.size() == 1 ? 1 : 0)) % root->ChildCount();
        const CAlbDataItem* item = root->Child(row);
        const QString& name = search ? item->m_strItemName : item->m_strName;
        if (item->m_dwFlags && name.startsWith(m_strTypedAhead, Qt::CaseInsensitive)) {
            m_pList->SelectRow(row);
            return;
        }
    }
}
