// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryListedTypes), beside ILibraryListedEntries: the type
// names of an open listing's entries, which the compact entries leave out.
// A reader that sorts a large folder by its types reads them a block at a
// time, a few bytes per entry instead of a whole ItemRecord.
//
//     uint32_t ends[1024];
//     char types[32 * 1024];
//     GetListedTypes(listing, kListingFiles, first, 1024, ends, types, sizeof types, &filled);
//     // type of entry i: types + (i ? ends[i - 1] : 0) up to types + ends[i]
#pragma once
#include "ILibraryListings.h"

#include <cstdint>

// {3F6B9A20-7C41-4D8E-B5A3-0E9D26C7F114}
inline constexpr IID IID_ILibraryListedTypes = {
    0x3F6B9A20, 0x7C41, 0x4D8E, {0xB5, 0xA3, 0x0E, 0x9D, 0x26, 0xC7, 0xF1, 0x14}};

struct ILibraryListedTypes : IUnknown {
    // The types of entries first .. first + count - 1 of one kind, as far
    // as found, as ItemRecord's type ("Folder", or the file's type name;
    // empty for an entry whose disc was deleted since it was found), UTF-8,
    // whole, one after another in `types`; ends[i]: where entry i's type
    // ends. Fills fewer when the next type does not fit; *filled says how
    // many. S_OK (also when none is found yet: *filled 0), E_INVALIDARG for
    // an unknown listing or kind, E_OUTOFMEMORY when not even the first
    // type fits (a buffer of 4 KB always holds one).
    virtual HRESULT GetListedTypes(LibraryListing listing, LONG kind, LONG first, LONG count, uint32_t* ends,
                                   char* types, LONG typesCapacity, LONG* filled) = 0;

protected:
    ~ILibraryListedTypes() = default;
};
