// The listings interface of the engine on the server: each listing finds
// its ids on a worker with a connection of its own; the records of the
// rows asked for are read by id on the instance's connection, under its lock.
#include "PgLibraryEngine.h"

#include "PgFolderListing.h"
#include "PgNameSearch.h"
#include "Utf16Text.h"

namespace {
constexpr char kNothing[] = "SELECT 0 WHERE false";
constexpr qsizetype kShownPaths = 4096;

PgEntryKind EntryKindOf(LONG kind) { return kind == kListingFiles ? PgEntryKind::Files : PgEntryKind::Folders; }
} // namespace

HRESULT CPgLibraryEngine::StartListing(std::array<PgListingStep, PgListingWorker::kKinds> steps,
                                       LibraryListing* listing, std::array<int, PgListingWorker::kKinds> totals)
{
    // The library this instance opened, whatever the environment says by now.
    auto worker = std::make_unique<PgListingWorker>(m_db.Address(), m_spare, std::move(steps), totals);
    *listing = m_listings.Add(std::move(worker));
    return S_OK;
}

HRESULT CPgLibraryEngine::OpenSearchListing(const char16_t* text, LibraryListing* listing)
{
    if (!text || !listing) return E_POINTER;
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty()) return StartListing({PgListingStep{kNothing, {}}, PgListingStep{kNothing, {}}}, listing);
    // Short queries are counted at once from the gram tallies; the scan that
    // finds their entries then stops as soon as it has them all.
    std::array<int, PgListingWorker::kKinds> totals{-1, -1};
    const PgNameSearch::GramCounts kept = TakeKeptGramCounts(text);
    LONG folders = kept.folders, files = kept.files;
    if (kept.counted ||
        (PgNameSearch::Tallied(folded) && SUCCEEDED(PgNameSearch::CountGrams(m_db, folded, &folders, &files))))
        totals = {int(folders), int(files)};
    const QByteArray argument = PgNameSearch::Argument(folded);
    return StartListing({PgListingStep{PgNameSearch::IdsSql(PgEntryKind::Folders, folded), PgParams().Utf8(argument)},
                         PgListingStep{PgNameSearch::IdsSql(PgEntryKind::Files, folded), PgParams().Utf8(argument)}},
                        listing, totals);
}

// The gram counts the search's SearchDiscCount read for the same text, once.
PgNameSearch::GramCounts CPgLibraryEngine::TakeKeptGramCounts(const char16_t* text)
{
    if (!m_foundDiscs.grams.counted || m_foundDiscs.text != Utf16Text::ToQString(Utf16Text::View(text))) return {};
    return std::exchange(m_foundDiscs.grams, {});
}

HRESULT CPgLibraryEngine::OpenFolderListing(LONG discId, LONG folderId, LibraryListing* listing)
{
    if (!listing) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    return StartListing({PgListingStep{PgFolderListing::IdsSql(PgEntryKind::Folders), PgParams().Int(discId).Int(folderId)},
                         PgListingStep{PgFolderListing::IdsSql(PgEntryKind::Files), PgParams().Int(discId).Int(folderId)}},
                        listing);
}

HRESULT CPgLibraryEngine::WaitListing(LibraryListing listing, LONG rows, LONG timeoutMs, LibraryListingCounts* counts)
{
    if (!counts) return E_POINTER;
    PgListingWorker* worker = nullptr;
    {
        Lock lock(m_mutex);
        worker = m_listings.Find(listing);
    }
    // Waiting happens without the instance's lock; only CloseListing (of
    // the same caller) ends a worker.
    return worker ? worker->Wait(rows, timeoutMs < 0 ? 0 : timeoutMs, counts) : E_INVALIDARG;
}

HRESULT CPgLibraryEngine::GetListingItems(LibraryListing listing, LONG kind, LONG first, ItemRecord* records,
                                          LONG count, LONG* filled)
{
    if (!records || !filled) return E_POINTER;
    if (kind != kListingFolders && kind != kListingFiles) return E_INVALIDARG;
    *filled = 0;
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    const PgListingWorker* worker = m_listings.Find(listing);
    if (!worker) return E_INVALIDARG;
    const std::vector<int32_t> ids = worker->Ids(kind, first, count);
    // The rows shown mostly share few folders; the memo stays small.
    if (m_shownPaths.size() > kShownPaths) m_shownPaths.clear();
    hr = PgNameSearch::FillByIds(m_db, EntryKindOf(kind), ids, records, m_shownPaths);
    if (SUCCEEDED(hr)) *filled = LONG(ids.size());
    return hr;
}

HRESULT CPgLibraryEngine::CloseListing(LibraryListing listing)
{
    std::unique_ptr<PgListingWorker> closing;
    {
        Lock lock(m_mutex);
        closing = m_listings.Take(listing);
    }
    return closing ? S_OK : E_INVALIDARG; // the worker stops as `closing` goes
}
