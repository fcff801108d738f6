#include "ListingReader.h"

#include <limits>

ListingReader::ListingReader(ILibraryListings* listings, LibraryListing listing)
    : m_pListings(listings), m_listing(listing)
{
}

ListingReader::~ListingReader()
{
    if (m_pListings && m_listing) m_pListings->CloseListing(m_listing);
}

ComPtr<ILibraryListedEntries> ListingReader::ListedEntriesOf(ILibraryEngine* library)
{
    ComPtr<ILibraryListedEntries> compact;
    if (library && FAILED(library->QueryInterface(IID_ILibraryListedEntries, compact.PutVoid()))) compact.Reset();
    return compact;
}

ComPtr<ILibraryListings> ListingReader::ListingsOf(ILibraryEngine* library)
{
    ComPtr<ILibraryListings> listings;
    if (library && FAILED(library->QueryInterface(IID_ILibraryListings, listings.PutVoid()))) listings.Reset();
    return listings;
}

HRESULT ListingReader::Wait(LONG rows, LibraryListingCounts* counts, LONG timeoutMs)
{
    *counts = {};
    const HRESULT hr = m_pListings->WaitListing(m_listing, rows, timeoutMs, counts);
    if (FAILED(hr)) return hr;
    return FAILED(counts->failure) ? counts->failure : hr;
}

// A kind has no more entries once the listing is complete, once as many
// were read as were counted ahead, or (folders) once files are being found.
bool ListingReader::KindDone(LONG kind, const LibraryListingCounts& counts) const
{
    if (counts.complete) return true;
    if (counts.counted) return m_next[kind] >= (kind == kListingFiles ? counts.files : counts.folders);
    return kind == kListingFolders && counts.files > 0;
}

HRESULT ListingReader::AwaitFolderTotal()
{
    LibraryListingCounts counts{};
    for (LONG found = 0;; found = counts.folders) {
        // Wakes with each folder found after those seen, or when files come.
        const HRESULT hr = Wait(found + 1, &counts);
        if (FAILED(hr)) return hr;
        if (counts.counted || counts.complete || counts.files > 0) break;
    }
    m_folderTotal = counts.folders;
    return S_OK;
}

HRESULT ListingReader::Next(LONG kind, std::vector<ItemRecord>& block)
{
    return NextBlock(kind, [&](LONG first, LONG* filled) {
        block.resize(kBlock); // every record handed out is filled whole by the engine
        const HRESULT hr = m_pListings->GetListingItems(m_listing, kind, first, block.data(), kBlock, filled);
        block.resize(SUCCEEDED(hr) ? size_t(*filled) : 0);
        return hr;
    });
}

HRESULT ListingReader::Next(ILibraryListedEntries* compact, LONG kind, ListedBlock& block,
                            const std::function<bool()>& beforeWait)
{
    return NextBlock(kind, [&](LONG first, LONG* filled) {
        block.first = first;
        block.entries.resize(kListedBlock);
        block.names.resize(kBlockNames);
        const HRESULT hr = compact->GetListedEntries(m_listing, kind, first, block.entries.data(), kListedBlock,
                                                     block.names.data(), LONG(block.names.size()), filled);
        block.entries.resize(SUCCEEDED(hr) ? size_t(*filled) : 0);
        return hr;
    }, beforeWait);
}

HRESULT ListingReader::Item(LONG kind, LONG index, ItemRecord* record)
{
    *record = ItemRecord{};
    LONG filled = 0;
    return m_pListings->GetListingItems(m_listing, kind, index, record, 1, &filled);
}

HRESULT ListingReader::NextBlock(LONG kind, const std::function<HRESULT(LONG first, LONG* filled)>& read,
                                 const std::function<bool()>& beforeWait)
{
    // Files follow every folder: the caller is told before that wait too.
    if (kind == kListingFiles && m_folderTotal < 0) {
        if (beforeWait && !beforeWait()) return E_ABORT;
        const HRESULT hr = AwaitFolderTotal();
        if (FAILED(hr)) return hr;
    }
    // With `beforeWait`, the first look does not wait, so that the caller
    // is told only when the next entries are not there yet.
    for (bool waiting = !beforeWait;; waiting = true) {
        LibraryListingCounts counts{};
        const LONG before = kind == kListingFiles ? m_folderTotal : 0;
        HRESULT hr = Wait(before + m_next[kind] + 1, &counts, waiting ? kWaitMs : 0);
        if (FAILED(hr)) return hr;
        LONG filled = 0;
        hr = read(m_next[kind], &filled);
        if (FAILED(hr)) return hr;
        m_next[kind] += filled;
        if (filled > 0) return S_OK;
        if (KindDone(kind, counts)) {
            if (kind == kListingFolders) m_folderTotal = m_next[kind];
            return S_FALSE;
        }
        if (!waiting && !beforeWait()) return E_ABORT;
    }
}

HRESULT ListingReader::FinalCounts(LibraryListingCounts* counts)
{
    // Counts known ahead are there at once; others once every entry is found.
    for (LONG rows = 0;; rows = std::numeric_limits<LONG>::max()) {
        const HRESULT hr = Wait(rows, counts);
        if (FAILED(hr)) return hr;
        if (counts->counted) return S_OK;
    }
}
