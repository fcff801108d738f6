// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryDiscCounts): how many folders and files the library
// holds for a disc, counted from its stored rows in one request, where
// reading the disc folder by folder takes two requests per folder. A copy
// of a library checks each copied disc with it.
#pragma once
#include "ILibraryEngine.h"

// {6D2E8B14-93A7-4C5F-A1E0-7B3D9F42C861}
inline constexpr IID IID_ILibraryDiscCounts = {
    0x6D2E8B14, 0x93A7, 0x4C5F, {0xA1, 0xE0, 0x7B, 0x3D, 0x9F, 0x42, 0xC8, 0x61}};

struct ILibraryDiscCounts : IUnknown {
    // The folders and files stored for the disc (0 and 0 for a disc
    // without any, or an unknown one).
    virtual HRESULT GetDiscEntryCounts(LONG discId, LONG* folders, LONG* files) = 0;

protected:
    ~ILibraryDiscCounts() = default;
};
