#include "BatchWriter.h"

#include <utility>

BatchWriter::BatchWriter(ILibraryEngine* library, LibraryImportHandle handle)
    : m_pLibrary(library), m_handle(handle), m_worker([this](Batch& batch) { Store(batch); }, kQueued)
{
}

void BatchWriter::Submit(Insert insert, QString rows) { m_worker.Queue({insert, std::move(rows)}); }

HRESULT BatchWriter::Drain()
{
    m_worker.Drain();
    return std::exchange(m_hrLast, S_OK);
}

void BatchWriter::Store(Batch& batch)
{
    const HRESULT hr = (m_pLibrary->*batch.insert)(m_handle, reinterpret_cast<const WCHAR*>(batch.rows.utf16()), 1);
    if (FAILED(hr)) m_hrLast = hr;
}
