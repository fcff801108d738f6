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

// Creates a reader of the given class and opens it on the device.
HRESULT OpenReader(ITrellisEngine* engine, const CLSID& classId, ITrellisDevice* device, ITrellisReader** reader)
{
    IUnknown* object = nullptr;
    HRESULT hr = engine->CreateObject(classId, &object);
    if (FAILED(hr)) return hr;
    hr = object->QueryInterface(IID_ITrellisReader, reinterpret_cast<void**>(reader));
    object->Release();
    if (FAILED(hr)) return hr;
    hr = (*reader)->Attach(device);
    if (SUCCEEDED(hr)) hr = (*reader)->Open();
    if (FAILED(hr)) {
        (*reader)->Detach();
        SafeRelease(*reader);
    }
    return hr;
}

void CloseReader(ITrellisReader*& reader)
{
    reader->Close();
    reader->Detach();
    SafeRelease(reader);
}

} // namespace

CScanWorker::CScanWorker(CDiscAccess& access) : m_access(access), m_nReplacedDiscId(access.m_nReplacedDiscId) {}

void CScanWorker::run()
{
    m_nItemsDone = 0;
    m_access.m_nProgress = 0;
    m_access.m_lastReadGaps = DiscReadGaps();
    m_access.m_bBusy = true;
    const HRESULT hr = m_access.m_nMode ? ListTracks(m_access.m_nFileCount) : ScanDataDisc();
    // A disc whose contents did not all arrive is not left half in the library.
    if (FAILED(hr) && hr != E_ABORT && m_access.m_pLibrary) m_access.m_pLibrary->DeleteDisc(m_access.m_nDiscId, 0);
    m_access.m_bBusy = false;
    int success = SUCCEEDED(hr) ? 1 : 0;
    Callback(ScanFinished, reinterpret_cast<intptr_t>(&success));
}

void CScanWorker::Callback(int code, intptr_t parameter)
{
    if (m_access.m_pCallback) m_access.m_pCallback(code, parameter, m_access.m_nCallbackContext);
}

bool CScanWorker::CancelRequested() const { return m_access.m_nCancelRequested.load() != 0; }

void CScanWorker::CountItem()
{
    ++m_nItemsDone;
    const float step = 1.0f / static_cast<float>(m_access.m_nItemTotal);
    const int progress = static_cast<int>(static_cast<double>(m_nItemsDone) * 80.0 * step + 20.0);
    m_access.m_nProgress = std::min(100, progress);
}

HRESULT CScanWorker::WaitForParse(ITrellisReader* reader)
{
    HRESULT hr;
    double fraction = 0.0;
    while ((hr = reader->WaitParse(100, nullptr, &fraction)) == TRELLIS_S_PARSE_RUNNING) {
        if (m_access.m_nAbortRequested.load()) {
            Callback(ScanAborting, 0);
            reader->Abort();
            m_access.m_nAbortRequested = 0;
        }
        if (!CancelRequested()) m_access.m_nProgress = std::min(20, static_cast<int>(fraction * 20.0));
        QCoreApplication::processEvents();
    }
    return hr;
}

HRESULT CScanWorker::ScanDataDisc()
{
    ILibraryEngine* library = m_access.m_pLibrary;
    if (!m_access.m_pEngine || !m_access.m_pSelectedDevice || !library) return E_POINTER;
    if (m_access.m_dwMediaType == 0) return E_FAIL;
    const CLSID& readerClass =
        CDiscAccess::IsCdMedia(m_access.m_dwMediaType) ? CLSID_TrellisCdReader : CLSID_TrellisOtherReader;
    ITrellisReader* reader = nullptr;
    HRESULT hr = OpenReader(m_access.m_pEngine, readerClass, m_access.m_pSelectedDevice, &reader);
    if (FAILED(hr)) return hr;
    hr = reader->StartParse(6, 0, 0);
    if (SUCCEEDED(hr)) hr = WaitForParse(reader);
    if (CancelRequested()) {
        Callback(ScanCancelled, 0);
        library->DeleteDisc(m_access.m_nDiscId, 0);
        CloseReader(reader);
        return E_ABORT;
    }
    if (FAILED(hr)) {
        CloseReader(reader);
        return hr;
    }
    m_access.m_lastReadGaps = DiscReadGaps::OfReader(reader);
    LibraryImportHandle handle = nullptr;
    hr = library->OpenImportHandle(&handle);
    if (FAILED(hr)) {
        CloseReader(reader);
        return hr;
    }
    hr = NoteImport(handle);
    if (SUCCEEDED(hr)) hr = WalkTree(handle, reader);
    // A failed import goes before its handle closes: closing shows what it wrote.
    if (FAILED(hr) && hr != E_ABORT) library->DeleteDiscWithHandle(handle, m_access.m_nDiscId, 0);
    const HRESULT closed = library->CloseImportHandle(handle);
    CloseReader(reader);
    return FAILED(hr) ? hr : closed;
}

HRESULT CScanWorker::WalkTree(LibraryImportHandle handle, ITrellisReader* reader)
{
    if (m_access.m_nItemTotal == 0) {
        m_access.m_nProgress = 100;
        return S_OK;
    }
    CTreeWalk walk(handle, m_access.m_pLibrary, reader, m_access.m_nDiscId, m_access.m_nLabelId,
                   {[this] { return CancelRequested(); }, [this] { CountItem(); },
                    [this] { Callback(ScanCancelled, 0); }});
    return walk.Run();
}

HRESULT CScanWorker::NoteImport(LibraryImportHandle handle)
{
    return ImportRecord::Note(m_access.m_pLibrary, handle, m_access.m_nDiscId, m_nReplacedDiscId,
                              m_access.m_lastReadGaps);
}

HRESULT CScanWorker::ListTracks(int trackCount)
{
    ILibraryEngine* library = m_access.m_pLibrary;
    if (!library) return E_POINTER;
    if (trackCount == 0) {
        m_access.m_nProgress = 100;
        return S_OK;
    }
    const INT64 now = FileTime::Now();
    RecordBatch batch;
    for (int track = 1; track <= trackCount; ++track) {
        batch.Append(RecordBatch::TrackRow(track, now, m_access.m_nDiscId, m_access.m_nLabelId));
        ++m_nItemsDone;
        m_access.m_nProgress = std::min(100, static_cast<int>(m_nItemsDone * 80.0 / trackCount + 20.0));
    }
    LibraryImportHandle handle = nullptr;
    HRESULT hr = library->OpenImportHandle(&handle);
    if (FAILED(hr)) return hr;
    if (!handle) return E_POINTER;
    hr = NoteImport(handle);
    if (SUCCEEDED(hr)) hr = library->InsertFileRows(handle, batch.Utf16(), 0);
    if (FAILED(hr)) library->DeleteDiscWithHandle(handle, m_access.m_nDiscId, 0);
    const HRESULT closed = library->CloseImportHandle(handle);
    return FAILED(hr) ? hr : closed;
}
