// CFileListView: what the user does with the list: open, go back, search,
// sort, delete a disc, the context menus and type-ahead.
#include "CFileListView.h"

#include "CAlbireoDoc.h"
#include "CFileListHost.h"
#include "CDiscLabelDlg.h"
#include "CFlwMessageBox.h"
#include "DiscDeleteCommand.h"
#include "DiscInfoCommand.h"
#include "DiscNameEdit.h"
#include "DiscTagList.h"
#include "ListSort.h"
#include "ListTexts.h"
#include "RecordList.h"
#include "WinControls.h"
#include "SkinMenu.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "TagText.h"

#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QTimer>

namespace {

const char* const kWarningIcon = "Image\\Dialogs\\MessageBox\\icon_warning.png";

QString Text(const char16_t* text) { return QString::fromUtf16(text); }
const char16_t* Utf16(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

} // namespace

// A disc row's disc, or the disc of a folder or file found; -1 for none.
int CFileListView::SelectedDiscId() const
{
    const CAlbDataItem* item = SelectedItem();
    if (!item || !item->m_dwFlags || m_pList->GetMode() == CAlbListCtrl::FolderContents) return -1;
    return item->m_nDiscId;
}

// Only from the disc list: the search results offer no deleting.
void CFileListView::DeleteSelectedDisc()
{
    if (!m_pEngine || m_pList->GetMode() != CAlbListCtrl::DiscList) return;
    const std::optional<DiscRecord> disc = SelectedDiscRecord();
    if (!disc) return;
    const int discId = disc->discId;
    // The question names the disc; No, the answer that loses nothing, is the default.
    const QString question =
        FormatString(IDS_FMT_DELETE_DISC_NAMED, {Text(disc->name), QLocale().toString(disc->fileCount)});
    const int answer = CFlwMessageBox::showMessage(question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2,
                                                   CFlwMessageBox::kCaptionId,
                                                   m_pHost ? m_pHost->MainWindow() : nullptr,
                                                   QString::fromLatin1(kWarningIcon));
    if (answer != IDYES) return;
    const QPointer<CFileListView> self(this);
    const HRESULT deleted = DiscDeleteCommand::Run(m_pEngine, discId, Text(disc->name),
                                                   m_pHost ? m_pHost->MainWindow() : this);
    if (!self) return;
    Checked(deleted);
    Reload(0);
    if (m_pHost) m_pHost->RefreshTags();
}

void CFileListView::RenameSelectedDisc()
{
    const CAlbDataItem* item = SelectedItem();
    if (!item || !item->IsDisc() || m_pList->GetMode() != CAlbListCtrl::DiscList) return;
    if (!DiscNameEdit::Available(m_pEngine)) return;
    m_pList->RenameRow(m_pList->SelectedRow());
}

bool CFileListView::RenameDisc(int row, const QString& typed)
{
    const CAlbDataItem* root = Root();
    const CAlbDataItem* item = root && m_pList->GetMode() == CAlbListCtrl::DiscList ? root->Child(row) : nullptr;
    if (!item || !item->IsDisc()) return false;
    const QString name = typed.trimmed();
    if (name == item->m_strName) return false;
    if (name.isEmpty()) {
        CFlwMessageBox::showMessage(IDS_MSG_NAME_EMPTY, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId,
                                    m_pHost ? m_pHost->MainWindow() : this);
        // Back where the user was: the name open again, once this editor has gone.
        QTimer::singleShot(0, this, [this, row] {
            m_pList->setFocus();
            m_pList->RenameRow(row);
        });
        return false;
    }
    if (FAILED(Checked(DiscNameEdit::Set(m_pEngine, item->m_nDiscId, name)))) return false;
    // The list is read again once the editor has gone: the row keeps its
    // place in the sort order the user chose, and the selection.
    QTimer::singleShot(0, this, [this] { Reload(0); });
    return true;
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
    const CAlbDataItem* item = SelectedItem();
    const std::optional<DiscRecord> disc = SelectedDiscRecord();
    if (!disc || !m_pEngine || !item->IsDisc()) return;
    DiscInfoInput input;
    input.discId = disc->discId;
    input.name = Text(disc->name);
    input.typeText = ListTexts::DiscTypeText(disc->mediaClass, disc->formatCode);
    input.sizeText = ListTexts::SizeText(disc->totalSize);
    input.dateText = ListTexts::DiscDateText(Text(disc->dateText));
    input.labelId = disc->labelId;
    input.tagIds = DiscTagList::Read(m_pEngine, *disc).text;
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
        // A list the record cut is never written back: a cut inside a
        // number would attach another tag.
        const DiscTagList::Ids ids = DiscTagList::Read(m_pEngine, disc);
        if (!ids.whole) continue;
        QList<int> kept;
        for (int id : TagText::SplitIds(ids.text))
            if (existing.contains(id)) kept << id;
        const QString purged = TagText::JoinIds(kept);
        if (purged == ids.text) continue;
        Checked(m_pEngine->SetDiscTags(disc.discId, Utf16(purged)));
        const qsizetype length = std::min<qsizetype>(purged.size(), kLibraryTextLength - 1);
        std::fill(std::begin(disc.tagIds), std::end(disc.tagIds), u'\0');
        std::copy_n(Utf16(purged), length, disc.tagIds);
    }
    m_discs = m_discsCopy;
}

void CFileListView::ShowContextMenu(const QPoint& globalPosition)
{
    const CAlbDataItem* item = SelectedItem();
    const int mode = m_pList->GetMode();
    if (!item || mode == CAlbListCtrl::FolderContents || !item->m_dwFlags) return;
    const bool disc = item->IsDisc();
    const std::optional<ResourceMenu> menu = LoadMenu(disc ? IDR_DISC_MENU : IDR_ITEM_MENU);
    const ResourceMenuItem* popup = menu ? menu->Popup(0) : nullptr;
    if (!popup) return;
    std::vector<ResourceMenuItem> items = popup->children;
    // Deleting and renaming in place are the disc list's.
    if (mode == CAlbListCtrl::SearchResults && disc) items = WithoutCommand(WithoutCommand(items, ID_DISC_DELETE), ID_DISC_RENAME);
    if (!DiscNameEdit::Available(m_pEngine)) items = WithoutCommand(items, ID_DISC_RENAME);
    QMenu context(m_pHost ? m_pHost->MainWindow() : this);
    context.setStyleSheet(SkinMenu::StyleSheet());
    // The command runs once the menu has gone and the list has the focus
    // again (a name edited in place would lose it to the closing menu).
    UINT chosen = 0;
    SkinMenu::Fill(&context, items, [&chosen](UINT id) { chosen = id; });
    context.exec(globalPosition);
    if (chosen) OnCommand(chosen);
}

BOOL CFileListView::OnCommand(UINT id)
{
    switch (id) {
    case ID_ALB_BACK: Back(); return TRUE;
    case ID_DISC_BROWSE: BrowseSelectedDisc(); return TRUE;
    case ID_DISC_DELETE: DeleteSelectedDisc(); return TRUE;
    case ID_DISC_RENAME: RenameSelectedDisc(); return TRUE;
    case ID_DISC_INFO: ShowDiscInformation(); return TRUE;
    case ID_DISC_LABEL: ShowDiscLabel(); return TRUE;
    case ID_ALB_IMPORT: // the import is started by its own handler
    case ID_ALB_REFRESH:
    case ID_ALB_LARGE_ICONS:
    case ID_ALB_SEARCH: return TRUE;
    default: return FALSE;
    }
}

void CFileListView::SortByColumn(int column)
{
    m_pList->clearSelection();
    m_nRowToSelect = -1;
    if (m_pList->GetMode() == CAlbListCtrl::SearchResults) return;
    SortRows(column, ListSort::NextDirection(Root(), column));
}

void CFileListView::SortRows(int column, int direction)
{
    if (m_listing && SUCCEEDED(m_listed.failure)) {
        SortListing(column, direction);
        return;
    }
    StopSorting();
    ListSort::SortInDirection(Root(), m_pList->GetMode(), column, direction);
    // Rows a failed listing could not read are gone from the sorted list.
    OnUpdate(nullptr, CAlbireoDoc::kHintListChanged, nullptr);
    m_pList->Model()->Refresh();
}

void CFileListView::SelectWhenListed(int row)
{
    m_nRowToSelect = row;
    SelectPendingRow();
}

void CFileListView::SelectPendingRow()
{
    if (m_nRowToSelect < 0 || IsSorting()) return;
    const int rows = m_pList->Model()->rowCount();
    if (m_nRowToSelect >= rows && IsListing()) return; // selected once found
    if (rows > 0) m_pList->SelectRow(std::min(m_nRowToSelect, rows - 1));
    m_nRowToSelect = -1;
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
        if (!item) continue; // found by a search, not read yet
        const QString& name = search ? item->m_strItemName : item->m_strName;
        if (item->m_dwFlags && name.startsWith(m_strTypedAhead, Qt::CaseInsensitive)) {
            m_pList->SelectRow(row);
            return;
        }
    }
}
