// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryListedEntries): the entries of an open listing (a search
// or a folder, see ILibraryListings) in a compact form. A listing's
// ItemRecord is 1.6 KB of fixed UTF-16 fields with the disc's name and the
// type in every record; a reader that goes through millions of entries
// (a script's search, the first sort of a large folder) needs the name,
// the numbers and the ids only, and pays for the rest per entry. Here each
// entry is 40 bytes and its name is UTF-8 in a shared text buffer, as the
// library stores it. The disc's name and the path text are looked up once
// per disc and per path id (GetDiscs, GetPathText).
//
//     ListedEntry entries[1024];
//     char names[64 * 1024];
//     GetListedEntries(listing, kListingFiles, first, entries, 1024, names, sizeof names, &filled);
//     // name of entries[i]: names + entries[i].nameOffset, entries[i].nameBytes bytes
//
// An engine without it serves the same entries through GetListingItems.
#pragma once
#include "ILibraryListings.h"

#include <cstdint>

// {8C2D4E71-5B0A-4F36-9E2C-71A4D0B3F58E}
inline constexpr IID IID_ILibraryListedEntries = {
    0x8C2D4E71, 0x5B0A, 0x4F36, {0x9E, 0x2C, 0x71, 0xA4, 0xD0, 0xB3, 0xF5, 0x8E}};

#pragma pack(push, 1)

// One folder or file of a listing; the fields mean what they mean in
// ItemRecord. An entry whose disc was deleted since it was found has id 0.
struct ListedEntry {
    int32_t id;         // folder id or file id
    int32_t parentId;   // the containing folder (0: the disc's root)
    int32_t discId;
    int32_t pathId;     // for GetPathText: a file's folder path; a folder's own path; 0: the root
    int64_t size;
    int64_t time;       // file time: 100 ns units since 1601-01-01
    uint32_t nameOffset; // where the name starts in the text buffer
    uint32_t nameBytes;  // the name's length in bytes (UTF-8, not terminated)
};

#pragma pack(pop)

static_assert(sizeof(ListedEntry) == 40);

// The kinds of entry a listing of OpenSearchEntries finds (either or both),
// or'ed with kListedPlacesOnly where the reader needs no more than an
// entry's name and place: the files' entries its worker keeps then carry
// id, name, disc and path id only, with parentId, size and time 0 (a scan
// of millions of hits reads three fields less per hit). Entries read by
// id, when no longer kept, still carry every field.
enum LibraryListedKinds : LONG {
    kListedFolders = 1,
    kListedFiles = 2,
    kListedFoldersAndFiles = 3,
    kListedPlacesOnly = 4,
};

struct ILibraryListedEntries : IUnknown {
    // Entries first .. first + count - 1 of one kind, as far as found, with
    // their names whole (not cut as ItemRecord's are) one after another in
    // `names`. Fills fewer when the next name does not fit in `names`;
    // *filled says how many. S_OK (also when none is found yet: *filled 0),
    // E_INVALIDARG for an unknown listing or kind, E_OUTOFMEMORY when not
    // even the first name fits (a buffer of 4 KB always holds one name).
    virtual HRESULT GetListedEntries(LibraryListing listing, LONG kind, LONG first, ListedEntry* entries, LONG count,
                                     char* names, LONG namesCapacity, LONG* filled) = 0;
    // Opens a search listing as ILibraryListings::OpenSearchListing does,
    // whose worker reads the files' compact entries while it finds them and
    // keeps the next few thousand of them for GetListedEntries: a reader
    // that goes through the files in order gets them without a second read
    // of the library. It is read and closed with
    // ILibraryListings like any listing, in any order (entries no longer
    // kept are read by id); its worker pauses while that reader is far
    // behind and has not asked for more. `kinds` (LibraryListedKinds): the
    // kinds it finds; a kind left out has no entries and is counted 0, so
    // a reader of files alone does not wait while every folder name is
    // scanned. E_INVALIDARG for kinds that are neither or unknown.
    // (kListedPlacesOnly: see LibraryListedKinds.)
    virtual HRESULT OpenSearchEntries(const char16_t* text, LONG kinds, LibraryListing* listing) = 0;

protected:
    ~ILibraryListedEntries() = default;
};
