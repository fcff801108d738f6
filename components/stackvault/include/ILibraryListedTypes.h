// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryListedTypes), beside ILibraryListedEntries: an open
// listing's compact entries together with their type names, which the
// compact entries alone leave out. A reader that sorts a large folder by
// any column reads both in one pass over the library, a block at a time,
// a few tens of bytes per entry instead of a whole ItemRecord.
//
//     ListedEntry entries[1024];
//     char names[64 * 1024];
//     uint32_t typeEnds[1024];
//     char types[32 * 1024];
//     GetTypedEntries(listing, kListingFiles, first, 1024, entries, names, sizeof names, typeEnds, types,
//                     sizeof types, &filled);
//     // name of entries[i]: names + entries[i].nameOffset, entries[i].nameBytes bytes
//     // type of entries[i]: types + (i ? typeEnds[i - 1] : 0) up to types + typeEnds[i]
#pragma once
#include "ILibraryListedEntries.h"

#include <cstdint>

// {3F6B9A20-7C41-4D8E-B5A3-0E9D26C7F114}
inline constexpr IID IID_ILibraryListedTypes = {
    0x3F6B9A20, 0x7C41, 0x4D8E, {0xB5, 0xA3, 0x0E, 0x9D, 0x26, 0xC7, 0xF1, 0x14}};

struct ILibraryListedTypes : IUnknown {
    // Entries first .. first + count - 1 of one kind, as far as found, as
    // GetListedEntries gives them, and the type of each as ItemRecord's type
    // ("Folder", or the file's type name; empty for an entry whose disc was
    // deleted since it was found), UTF-8, whole, one after another in
    // `types`; typeEnds[i]: where entry i's type ends. Fills fewer when the
    // next name or type does not fit; *filled says how many. S_OK (also when
    // none is found yet: *filled 0), E_INVALIDARG for an unknown listing or
    // kind, E_OUTOFMEMORY when not even the first entry fits (buffers of
    // 4 KB always hold one).
    virtual HRESULT GetTypedEntries(LibraryListing listing, LONG kind, LONG first, LONG count, ListedEntry* entries,
                                    char* names, LONG namesCapacity, uint32_t* typeEnds, char* types,
                                    LONG typesCapacity, LONG* filled) = 0;

protected:
    ~ILibraryListedTypes() = default;
};
