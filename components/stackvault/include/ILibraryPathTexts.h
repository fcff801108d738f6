// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryPathTexts): the texts of a range of path ids in one
// request, in UTF-8 as the library stores them. A reader that prints the
// hits of a search folder by folder needs the path of each folder once;
// GetPathText asks for one path a request, this for the next few dozen,
// which mostly belong to the folders that follow.
//
//     LibraryPathText paths[64];
//     char texts[64 * kLibraryPathTextBytes];
//     GetPathTexts(firstId, 64, paths, texts, sizeof texts, &filled);
//     // text of paths[i]: texts + paths[i].textOffset, paths[i].textBytes bytes
#pragma once
#include "ILibraryEngine.h"

#include <cstdint>

// {90E71A56-3C5E-4425-80BA-AF3D75C63B57}
inline constexpr IID IID_ILibraryPathTexts = {
    0x90E71A56, 0x3C5E, 0x4425, {0x80, 0xBA, 0xAF, 0x3D, 0x75, 0xC6, 0x3B, 0x57}};

// The longest text GetPathTexts gives, in bytes: one that fits a record's
// text field (kLibraryTextLength) whole in any encoding.
constexpr int kLibraryPathTextBytes = kLibraryTextLength - 1;

#pragma pack(push, 1)

struct LibraryPathText {
    int32_t pathId;
    uint32_t textOffset; // where the text starts in the text buffer
    uint32_t textBytes;  // its length in bytes (UTF-8, not terminated)
};

#pragma pack(pop)

static_assert(sizeof(LibraryPathText) == 12);

struct ILibraryPathTexts : IUnknown {
    // The stored paths with ids firstId .. firstId + count - 1, in id
    // order, their texts one after another in `texts`; *filled says how
    // many. Left out: ids without a path, and texts longer than
    // kLibraryPathTextBytes (GetPathText gives those as a record's field
    // holds them). Fills fewer when the next text does not fit in `texts`.
    virtual HRESULT GetPathTexts(LONG firstId, LONG count, LibraryPathText* paths, char* texts, LONG textsCapacity,
                                 LONG* filled) = 0;

protected:
    ~ILibraryPathTexts() = default;
};
