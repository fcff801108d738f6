#include "ImportRecord.h"

namespace ImportRecord {

HRESULT Note(ILibraryEngine* library, LibraryImportHandle handle, LONG discId, LONG replacedDiscId,
             const DiscReadGaps& gaps)
{
    if (replacedDiscId == 0 && !gaps.IsIncomplete()) return S_OK;
    ILibraryDiscReads* reads = nullptr;
    HRESULT hr = library->QueryInterface(IID_ILibraryDiscReads, reinterpret_cast<void**>(&reads));
    if (FAILED(hr)) return replacedDiscId ? hr : S_OK;
    if (replacedDiscId) hr = reads->ReplaceDiscWithHandle(handle, discId, replacedDiscId);
    if (SUCCEEDED(hr) && gaps.IsIncomplete()) hr = reads->SetDiscGaps(discId, &gaps.Record());
    reads->Release();
    return hr;
}

} // namespace ImportRecord
