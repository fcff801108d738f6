#include "TagRecords.h"

namespace TagRecords {

HRESULT Read(ILibraryEngine* library, std::vector<TagRecord>* records)
{
    if (!library || !records) return E_POINTER;
    LONG count = 0;
    HRESULT hr = library->GetTagCount(&count);
    if (FAILED(hr)) return hr;
    std::vector<TagRecord> read(static_cast<size_t>(std::max<LONG>(count, 0)), TagRecord{});
    if (count > 0 && FAILED(hr = library->GetTags(read.data(), count))) return hr;
    *records = std::move(read);
    return S_OK;
}

QString Name(const TagRecord& record) { return QString::fromUtf16(record.name); }

} // namespace TagRecords
