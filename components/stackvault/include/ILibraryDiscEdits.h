// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryDiscEdits): changes to a catalogued disc's record that
// the base interface lacks, and whether an import is at work on a disc, so
// that a tool can refuse to remove a disc from under it. An engine without
// it still serves the program; discs then cannot be renamed.
#pragma once
#include "ILibraryEngine.h"

// {C2D84A17-5B3E-4F69-9A0D-71E6B8F23C45}
inline constexpr IID IID_ILibraryDiscEdits = {
    0xC2D84A17, 0x5B3E, 0x4F69, {0x9A, 0x0D, 0x71, 0xE6, 0xB8, 0xF2, 0x3C, 0x45}};

struct ILibraryDiscEdits : IUnknown {
    // Gives the disc a new name (up to 259 units; not empty); searches find
    // it by that name at once. E_INVALIDARG when there is no such disc.
    virtual HRESULT SetDiscName(LONG discId, const char16_t* name) = 0;
    // *importing is 1 while an open import (of any process) writes the disc
    // or catalogues it again in its place, else 0.
    virtual HRESULT GetDiscImporting(LONG discId, LONG* importing) = 0;

protected:
    ~ILibraryDiscEdits() = default;
};
