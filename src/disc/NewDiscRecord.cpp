#include "NewDiscRecord.h"

#include "DiscReadout.h"

namespace {

const char16_t* W(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

} // namespace

namespace NewDiscRecord {

HRESULT Add(ILibraryEngine* library, const DiscReadout& disc, const Details& details, LONG* discId, LONG* labelId)
{
    if (!library || !discId || !labelId) return E_POINTER;
    *discId = 0;
    *labelId = 0;
    HRESULT hr = library->AddDisc(disc.identity, W(details.label32Path), W(details.label128Path),
                                  W(details.label360Path), W(details.name), W(details.tagIds), disc.audio,
                                  disc.discClass, disc.folders, disc.files, disc.used, disc.capacity, disc.date);
    if (SUCCEEDED(hr)) hr = library->GetLastAddedDisc(discId, labelId);
    if (SUCCEEDED(hr) && details.keptLabelId) hr = library->SetDiscLabelId(*discId, *labelId = details.keptLabelId);
    if (FAILED(hr) && *discId) library->DeleteDisc(*discId, 0);
    return hr;
}

} // namespace NewDiscRecord
