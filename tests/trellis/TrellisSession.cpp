#include "TrellisSession.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
const char16_t kKeyPath[] = u"Software\\Quorvel\\Flintwell13";
}

TrellisSession::TrellisSession()
{
    const QString library = TestEnvironment::ProgramFolder() + QStringLiteral("/libTrellis.so");
    if (FAILED(m_module.Load(library))) {
        ADD_FAILURE() << "cannot load " << library.toStdString();
        return;
    }
    if (FAILED(m_module.CreateInstance(CLSID_TrellisEngine, IID_ITrellisEngineFactory, reinterpret_cast<void**>(&m_engine)))) {
        ADD_FAILURE() << "no engine";
        return;
    }
    const HKEY root = HKEY_LOCAL_MACHINE;
    m_engine->SetRegistryLocation(&root, kKeyPath, DWORD(std::char_traits<char16_t>::length(kKeyPath)));
    m_engine->RefreshDrives();
    LONG count = 0;
    m_engine->GetDriveCount(&count);
    for (LONG i = 0; i < count && !m_imageDrive; ++i) {
        ITrellisDevice* device = nullptr;
        if (FAILED(m_engine->GetDrive(i, &device))) continue;
        ITrellisImageDrive* image = nullptr;
        if (SUCCEEDED(device->QueryInterface(IID_ITrellisImageDrive, reinterpret_cast<void**>(&image)))) {
            image->Release();
            m_imageDrive = device;
        } else {
            device->Release();
        }
    }
    if (!m_imageDrive) ADD_FAILURE() << "no image drive";
}

TrellisSession::~TrellisSession()
{
    SafeRelease(m_imageDrive);
    SafeRelease(m_engine);
    m_module.Unload();
}

HRESULT TrellisSession::Insert(const QString& imagePath)
{
    ComPtr<ITrellisImageDrive> image;
    const HRESULT hr = m_imageDrive->QueryInterface(IID_ITrellisImageDrive, image.PutVoid());
    if (FAILED(hr)) return hr;
    return image->InsertImage(reinterpret_cast<LPCWSTR>(imagePath.utf16()));
}

HRESULT TrellisSession::ReadProperties(DiscProperties& properties)
{
    ComPtr<IUnknown> object;
    HRESULT hr = m_engine->CreateObject(CLSID_TrellisDiscInfo, object.Put());
    if (FAILED(hr)) return hr;
    ComPtr<ITrellisDiscInfo> info;
    ComPtr<ITrellisDiscProperties> props;
    if (FAILED(hr = object->QueryInterface(IID_ITrellisDiscInfo, info.PutVoid()))) return hr;
    if (FAILED(hr = info->Attach(m_imageDrive))) return hr;
    if (FAILED(hr = info->Open())) return hr;
    if (FAILED(hr = object->QueryInterface(IID_ITrellisDiscProperties, props.PutVoid()))) return hr;
    props->GetMediaInfo(&properties.mediaType, &properties.status, &properties.capacity, &properties.used);
    props->GetSessionInfo(&properties.sessions, &properties.tracks);
    for (LONG track = 1; track <= properties.tracks; ++track) {
        DWORD format = 0, start = 0, offset = 0;
        EXPECT_EQ(props->GetTrackFormat(&format, track), S_OK);
        EXPECT_EQ(props->GetTrackStart(track, &start, &offset, 0), S_OK);
        properties.trackFormats.push_back(format);
        properties.trackStarts.push_back(start + offset);
    }
    props->GetFileSystemType(&properties.fileSystem);
    if (properties.fileSystem != TRELLIS_FS_NONE) {
        EXPECT_EQ(props->GetVolumeTime(&properties.time), S_OK);
        EXPECT_EQ(props->GetPartitionSize(&properties.partitionSize), S_OK);
    }
    char16_t label[33] = {};
    EXPECT_EQ(props->GetVolumeLabel(label, 33), S_OK);
    properties.label = QString::fromUtf16(label);
    info->Close();
    info->Detach();
    return S_OK;
}

HRESULT TrellisSession::ReadCatalog(std::map<QString, CatalogEntry>& catalog, REFCLSID readerClass,
                                    TrellisTreeCounts* counts, TrellisReadReport* report)
{
    ComPtr<IUnknown> object;
    HRESULT hr = m_engine->CreateObject(readerClass, object.Put());
    if (FAILED(hr)) return hr;
    ComPtr<ITrellisReader> reader;
    if (FAILED(hr = object->QueryInterface(IID_ITrellisReader, reader.PutVoid()))) return hr;
    if (FAILED(hr = reader->Attach(m_imageDrive))) return hr;
    if (FAILED(hr = reader->Open())) return hr;
    if (FAILED(hr = reader->StartParse(6, 0, 0))) return hr;
    LONG done = 0;
    double fraction = 0;
    while ((hr = reader->WaitParse(100, &done, &fraction)) == TRELLIS_S_PARSE_RUNNING) {
    }
    if (FAILED(hr)) return hr;
    EXPECT_EQ(done, 1);
    EXPECT_DOUBLE_EQ(fraction, 1.0);
    if (counts) reader->GetTreeCounts(counts);
    if (report) {
        ComPtr<ITrellisReadReport> reports;
        EXPECT_EQ(reader->QueryInterface(IID_ITrellisReadReport, reports.PutVoid()), S_OK);
        if (reports.Get()) {
            EXPECT_EQ(reports->GetReadReport(report), S_OK);
        }
    }
    std::vector<QString> folders{QString()};
    while (!folders.empty()) {
        const QString folder = folders.back();
        folders.pop_back();
        TrellisFindEntry entry;
        const QString windowsPath = QString(folder).replace(QLatin1Char('/'), QLatin1Char('\\'));
        for (HRESULT step = reader->FindFirst(reinterpret_cast<LPCWSTR>(windowsPath.utf16()), &entry); step == S_OK;
             step = reader->FindNext(&entry)) {
            const QString name = QString::fromUtf16(entry.name);
            const QString path = folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
            CatalogEntry item;
            item.folder = entry.attributes & TRELLIS_ATTRIBUTE_DIRECTORY;
            item.size = entry.size;
            item.fileTime = UINT64(entry.time.high) << 32 | entry.time.low;
            catalog[path] = item;
            if (item.folder) folders.push_back(path);
        }
        reader->FindClose();
    }
    reader->Close();
    reader->Detach();
    return S_OK;
}
