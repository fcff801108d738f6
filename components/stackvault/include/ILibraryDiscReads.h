// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryDiscReads): how completely each disc was read, and
// cataloguing a disc again in place of its earlier record. An engine
// without it still serves the program; discs then show no gaps and cannot
// be replaced.
#pragma once
#include "ILibraryEngine.h"

#include <cstdint>

// {9A4F2C61-7E3B-4D85-B0C2-5E8A1F6D3B47}
inline constexpr IID IID_ILibraryDiscReads = {
    0x9A4F2C61, 0x7E3B, 0x4D85, {0xB0, 0xC2, 0x5E, 0x8A, 0x1F, 0x6D, 0x3B, 0x47}};

#pragma pack(push, 1)

// What a disc's read could not read, as its import recorded it; all zero
// for a disc read completely.
struct DiscGapRecord {
    int32_t unreadFolders; // folders whose entries are missing, wholly or in part
    int32_t unreadFiles;   // files whose entry or data could not be read
    int32_t reasons;       // the disc engine's reason bits
    int32_t reserved;
    int64_t mediumBytes;   // an image cut short: the bytes it holds
    int64_t volumeBytes;   // and the bytes its file system describes
};

#pragma pack(pop)

static_assert(sizeof(DiscGapRecord) == 32);

struct ILibraryDiscReads : IUnknown {
    // Records what the disc's read missed; all zero clears the record. Part
    // of the disc: removed with it, and undone with an import undone.
    virtual HRESULT SetDiscGaps(LONG discId, const DiscGapRecord* gaps) = 0;
    // What the disc's read missed; all zero when nothing was.
    virtual HRESULT GetDiscGaps(LONG discId, DiscGapRecord* gaps) = 0;
    // Makes newDiscId, which the import under `handle` writes, the
    // replacement of oldDiscId. The new disc is hidden with the import; the
    // old one stays as it is until the import closes, when the old disc
    // goes and the new one appears in one step. An import undone (killed,
    // cancelled, failed) or a new disc deleted leaves the old disc as it was.
    virtual HRESULT ReplaceDiscWithHandle(LibraryImportHandle handle, LONG newDiscId, LONG oldDiscId) = 0;

protected:
    ~ILibraryDiscReads() = default;
};
