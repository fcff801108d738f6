// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryDiscTags): a disc's whole tag id list. The disc record
// holds at most 259 characters of it, which a disc with many tags exceeds.
// An engine without it still serves the program: a list the record may
// have cut is then never written back.
#pragma once
#include "ILibraryEngine.h"

// {3C7B1E92-5A64-4F0D-9B28-D1E6A47C0F35}
inline constexpr IID IID_ILibraryDiscTags = {
    0x3C7B1E92, 0x5A64, 0x4F0D, {0x9B, 0x28, 0xD1, 0xE6, 0xA4, 0x7C, 0x0F, 0x35}};

struct ILibraryDiscTags : IUnknown {
    // The disc's "::"-joined tag ids, as SetDiscTags or AddDisc stored them.
    // *length receives the text's length in code units (without the
    // terminator). The text and its terminator are copied only when
    // capacity holds both; otherwise nothing is copied and S_FALSE says to
    // ask again with a larger buffer. E_INVALIDARG for an unknown disc.
    virtual HRESULT GetDiscTagIds(LONG discId, char16_t* tagIds, LONG capacity, LONG* length) = 0;

protected:
    ~ILibraryDiscTags() = default;
};
