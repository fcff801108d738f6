// Reads one of the engine's listings (ILibraryListings) from start to end,
// a block of records at a time, in the listing's order: all folders, then
// all files. Memory stays that of one block however many entries the
// listing finds; closing the reader stops the engine's worker at once.
//
//     ListingReader reader(listings, listing);
//     std::vector<ItemRecord> block;
//     while (reader.Next(kListingFolders, block) == S_OK) ... ;
//     while (reader.Next(kListingFiles, block) == S_OK) ... ;
#pragma once
#include "ComPtr.h"
#include "ILibraryListedEntries.h"
#include "ILibraryListings.h"

#include <functional>
#include <string_view>
#include <vector>

// A block of a listing's entries in the compact form (ILibraryListedEntries).
struct ListedBlock {
    LONG first = 0; // the listing's index of entries[0]
    std::vector<ListedEntry> entries;
    std::vector<char> names;

    std::string_view Name(const ListedEntry& entry) const
    {
        return std::string_view(names.data() + entry.nameOffset, entry.nameBytes);
    }
};

class ListingReader {
public:
    static constexpr int kBlock = 1024;
    // Compact entries are small: a block of them is larger, so that a reader
    // of millions asks the engine fewer times.
    static constexpr int kListedBlock = 4096;
    static constexpr int kBlockNames = 1024 * 1024; // bytes: a block of long names fits
    // Long enough not to spin, short enough that nothing waits on it.
    static constexpr LONG kWaitMs = 500;

    // Takes over an open listing; closes it when destroyed.
    ListingReader(ILibraryListings* listings, LibraryListing listing);
    ~ListingReader();
    ListingReader(const ListingReader&) = delete;
    ListingReader& operator=(const ListingReader&) = delete;

    // The engine's listings interface, or null when it has none.
    static ComPtr<ILibraryListings> ListingsOf(ILibraryEngine* library);
    // The engine's compact listing entries, or null when it has none.
    static ComPtr<ILibraryListedEntries> ListedEntriesOf(ILibraryEngine* library);

    // The next block of entries of one kind: S_OK with at least one
    // record, S_FALSE at the end of that kind, or the failure. Records of
    // entries whose disc was deleted meanwhile have id 0.
    HRESULT Next(LONG kind, std::vector<ItemRecord>& block);
    // The same in the compact form, from the engine's `compact` interface.
    // `beforeWait`, when given, is called each time the next entries are not
    // found yet, before the reader waits for them (a printer hands what it
    // printed so far to its reader there); when it gives false, Next gives
    // E_ABORT at once.
    HRESULT Next(ILibraryListedEntries* compact, LONG kind, ListedBlock& block,
                 const std::function<bool()>& beforeWait = {});
    // The whole record of one entry (by its index in the listing).
    HRESULT Item(LONG kind, LONG index, ItemRecord* record);
    // Waits until the counts of folders and files are final (at once for
    // searches counted ahead) and gives them.
    HRESULT FinalCounts(LibraryListingCounts* counts);

private:
    HRESULT Wait(LONG rows, LibraryListingCounts* counts, LONG timeoutMs = kWaitMs);
    bool KindDone(LONG kind, const LibraryListingCounts& counts) const;
    HRESULT AwaitFolderTotal();
    // The next block of a kind, read by read(first, &filled); see Next for `beforeWait`.
    HRESULT NextBlock(LONG kind, const std::function<HRESULT(LONG first, LONG* filled)>& read,
                      const std::function<bool()>& beforeWait = {});

    ILibraryListings* m_pListings;
    LibraryListing m_listing;
    LONG m_next[2] = {0, 0};
    LONG m_folderTotal = -1; // known once every folder is found
};
