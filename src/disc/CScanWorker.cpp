#include "CScanWorker.h"

#include "CDiscAccess.h"
#include "CTreeWalk.h"
#include "FileTime.h"
#include "ILibraryEngine.h"
#include "ImportRecord.h"
#include "RecordBatch.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace {

// A reader of the given class, opened on the device.
HRESULT OpenReader(ITrellisEngine* engine, const CLSID& classId, ITrellisDevice* device, ComPtr<ITrellisReader>& reader)
{
    ComPtr<IUnknown> object;
    HRESULT hr = engine->CreateObject(classId, object.Put());
    if (FAILED(hr)) return hr;
    if (!object) return E_POINTER;
    hr = object->QueryInterface(IID_ITrellisReader, reader.PutVoid());
    if (FAILED(hr)) return hr;
    if (!reader) return E_POINTER;
    hr = reader->Attach(device);
    if (SUCCEEDED(hr)) hr = reader->Open();
    if (FAILED(hr)) {
        reader->Detach();
        reader.Reset();
    }
    return hr;
}

void CloseReader(ComPtr<ITrellisReader>& reader)
{
    reader->Close();
    reader->Detach();
    reader.Reset();
}

} // namespace

void CScanWorker::run()
{
    m_nItemsDone = 0;
    m_state.progress = 0;
    m_state.itemsRead = 0;
    m_state.lastReadGaps = DiscReadGaps();
    m_state.busy = true;
    const HRESULT hr = m_job.mode ? ListTracks(m_job.fileCount) : ScanDataDisc();
    // A disc whose contents did not all arrive is not left half in the library.
    if (FAILED(hr) && hr != E_ABORT && m_job.library) m_job.library->DeleteDisc(m_job.discId, 0);
    m_state.busy = false;
    int success = SUCCEEDED(hr) ? 1 : 0;
    Callback(ScanFinished, reinterpret_cast<intptr_t>(&success));
}

void CScanWorker::Callback(int code, intptr_t parameter)
{
    if (m_state.callback) m_state.callback(code, parameter, m_state.callbackContext);
}

bool CScanWorker::CancelRequested() const { return m_state.cancelRequested.load() != 0; }

void CScanWorker::CountItem()
{
    ++m_nItemsDone;
    m_state.itemsRead = m_nItemsDone;
    const float step = 1.0f / static_cast<float>(m_job.itemTotal);
    const int progress = static_cast<int>(static_cast<double>(m_nItemsDone) * 80.0 * step + 20.0);
    m_state.progress = std::min(100, progress);
}

HRESULT CScanWorker::WaitForParse(ITrellisReader* reader)
{
    HRESULT hr;
    double fraction = 0.0;
    while ((hr = reader->WaitParse(100, nullptr, &fraction)) == TRELLIS_S_PARSE_RUNNING) {
        if (m_state.abortRequested.load()) {
            Callback(ScanAborting, 0);
            reader->Abort();
            m_state.abortRequested = 0;
        }
        if (!CancelRequested()) m_state.progress = std::min(20, static_cast<int>(fraction * 20.0));
        QCoreApplication::processEvents();
    }
    return hr;
}

HRESULT CScanWorker::ScanDataDisc()
{
    ILibraryEngine* library = m_job.library;
    if (!m_job.engine || !m_job.device || !library) return E_POINTER;
    if (m_job.mediaType == 0) return E_FAIL;
    const CLSID& readerClass = CDiscAccess::IsCdMedia(m_job.mediaType) ? CLSID_TrellisCdReader : CLSID_TrellisOtherReader;
    ComPtr<ITrellisReader> reader;
    HRESULT hr = OpenReader(m_job.engine.Get(), readerClass, m_job.device.Get(), reader);
    if (FAILED(hr)) return hr;
    hr = reader->StartParse(TRELLIS_PARSE_NAMES_SIZES_TIMES, 0, 0);
    if (SUCCEEDED(hr)) hr = WaitForParse(reader.Get());
    if (CancelRequested()) {
        Callback(ScanCancelled, 0);
        library->DeleteDisc(m_job.discId, 0);
        CloseReader(reader);
        return E_ABORT;
    }
    if (FAILED(hr)) {
        CloseReader(reader);
        return hr;
    }
    m_state.lastReadGaps = DiscReadGaps::OfReader(reader.Get());
    LibraryImportHandle handle = nullptr;
    hr = OpenImport(library, &handle);
    if (FAILED(hr)) {
        CloseReader(reader);
        return hr;
    }
    hr = NoteImport(handle);
    if (SUCCEEDED(hr)) hr = WalkTree(handle, reader.Get());
    // A failed import goes before its handle closes: closing shows what it wrote.
    if (FAILED(hr) && hr != E_ABORT) library->DeleteDiscWithHandle(handle, m_job.discId, 0);
    const HRESULT closed = library->CloseImportHandle(handle);
    CloseReader(reader);
    return FAILED(hr) ? hr : closed;
}

HRESULT CScanWorker::WalkTree(LibraryImportHandle handle, ITrellisReader* reader)
{
    if (m_job.itemTotal == 0) {
        m_state.progress = 100;
        return S_OK;
    }
    CTreeWalk walk(handle, m_job.library, reader, m_job.discId, m_job.labelId,
                   {[this] { return CancelRequested(); }, [this] { CountItem(); },
                    [this] { Callback(ScanCancelled, 0); }});
    return walk.Run();
}

HRESULT CScanWorker::NoteImport(LibraryImportHandle handle)
{
    return ImportRecord::Note(m_job.library, handle, m_job.discId, m_job.replacedDiscId, m_state.lastReadGaps);
}

// The library may first wait for another import into it to end; a cancel
// meanwhile removes the disc as any other cancel does.
HRESULT CScanWorker::OpenImport(ILibraryEngine* library, void** handle)
{
    const HRESULT hr = library->OpenImportHandle(handle);
    if (SUCCEEDED(hr) || !CancelRequested()) return hr;
    Callback(ScanCancelled, 0);
    library->DeleteDisc(m_job.discId, 0);
    return E_ABORT;
}

HRESULT CScanWorker::ListTracks(int trackCount)
{
    ILibraryEngine* library = m_job.library;
    if (!library) return E_POINTER;
    if (trackCount == 0) {
        m_state.progress = 100;
        return S_OK;
    }
    const INT64 now = FileTime::Now();
    RecordBatch batch;
    for (int track = 1; track <= trackCount; ++track) {
        batch.Append(RecordBatch::TrackRow(track, now, m_job.discId, m_job.labelId));
        ++m_nItemsDone;
        m_state.progress = std::min(100, static_cast<int>(m_nItemsDone * 80.0 / trackCount + 20.0));
    }
    LibraryImportHandle handle = nullptr;
    HRESULT hr = OpenImport(library, &handle);
    if (FAILED(hr)) return hr;
    if (!handle) return E_POINTER;
    hr = NoteImport(handle);
    if (SUCCEEDED(hr)) hr = library->InsertFileRows(handle, batch.Utf16(), 0);
    if (FAILED(hr)) library->DeleteDiscWithHandle(handle, m_job.discId, 0);
    const HRESULT closed = library->CloseImportHandle(handle);
    return FAILED(hr) ? hr : closed;
}
