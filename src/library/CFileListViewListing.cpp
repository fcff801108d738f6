// CFileListView: search results and folder contents. With the engine's
// listings the first screen is shown as soon as it is found and the rest
// arrives while the user looks at it; rows are made a block at a time when
// they are first painted. An engine without listings is read whole, as
// before, into the same rows.
#include "CFileListView.h"

#include "CAlbDataItem.h"
#include "CAlbireoDoc.h"
#include "CFileListHost.h"
#include "ListSort.h"
#include "ListTexts.h"
#include "ListingSortJob.h"
#include "RecordList.h"
#include "ResourceIds.h"
#include "StringResources.h"


namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }
const char16_t* Utf16(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

// The type column's text, with the table's words for a folder and a file.
QString TypeText(const QString& type, bool folder, const QString& folderText, const QString& fileText)
{
    return folder ? folderText : type == u"File" ? fileText : type;
}

QString TypeText(const QString& type, bool folder)
{
    return TypeText(type, folder, LoadString(IDS_FOLDER), LoadString(IDS_FILE));
}

// What a folder entry is sorted by, as FolderEntry shows it; the table's
// words are read before, so that this runs on any thread.
void AddEntryFields(const ListingFieldsReader::Fields& entry, const QString& folderText, const QString& fileText,
                    SortEntries& entries)
{
    const bool folder = entry.type == u"Folder";
    const QStringView typeText = folder ? QStringView(folderText) : entry.type == u"File" ? QStringView(fileText) : entry.type;
    entries.Add(folder ? CAlbDataItem::kContainer : CAlbDataItem::kFile, entry.name, {}, typeText,
                entry.time >= 0 ? QString() : ListTexts::DateText(entry.time), entry.time, entry.size);
}

// Rows of a group: its header and its members, none when it is empty.
int GroupRows(int members) { return members > 0 ? members + 1 : 0; }

} // namespace

void CFileListView::SearchRowOf(int row, int discs, int folders, int files, int* kind, int* index)
{
    int first = 0;
    const int groups[3][2] = {{discs, DiscHeader}, {folders, FolderHeader}, {files, FileHeader}};
    for (const auto& group : groups) {
        if (group[0] < 1) continue;
        if (row == first) {
            *kind = group[1];
            *index = -1;
            return;
        }
        if (row <= first + group[0]) {
            *kind = group[1] + 1;
            *index = row - first - 1;
            return;
        }
        first += group[0] + 1;
    }
    *kind = 0;
    *index = -1;
}

void CFileListView::Search(const QString& text)
{
    if (!m_pEngine) return;
    if (m_pHost) m_pHost->ClearTagFilter();
    m_history.Reset(BrowseHistory::Origin::SearchResults, text);
    m_strShownSearch = text;
    ResetList(CAlbListCtrl::SearchResults);
    UpdateCommandButtons();
    const char16_t* query = Utf16(text);
    m_foundDiscRecs = ReadRecordList<DiscRecord>([&](LONG* n) { return Checked(m_pEngine->SearchDiscCount(query, n)); },
                                                 [&](DiscRecord* r, LONG n) { return Checked(m_pEngine->SearchDiscs(query, r, n)); });
    LibraryListing listing = nullptr;
    if (m_pListings && SUCCEEDED(Checked(m_pListings->OpenSearchListing(query, &listing)))) {
        StartListing(listing);
    } else {
        m_foundFolderRecs = ReadRecordList<ItemRecord>(
            [&](LONG* n) { return Checked(m_pEngine->SearchFolderCount(query, n)); },
            [&](ItemRecord* r, LONG n) { return Checked(m_pEngine->SearchFolders(query, r, n)); });
        m_foundFileRecs = ReadRecordList<ItemRecord>([&](LONG* n) { return Checked(m_pEngine->SearchFileCount(query, n)); },
                                                     [&](ItemRecord* r, LONG n) { return Checked(m_pEngine->SearchFiles(query, r, n)); });
        m_listed = {int32_t(m_foundFolderRecs.size()), int32_t(m_foundFileRecs.size()), 1, 0, 1, 0};
    }
    ShowSearchRows();
    emit searchRan(text);
}

void CFileListView::ShowSearchRows()
{
    CAlbDataItem* root = Root();
    if (!root) return;
    m_searchThumbs.clear();
    m_searchThumbIndex.clear();
    root->SetChildMaker([this](int first, int count, auto& made) { MakeSearchRows(first, count, made); },
                        ListedRowCount());
    m_pList->SetImageList(&m_searchThumbs, QSize(kThumbSide, kThumbSide));
    OnUpdate(nullptr, CAlbireoDoc::kHintListChanged, nullptr);
    MarkSearchHeaders();
}

// The header rows, known from the counts before the rows are made.
void CFileListView::MarkSearchHeaders()
{
    const int discRows = GroupRows(int(m_foundDiscRecs.size()));
    const int folderRows = GroupRows(m_listed.folders);
    if (discRows) m_pList->SetHeaderRow(0, kHeaderColour);
    if (folderRows) m_pList->SetHeaderRow(discRows, kHeaderColour);
    if (m_listed.files) m_pList->SetHeaderRow(discRows + folderRows, kHeaderColour);
}

int CFileListView::SearchThumb(int labelId)
{
    const auto found = m_searchThumbIndex.constFind(labelId);
    if (found != m_searchThumbIndex.constEnd()) return *found;
    const QPixmap thumb = Thumbnail(labelId);
    int index = -1;
    if (!thumb.isNull()) {
        m_searchThumbs.push_back(thumb);
        index = int(m_searchThumbs.size()) - 1;
    }
    m_searchThumbIndex.insert(labelId, index);
    return index;
}

std::unique_ptr<CAlbDataItem> CFileListView::SearchHeader(UINT textId)
{
    auto header = std::make_unique<CAlbDataItem>(-1, -1, -1, QString(), QString(), QString(), QString(), 0, -1);
    header->m_strItemName = LoadString(textId);
    return header;
}

std::unique_ptr<CAlbDataItem> CFileListView::SearchItem(const ItemRecord& record, bool folder)
{
    auto item = std::make_unique<CAlbDataItem>(SearchThumb(record.labelId), record.discId, record.id,
                                               Text(record.discName), QString(), TypeText(Text(record.type), folder),
                                               ListTexts::DateText(record.time),
                                               folder ? CAlbDataItem::kContainer : CAlbDataItem::kFile, record.size);
    item->m_strItemName = Text(record.name);
    item->m_dwWord1 = DWORD(record.pathId);
    item->m_nTime = record.time;
    item->m_strText2 = FoundLocation(*item);
    return item;
}

// Where a hit lives, as the location text names an opened folder: the
// disc's name, then the path on the disc ("\Holiday 2024\DCIM\IMG_4001.JPG").
QString CFileListView::FoundLocation(const CAlbDataItem& item) const
{
    char16_t path[MAX_PATH] = {};
    if (FAILED(m_pEngine->GetPathText(LONG(item.m_dwWord1), path))) return item.m_strName;
    QString location = u'\\' + item.m_strName + Text(path);
    if (item.IsFile()) location += u'\\' + item.m_strItemName;
    return location;
}

// Rows in order: the discs found (read whole: a library has few), then the
// folders, then the files; each group under its header.
void CFileListView::MakeSearchRows(int first, int count, std::vector<std::unique_ptr<CAlbDataItem>>& made)
{
    const int discs = int(m_foundDiscRecs.size());
    for (int row = first; row < first + count;) {
        int kind = 0, index = -1;
        SearchRowOf(row, discs, m_listed.folders, m_listed.files, &kind, &index);
        if (kind == DiscHeader || kind == FolderHeader || kind == FileHeader) {
            made.push_back(SearchHeader(kind == DiscHeader ? IDS_COL_DISC : kind == FolderHeader ? IDS_FOLDER : IDS_FILE));
            ++row;
        } else if (kind == DiscRow) {
            const DiscRecord& disc = m_foundDiscRecs[size_t(index)];
            made.push_back(DiscItem(disc, SearchThumb(disc.labelId)));
            ++row;
        } else if (kind == FolderRow || kind == FileRow) {
            // The rest of this group in one read.
            const bool folder = kind == FolderRow;
            const int members = folder ? m_listed.folders : m_listed.files;
            const int wanted = std::min(first + count - row, members - index);
            const std::vector<ItemRecord> records = ListedItems(folder ? kListingFolders : kListingFiles, index, wanted);
            for (const ItemRecord& record : records) made.push_back(SearchItem(record, folder));
            if (int(records.size()) < wanted) return; // not readable now; asked for again when painted
            row += wanted;
        } else {
            return;
        }
    }
}

void CFileListView::ShowFolder(int discId, int folderId)
{
    ClearRows();
    m_nCurrentDisc = discId;
    m_nCurrentFolder = folderId;
    m_fileIcons.Clear();
    LibraryListing listing = nullptr;
    if (m_pListings && SUCCEEDED(Checked(m_pListings->OpenFolderListing(discId, folderId, &listing)))) {
        StartListing(listing);
    } else {
        m_folderEntries = ReadRecordList<FolderItemRecord>(
            [&](LONG* n) { return Checked(m_pEngine->GetFolderItemCount(discId, folderId, n)); },
            [&](FolderItemRecord* records, LONG n) { return Checked(m_pEngine->GetFolderItems(discId, folderId, records, n)); });
        m_listed = {0, int32_t(m_folderEntries.size()), 1, 0, 1, 0};
    }
    if (CAlbDataItem* root = Root())
        root->SetChildMaker([this](int first, int count, auto& made) { MakeFolderRows(first, count, made); },
                            ListedRowCount());
    m_pList->SetImageList(&m_fileIcons.Images(), QSize(kIconSide, kIconSide));
    OnUpdate(nullptr, CAlbireoDoc::kHintListChanged, nullptr);
}

template <class Record>
std::unique_ptr<CAlbDataItem> CFileListView::FolderEntry(const Record& record)
{
    const QString name = Text(record.name);
    const QString type = Text(record.type);
    const bool folder = type == u"Folder";
    const int image = m_fileIcons.IndexOf(FileIconCache::KeyOf(name, folder), name, folder);
    auto entry = std::make_unique<CAlbDataItem>(image, m_nCurrentDisc, record.id, name, QString(), TypeText(type, folder),
                                                ListTexts::DateText(record.time),
                                                folder ? CAlbDataItem::kContainer : CAlbDataItem::kFile, record.size);
    entry->m_nTime = record.time;
    return entry;
}

// A listed folder's rows are its folders, then its files; a folder read
// whole is one list (counted as files).
void CFileListView::MakeFolderRows(int first, int count, std::vector<std::unique_ptr<CAlbDataItem>>& made)
{
    if (!m_listing) {
        for (int row = first; row < first + count && row < int(m_folderEntries.size()); ++row)
            made.push_back(FolderEntry(m_folderEntries[size_t(row)]));
        return;
    }
    for (int row = first; row < first + count;) {
        const bool folder = row < m_listed.folders;
        const int index = folder ? row : row - m_listed.folders;
        const int wanted = std::min(first + count, folder ? m_listed.folders : first + count) - row;
        const std::vector<ItemRecord> records = ListedItems(folder ? kListingFolders : kListingFiles, index, wanted);
        for (const ItemRecord& record : records) made.push_back(FolderEntry(record));
        if (int(records.size()) < wanted) return;
        row += wanted;
    }
}

std::vector<ItemRecord> CFileListView::ListedItems(int kind, int first, int count) const
{
    if (!m_listing) {
        const std::vector<ItemRecord>& whole = kind == kListingFolders ? m_foundFolderRecs : m_foundFileRecs;
        if (first < 0 || first >= int(whole.size())) return {};
        const auto begin = whole.begin() + first;
        return {begin, begin + std::min<ptrdiff_t>(count, whole.end() - begin)};
    }
    std::vector<ItemRecord> records(size_t(std::max(0, count)));
    LONG filled = 0;
    if (count <= 0 || FAILED(Checked(m_pListings->GetListingItems(m_listing, kind, first, records.data(), count, &filled))))
        filled = 0;
    records.resize(size_t(filled));
    return records;
}

int CFileListView::ListedRowCount() const
{
    if (m_pList->GetMode() == CAlbListCtrl::SearchResults)
        return GroupRows(int(m_foundDiscRecs.size())) + GroupRows(m_listed.folders) + GroupRows(m_listed.files);
    return m_listed.folders + m_listed.files;
}

void CFileListView::StartListing(LibraryListing listing)
{
    m_listing = listing;
    m_listed = {};
    m_pListings->WaitListing(m_listing, kFirstScreenRows, kFirstScreenWaitMs, &m_listed);
    if (m_listed.complete || FAILED(m_listed.failure)) FinishListing();
    else m_listingTimer.start(kListingPollMs);
}

// The rows found since are added at the end; what is shown stays in place.
void CFileListView::PollListing()
{
    if (!m_listing) return;
    const HRESULT hr = m_pListings->WaitListing(m_listing, 0, 0, &m_listed);
    // The listing is gone (its library was closed under it): it ends here.
    if (FAILED(hr) && SUCCEEDED(m_listed.failure)) m_listed.failure = hr;
    const int rows = ListedRowCount();
    if (CAlbDataItem* root = Root(); root && rows > root->ChildCount()) {
        root->GrowChildCount(rows);
        m_pList->Model()->GrowItemCount(rows);
        if (m_pList->GetMode() == CAlbListCtrl::SearchResults) MarkSearchHeaders();
    } else if (m_listed.counted) {
        // Counted ahead: rows shown blank until found are asked for again.
        m_pList->Model()->Refresh();
    }
    if (m_listed.complete || FAILED(m_listed.failure)) FinishListing();
    SelectPendingRow();
}

void CFileListView::FinishListing()
{
    m_listingTimer.stop();
    Checked(m_listed.failure);
}

void CFileListView::SortListing(int column, int direction)
{
    StopSorting();
    const bool sortable = ListSort::SetDirection(Root(), m_pList->GetMode(), column, direction) != 0;
    ShowSortDirections();
    if (!sortable) return;
    const int serial = ++m_nSortSerial;
    auto addEntry = [folderText = LoadString(IDS_FOLDER), fileText = LoadString(IDS_FILE)](
                        const ListingFieldsReader::Fields& entry, SortEntries& entries) {
        AddEntryFields(entry, folderText, fileText, entries);
    };
    m_sortJob = std::make_unique<ListingSortJob>(
        ListingSortJob::Source{m_pListings, m_pListedTypes.Get()}, m_listing,
        ListingSortJob::Sort{m_pList->GetMode(), column, direction}, m_sortFields,
        std::move(addEntry), this, [this, serial](std::vector<int> order, ListingSortJob::Fields fields) {
            if (serial != m_nSortSerial) return;
            m_sortFields = std::move(fields);
            ApplySortOrder(std::move(order));
        });
}

void CFileListView::ApplySortOrder(std::vector<int> order)
{
    PollListing(); // the listing has ended: every row exists before it is placed
    m_finishedSortJob = std::move(m_sortJob);
    m_pList->clearSelection();
    if (FAILED(m_listed.failure)) {
        // It failed before every entry was read: the rows it could read are sorted.
        const int column = ListSort::SortedColumn(Root());
        SortRows(column, ListSort::Direction(Root(), column));
    } else if (CAlbDataItem* root = Root()) {
        root->SetChildOrder(std::move(order));
        m_pList->Model()->Refresh();
    }
    SelectPendingRow();
}

void CFileListView::StopSorting()
{
    m_sortJob.reset();
    m_finishedSortJob.reset();
    ++m_nSortSerial;
}

void CFileListView::CloseListing()
{
    StopSorting(); // an order on its way belongs to rows that are gone
    m_sortFields = {};
    m_listingTimer.stop();
    if (m_listing) m_pListings->CloseListing(m_listing);
    m_listing = nullptr;
    m_listed = {};
    m_foundFolderRecs.clear();
    m_foundFileRecs.clear();
    m_folderEntries.clear();
}
