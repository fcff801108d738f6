// An optional interface of the library engine (queried from ILibraryEngine
// with IID_ILibraryChanges): tells a window that the library was changed
// by someone else (another program such as albireo-cli, or another
// instance on a shared library), so that it can show the change without a
// restart. Changes made through this engine instance do not count: the
// caller knows of them already. An engine without it simply never tells.
#pragma once
#include "ILibraryEngine.h"

// {5E0B7C39-2A61-4D8E-B3F4-8C1D92A7E6F0}
inline constexpr IID IID_ILibraryChanges = {
    0x5E0B7C39, 0x2A61, 0x4D8E, {0xB3, 0xF4, 0x8C, 0x1D, 0x92, 0xA7, 0xE6, 0xF0}};

struct ILibraryChanges : IUnknown {
    // A number that differs from the one given before whenever a change by
    // someone else was committed in between. Cheap: meant to be asked about
    // once a second.
    virtual HRESULT GetChangeStamp(INT64* stamp) = 0;

protected:
    ~ILibraryChanges() = default;
};
