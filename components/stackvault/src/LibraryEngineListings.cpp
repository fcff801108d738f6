// The listings interface of the library engine: each listing finds its ids
// on a worker with a connection of its own; the records of the rows asked
// for are read by id on the instance's connection, under its lock.
#include "LibraryEngine.h"

#include "FolderListing.h"
#include "LibraryChanges.h"
#include "LibrarySchema.h"
#include "NameBlocks.h"
#include "NameGrams.h"
#include "ReadTransaction.h"
#include "Utf16Text.h"

#include <algorithm>

namespace {

constexpr char kNothing[] = "SELECT 0 WHERE 0";

EntryKind EntryKindOf(LONG kind) { return kind == kListingFiles ? EntryKind::Files : EntryKind::Folders; }

LONG ListedKindOf(LONG kind) { return kind == kListingFiles ? kListedFiles : kListedFolders; }

} // namespace

HRESULT CLibraryEngine::StartListing(std::array<ListingStep, ListingWorker::kKinds> steps, LibraryListing* listing,
                                     std::array<int, ListingWorker::kKinds> totals)
{
    // The file this instance opened, whatever the environment says by now.
    auto worker = std::make_unique<ListingWorker>(m_db.FilePath(), std::move(steps), totals);
    *listing = m_listings.Add(std::move(worker));
    return S_OK;
}

HRESULT CLibraryEngine::OpenSearchListing(const char16_t* text, LibraryListing* listing)
{
    return OpenSearch(text, kListedFoldersAndFiles, false, listing);
}

HRESULT CLibraryEngine::OpenSearchEntries(const char16_t* text, LONG kinds, LibraryListing* listing)
{
    const LONG found = kinds & ~kListedPlacesOnly;
    if (found < kListedFolders || found > kListedFoldersAndFiles) return E_INVALIDARG;
    return OpenSearch(text, kinds, true, listing);
}

HRESULT CLibraryEngine::OpenSearch(const char16_t* text, LONG kinds, bool listed, LibraryListing* listing)
{
    if (!text || !listing) return E_POINTER;
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    // A reader of compact entries streams the whole listing; meanwhile this
    // connection reads only paths and discs, each page once. Mapped, each
    // such read would keep the file's pages around it resident (with large
    // pages in the system's file cache, tens of megabytes over a scan);
    // the mapping pays for records read by id again and again, the window's.
    if (listed) m_db.LimitMemory();
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty()) return StartListing({ListingStep{kNothing, {}}, ListingStep{kNothing, {}}}, listing);
    bool someHidden = true;
    hr = m_search.SomeDiscHidden(&someHidden);
    if (FAILED(hr)) return hr;
    auto bind = [folded](SqliteStatement& query) { NameSearch::BindFolded(query, folded); };
    // Folders are few and their entries need their own paths looked up: only
    // the files' entries are read with their ids.
    std::array<ListingStep, ListingWorker::kKinds> steps{
        ListingStep{m_search.IdsSql(EntryKind::Folders, folded, someHidden), bind},
        listed ? ListedFilesStep(folded, someHidden, (kinds & kListedPlacesOnly) != 0, bind)
               : ListingStep{m_search.IdsSql(EntryKind::Files, folded, someHidden), bind}};
    std::array<int, ListingWorker::kKinds> totals = CountedAhead(folded);
    // A kind left out is known to have none: its scan never runs.
    for (LONG kind : {kListingFolders, kListingFiles}) {
        if (kinds & ListedKindOf(kind)) continue;
        steps[size_t(kind)] = ListingStep{kNothing, {}};
        totals[size_t(kind)] = 0;
    }
    return StartListing(std::move(steps), listing, totals);
}

// The files' entries read as they are found; a scan of every file row (a
// short query) in slices, shared by two threads.
ListingStep CLibraryEngine::ListedFilesStep(const QByteArray& folded, bool someHidden, bool placesOnly,
                                            const std::function<void(SqliteStatement&)>& bind)
{
    // Places alone come from the files' name blocks where the library keeps them.
    if (placesOnly && LibrarySchema::ReadsNameBlocks(m_db)) {
        const std::string blocks = NameSearch::SlicedBlocksSql(folded, someHidden);
        if (!blocks.empty())
            return ListingStep{blocks, bind, true, NameBlocks::kFirstIdRangeSql, kFirstScanSliceIds, kScanSliceIds};
    }
    const std::string sliced = NameSearch::SlicedEntriesSql(EntryKind::Files, folded, someHidden, placesOnly);
    if (sliced.empty())
        return ListingStep{NameSearch::ListedEntriesSql(EntryKind::Files, folded, someHidden, placesOnly), bind, true};
    return ListingStep{sliced, bind, true, NameSearch::SlicedIdRangeSql(EntryKind::Files), kFirstScanSliceIds,
                       kScanSliceIds};
}

HRESULT CLibraryEngine::OpenFolderListing(LONG discId, LONG folderId, LibraryListing* listing)
{
    if (!listing) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    auto bind = [discId, folderId](SqliteStatement& query) {
        query.Bind(1, discId);
        query.Bind(2, folderId);
    };
    const bool spans = LibrarySchema::KeepsFileSpans(m_db);
    return StartListing({ListingStep{FolderListing::IdsSql(EntryKind::Folders, spans), bind},
                         ListingStep{FolderListing::IdsSql(EntryKind::Files, spans), bind}},
                        listing);
}

// Short queries are counted at once from the gram counts; the scan that
// finds their entries then stops as soon as it has them all.
std::array<int, ListingWorker::kKinds> CLibraryEngine::CountedAhead(const QByteArray& folded)
{
    std::array<int, ListingWorker::kKinds> totals{-1, -1};
    if (!NameGrams::Answers(folded)) return totals;
    LONG folders = 0, files = 0;
    if (NameGrams::Count(m_db, EntryKind::Folders, folded, &folders) == S_OK &&
        NameGrams::Count(m_db, EntryKind::Files, folded, &files) == S_OK)
        totals = {int(folders), int(files)};
    return totals;
}

HRESULT CLibraryEngine::WaitListing(LibraryListing listing, LONG rows, LONG timeoutMs, LibraryListingCounts* counts)
{
    if (!counts) return E_POINTER;
    ListingWorker* worker = nullptr;
    {
        Lock lock(m_mutex);
        worker = m_listings.Find(listing);
    }
    // Waiting happens without the instance's lock, so the records of rows
    // already found can be read meanwhile; only CloseListing (of the same
    // caller) ends a worker.
    return worker ? worker->Wait(rows, timeoutMs < 0 ? 0 : timeoutMs, counts) : E_INVALIDARG;
}

template <typename Fill>
HRESULT CLibraryEngine::WithListedIds(LibraryListing listing, LONG kind, LONG first, LONG count, Fill fill)
{
    if (kind != kListingFolders && kind != kListingFiles) return E_INVALIDARG;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    const ListingWorker* worker = m_listings.Find(listing);
    if (!worker) return E_INVALIDARG;
    const ReadTransaction reading(m_db);
    return fill(*worker, worker->Ids(kind, first, count));
}

HRESULT CLibraryEngine::GetListingItems(LibraryListing listing, LONG kind, LONG first, ItemRecord* records, LONG count,
                                        LONG* filled)
{
    if (!records || !filled) return E_POINTER;
    *filled = 0;
    return WithListedIds(listing, kind, first, count, [&](const ListingWorker&, const std::vector<int32_t>& ids) {
        const HRESULT hr = m_search.FillByIds(EntryKindOf(kind), ids, records);
        if (SUCCEEDED(hr)) *filled = LONG(ids.size());
        return hr;
    });
}

HRESULT CLibraryEngine::GetListedEntries(LibraryListing listing, LONG kind, LONG first, ListedEntry* entries,
                                         LONG count, char* names, LONG namesCapacity, LONG* filled)
{
    return ReadListedEntries(listing, kind, first, count, entries, names, namesCapacity, nullptr, filled);
}

HRESULT CLibraryEngine::GetTypedEntries(LibraryListing listing, LONG kind, LONG first, LONG count,
                                        ListedEntry* entries, char* names, LONG namesCapacity, uint32_t* typeEnds,
                                        char* types, LONG typesCapacity, LONG* filled)
{
    if (!typeEnds || !types) return E_POINTER;
    const NameSearch::ListedTypes listedTypes{typeEnds, types, size_t(std::max<LONG>(typesCapacity, 0))};
    return ReadListedEntries(listing, kind, first, count, entries, names, namesCapacity, &listedTypes, filled);
}

// The entries the listing's worker kept when it has them (they hold no
// types), else those read by id, with their types when asked for.
HRESULT CLibraryEngine::ReadListedEntries(LibraryListing listing, LONG kind, LONG first, LONG count,
                                          ListedEntry* entries, char* names, LONG namesCapacity,
                                          const NameSearch::ListedTypes* types, LONG* filled)
{
    if (!entries || !names || !filled) return E_POINTER;
    *filled = 0;
    const size_t capacity = size_t(std::max<LONG>(namesCapacity, 0));
    return WithListedIds(listing, kind, first, count, [&](const ListingWorker& worker, const std::vector<int32_t>& ids) {
        size_t done = types ? 0 : TakeListed(worker, kind, first, ids.size(), entries, names, capacity);
        if (done > 0) {
            *filled = LONG(done);
            return S_OK;
        }
        const HRESULT hr = m_search.FillListedByIds(EntryKindOf(kind), ids, entries, names, capacity, &done, types);
        if (FAILED(hr)) return hr;
        if (done == 0 && !ids.empty()) return E_OUTOFMEMORY; // not even the first entry fits
        *filled = LONG(done);
        return S_OK;
    });
}

// The entries the listing's worker kept, while the library is as the worker
// saw it (under the instance's read transaction).
size_t CLibraryEngine::TakeListed(const ListingWorker& worker, LONG kind, LONG first, size_t count,
                                  ListedEntry* entries, char* names, size_t namesCapacity)
{
    ListedEntryQueue* listed = worker.Listed();
    if (!listed || count == 0) return 0;
    const int64_t changes = LibraryChanges::Count(m_db);
    if (changes == LibraryChanges::kUnknown || changes != listed->ChangeCount()) {
        listed->ReleaseAll(); // rows may have gone or changed since: read by id
        return 0;
    }
    return listed->Take(int(kind), int(first), entries, count, names, namesCapacity);
}

HRESULT CLibraryEngine::CloseListing(LibraryListing listing)
{
    std::unique_ptr<ListingWorker> closing;
    {
        Lock lock(m_mutex);
        closing = m_listings.Take(listing);
    }
    return closing ? S_OK : E_INVALIDARG; // the worker stops as `closing` goes
}
