// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryListings): long lists read a screen at a time. A search
// can find hundreds of thousands of names and a folder can hold as many
// entries; reading every record before showing the first costs seconds and
// megabytes. A listing finds its entries on a worker of its own, in the
// order the whole-list calls give them (SearchFolders then SearchFiles;
// GetFolderItems), and hands out the records of any range found so far.
// An engine without it still serves the program through the whole-list
// calls.
//
//     OpenSearchListing(text, &listing);        // or OpenFolderListing
//     WaitListing(listing, screenRows, 200, &counts);
//     GetListingItems(listing, kind, first, records, n, &filled);   // the rows shown
//     ... WaitListing(listing, 0, 0, &counts) until counts.complete ...
//     CloseListing(listing);
//
// The worker reads its own snapshot of the library; a disc deleted while
// a listing is open gives empty records (id 0) for its entries.
#pragma once
#include "ILibraryEngine.h"

#include <cstdint>

// {3E6B1F0A-92C4-4F7D-8A15-C07D2E9B6A31}
inline constexpr IID IID_ILibraryListings = {
    0x3E6B1F0A, 0x92C4, 0x4F7D, {0x8A, 0x15, 0xC0, 0x7D, 0x2E, 0x9B, 0x6A, 0x31}};

// One open listing; opaque, from OpenSearchListing or OpenFolderListing.
using LibraryListing = void*;

// The kinds of entry a listing holds, in the order it lists them.
enum LibraryListingKind : LONG { kListingFolders = 0, kListingFiles = 1 };

#pragma pack(push, 1)

struct LibraryListingCounts {
    int32_t folders;  // folders of the listing: all of them once counted, else those found so far
    int32_t files;    // the same for files (none before every folder is found, unless counted)
    int32_t complete; // 1 when every entry is found
    int32_t failure;  // the worker's failure (an HRESULT, e.g. LIBRARY_E_DAMAGED); 0 while it has none
    int32_t counted;  // 1 when folders and files are final: counted ahead, or complete
    int32_t reserved;
};

#pragma pack(pop)

static_assert(sizeof(LibraryListingCounts) == 24);

struct ILibraryListings : IUnknown {
    // Starts finding folders and files whose names contain `text`, as
    // SearchFolders and SearchFiles find them. An empty text finds nothing.
    virtual HRESULT OpenSearchListing(const char16_t* text, LibraryListing* listing) = 0;
    // Starts listing the entries of a folder (0: the disc's root), folders
    // before files, as GetFolderItems lists them.
    virtual HRESULT OpenFolderListing(LONG discId, LONG folderId, LibraryListing* listing) = 0;
    // Waits at most timeoutMs until `rows` entries (folders and files
    // together) are found or the listing is complete, then gives the
    // counts so far. S_OK when complete, S_FALSE when still finding, the
    // worker's failure when it failed. A search for one or two characters
    // is counted ahead: its counts are final at once, while its entries
    // are still being found (their records are not filled until then).
    virtual HRESULT WaitListing(LibraryListing listing, LONG rows, LONG timeoutMs, LibraryListingCounts* counts) = 0;
    // The records of entries first .. first + count - 1 of one kind, as far
    // as found; *filled says how many were filled. Records have every
    // field of ItemRecord, as SearchFolders/SearchFiles fill them.
    virtual HRESULT GetListingItems(LibraryListing listing, LONG kind, LONG first, ItemRecord* records, LONG count,
                                    LONG* filled) = 0;
    // Stops the worker and forgets the listing; every listing still open
    // is closed by Uninitialize.
    virtual HRESULT CloseListing(LibraryListing listing) = 0;

protected:
    ~ILibraryListings() = default;
};
