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
#include "ILibraryListings.h"

#include <vector>

class ListingReader {
public:
    static constexpr int kBlock = 1024;

    // Takes over an open listing; closes it when destroyed.
    ListingReader(ILibraryListings* listings, LibraryListing listing);
    ~ListingReader();
    ListingReader(const ListingReader&) = delete;
    ListingReader& operator=(const ListingReader&) = delete;

    // The engine's listings interface, or null when it has none.
    static ComPtr<ILibraryListings> ListingsOf(ILibraryEngine* library);

    // The next block of entries of one kind: S_OK with at least one
    // record, S_FALSE at the end of that kind, or the failure. Records of
    // entries whose disc was deleted meanwhile have id 0.
    HRESULT Next(LONG kind, std::vector<ItemRecord>& block);
    // Waits until the counts of folders and files are final (at once for
    // searches counted ahead) and gives them.
    HRESULT FinalCounts(LibraryListingCounts* counts);

private:
    HRESULT Wait(LONG rows, LibraryListingCounts* counts);
    bool KindDone(LONG kind, const LibraryListingCounts& counts) const;
    HRESULT AwaitFolderTotal();

    ILibraryListings* m_pListings;
    LibraryListing m_listing;
    LONG m_next[2] = {0, 0};
    LONG m_folderTotal = -1; // known once every folder is found
};
