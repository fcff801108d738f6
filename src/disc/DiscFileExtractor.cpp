#include "DiscFileExtractor.h"

#include "ComPtr.h"

#include <QFile>
#include <vector>

namespace {

const WCHAR* W(const QString& text) { return reinterpret_cast<const WCHAR*>(text.utf16()); }

// Parses the disc's file system, giving up when cancelled.
HRESULT Parse(ITrellisReader* reader, const std::atomic<bool>& cancel)
{
    HRESULT hr = reader->StartParse(TRELLIS_PARSE_NAMES_SIZES_TIMES, 0, 0);
    if (FAILED(hr)) return hr;
    // The still-running answer is negative: compare with it.
    while ((hr = reader->WaitParse(100, nullptr, nullptr)) == TRELLIS_S_PARSE_RUNNING)
        if (cancel.load()) reader->Abort();
    return cancel.load() ? E_ABORT : hr;
}

} // namespace

HRESULT DiscFileExtractor::Extract(const QString& pathOnDisc, ConfinedFile& target, const std::atomic<bool>& cancel,
                                   std::atomic<int>& percent) const
{
    m_nFileSize = 0;
    percent = 0;
    const HRESULT hr = Read(pathOnDisc, target.File(), cancel, percent);
    target.File().close();
    if (FAILED(hr)) target.Discard();
    return hr;
}

HRESULT DiscFileExtractor::Read(const QString& pathOnDisc, QFile& out, const std::atomic<bool>& cancel,
                                std::atomic<int>& percent) const
{
    if (!m_pEngine) return E_POINTER;
    ComPtr<ITrellisDevice> device;
    ComPtr<IUnknown> object;
    ComPtr<ITrellisReader> reader;
    HRESULT hr = m_pEngine->GetDrive(m_nEngineIndex, device.Put());
    if (SUCCEEDED(hr)) hr = m_pEngine->CreateObject(CLSID_TrellisOtherReader, object.Put());
    if (SUCCEEDED(hr)) hr = object->QueryInterface(IID_ITrellisReader, reader.PutVoid());
    if (FAILED(hr)) return hr;
    hr = reader->Attach(device.Get());
    if (SUCCEEDED(hr)) hr = reader->Open();
    if (SUCCEEDED(hr)) hr = Parse(reader.Get(), cancel);
    ComPtr<ITrellisFileData> data;
    if (SUCCEEDED(hr)) hr = reader->QueryInterface(IID_ITrellisFileData, data.PutVoid());
    if (SUCCEEDED(hr)) hr = Copy(data.Get(), pathOnDisc, out, cancel, percent);
    data.Reset();
    reader->Close();
    reader->Detach();
    return hr;
}

HRESULT DiscFileExtractor::Copy(ITrellisFileData* data, const QString& pathOnDisc, QFile& out,
                                const std::atomic<bool>& cancel, std::atomic<int>& percent) const
{
    UINT64 size = 0;
    HRESULT hr = data->GetFileSize(W(pathOnDisc), &size);
    if (FAILED(hr)) return hr;
    m_nFileSize = size;
    std::vector<BYTE> piece(kPieceBytes);
    UINT64 done = 0;
    while (SUCCEEDED(hr) && done < size) {
        DWORD read = 0;
        hr = cancel.load() ? E_ABORT : data->ReadFile(W(pathOnDisc), done, piece.data(), kPieceBytes, &read);
        if (SUCCEEDED(hr) && read == 0) hr = HresultFromWin32(30); // the file ends before its size
        if (SUCCEEDED(hr) && out.write(reinterpret_cast<const char*>(piece.data()), read) != qint64(read))
            hr = HresultFromWin32(112); // ERROR_DISK_FULL
        done += read;
        percent = int(done * 100 / size);
    }
    if (SUCCEEDED(hr) && !out.flush()) hr = HresultFromWin32(112);
    return hr;
}
