// CDiscAccess: reading a disc's properties and identity.
#include "CDiscAccess.h"

#include "ResourceIds.h"
#include "StringResources.h"

#include <QDateTime>
#include <QThread>
#include <algorithm>
#include <cstring>

struct CDiscAccess::DiscFacts {
    DWORD mediaType = 0, status = 0, capacitySectors = 0, usedSectors = 0;
    int discClass = 0;
    DWORD usedType = 0;
    TrellisVolumeTime time{};
    DWORD partitionSize = 0, fileSystem = 0;
    QString label, dateText;
    LONG sessions = 0, tracks = 0;
    std::vector<DWORD> trackStarts;
    TrellisTreeCounts counts{};
    UINT64 usedBlocks = 0;

    bool IsAudio() const { return usedType == CDiscIdentity::AudioDisc; }

    void FillIdentity(CDiscIdentity& identity) const
    {
        if (!trackStarts.empty()) identity.SetTrackStarts(trackStarts.data(), static_cast<DWORD>(trackStarts.size()));
        identity.SetUsedType(usedType);
        identity.SetTrkCnt(static_cast<DWORD>(tracks));
        identity.SetDiscType(mediaType);
        if (!IsAudio()) {
            identity.SetFSType(fileSystem);
            VolumeTimeStamp stamp{};
            static_assert(sizeof stamp == sizeof time);
            std::memcpy(&stamp, &time, sizeof stamp);
            identity.SetTimeStamp(stamp);
            identity.SetPartSize(partitionSize);
        }
        identity.SetSessionCnt(static_cast<DWORD>(sessions));
    }
};

namespace {

// A file system's volume label is read up to 32 characters, as the import
// has always named discs; an image's title up to what a disc's name holds.
constexpr DWORD kLabelCapacity = 33;
constexpr DWORD kTitleCapacity = MAX_PATH;

// The identity kind of a CD from its first track's format.
DWORD CdUsedType(DWORD firstTrackFormat)
{
    switch (firstTrackFormat) {
    case TRELLIS_TRACK_AUDIO: return CDiscIdentity::AudioDisc;
    case TRELLIS_TRACK_CDI: return CDiscIdentity::CdInteractive;
    case TRELLIS_TRACK_XA: return CDiscIdentity::CdMode2;
    default: return CDiscIdentity::DataDisc;
    }
}

void CopyText(WCHAR* out, const QString& text)
{
    const qsizetype length = std::min<qsizetype>(text.size(), MAX_PATH - 1);
    std::copy_n(text.utf16(), length, out);
    out[length] = 0;
}

} // namespace

HRESULT CDiscAccess::ReadFacts(ITrellisDevice* device, bool forImport, DiscFacts& facts)
{
    if (!m_discInfo) return E_POINTER;
    HRESULT hr = m_discInfo->Attach(device);
    if (SUCCEEDED(hr)) hr = m_discInfo->Open();
    if (FAILED(hr)) {
        m_discInfo->Detach();
        return hr;
    }
    {
        ComPtr<ITrellisDiscProperties> properties;
        hr = m_discInfo->QueryInterface(IID_ITrellisDiscProperties, properties.PutVoid());
        if (SUCCEEDED(hr) && !properties) hr = E_POINTER;
        if (SUCCEEDED(hr)) hr = ReadOpenDisc(properties.Get(), forImport, facts);
    }
    m_discInfo->Close();
    m_discInfo->Detach();
    return hr;
}

// What is read while the disc-information object is open; the first
// failure ends the read with its result.
HRESULT CDiscAccess::ReadOpenDisc(ITrellisDiscProperties* properties, bool forImport, DiscFacts& facts)
{
    HRESULT hr = properties->GetMediaInfo(&facts.mediaType, &facts.status, &facts.capacitySectors, &facts.usedSectors);
    if (FAILED(hr)) return hr;
    if (facts.status != 0) return E_NOTIMPL;
    facts.discClass = DiscClassOf(facts.mediaType);
    if (facts.discClass == 0) return E_NOTIMPL;
    facts.usedType = CDiscIdentity::DataDisc;
    if (facts.discClass == 1) {
        // A CD whose file system is UDF is not catalogued.
        DWORD fileSystem = TRELLIS_FS_NONE;
        if (forImport && SUCCEEDED(properties->GetFileSystemType(&fileSystem)) &&
            (fileSystem == TRELLIS_FS_UDF || fileSystem == TRELLIS_FS_UDF_BRIDGE))
            return E_NOTIMPL;
        DWORD format = 0;
        hr = properties->GetTrackFormat(&format, 1);
        if (FAILED(hr)) return hr;
        facts.usedType = CdUsedType(format);
    }
    if (!facts.IsAudio()) {
        hr = ReadDataDisc(properties, forImport, facts);
        if (FAILED(hr)) return hr;
    } else if (forImport) {
        facts.dateText = QDateTime::currentDateTime().toString(QStringLiteral("MM/dd/yyyy HH:mm:ss"));
        // The title its image gives (a CUE sheet's TITLE), else "Audio CD".
        WCHAR title[kTitleCapacity] = {};
        hr = properties->GetVolumeLabel(title, kTitleCapacity);
        facts.label = SUCCEEDED(hr) ? CollapseBlanks(QString::fromUtf16(title)) : QString();
        if (facts.label.isEmpty()) facts.label = LoadString(IDS_MEDIA_CLASS_2);
    }
    hr = properties->GetSessionInfo(&facts.sessions, &facts.tracks);
    if (FAILED(hr) || facts.usedType == CDiscIdentity::DataDisc) return hr;
    for (LONG track = 1; track <= facts.tracks; ++track) {
        DWORD start = 0, offset = 0;
        hr = properties->GetTrackStart(track, &start, &offset, 0);
        if (FAILED(hr)) return hr;
        facts.trackStarts.push_back(start + offset);
    }
    return S_OK;
}

HRESULT CDiscAccess::ReadDataDisc(ITrellisDiscProperties* properties, bool forImport, DiscFacts& facts)
{
    HRESULT hr = properties->GetVolumeTime(&facts.time);
    if (SUCCEEDED(hr)) hr = properties->GetPartitionSize(&facts.partitionSize);
    if (SUCCEEDED(hr)) hr = properties->GetFileSystemType(&facts.fileSystem);
    if (FAILED(hr) || !forImport) return hr;
    const TrellisVolumeTime& t = facts.time;
    facts.dateText =
        QString::asprintf("%02d/%02d/%04d %02d:%02d:%02d", t.month, t.day, t.year, t.hour, t.minute, t.second);
    WCHAR label[kLabelCapacity] = {};
    hr = properties->GetVolumeLabel(label, kLabelCapacity);
    if (FAILED(hr)) return hr;
    facts.label = CollapseBlanks(QString::fromUtf16(label));
    return S_OK;
}

HRESULT CDiscAccess::CountPass(DiscFacts& facts)
{
    ComPtr<IUnknown> object;
    HRESULT hr = m_engine->CreateObject(IsCdMedia(facts.mediaType) ? CLSID_TrellisCdReader : CLSID_TrellisOtherReader,
                                        object.Put());
    if (FAILED(hr)) return hr;
    if (!object) return E_POINTER;
    ComPtr<ITrellisReader> reader;
    hr = object->QueryInterface(IID_ITrellisReader, reader.PutVoid());
    if (FAILED(hr)) return hr;
    if (!reader) return E_POINTER;
    hr = reader->Attach(m_selectedDevice.Get());
    if (SUCCEEDED(hr)) hr = reader->Open();
    if (SUCCEEDED(hr)) {
        // The still-running answer is negative: compare with it, do not test SUCCEEDED.
        hr = reader->StartParse(TRELLIS_PARSE_NAMES_SIZES_TIMES, 0, 0);
        if (SUCCEEDED(hr))
            do hr = reader->WaitParse(1000, nullptr, nullptr);
            while (hr == TRELLIS_S_PARSE_RUNNING);
        if (SUCCEEDED(hr)) hr = reader->GetTreeCounts(&facts.counts);
        if (SUCCEEDED(hr)) hr = reader->GetUsedBlocks(0, &facts.usedBlocks);
        reader->Close();
    }
    reader->Detach();
    return hr;
}

HRESULT CDiscAccess::ReadDiscProperties(char* identity, WCHAR* label, WCHAR* spareText, int* audioFlag,
                                        int* discClass, int* folderCount, int* fileCount, INT64* usedBytes,
                                        INT64* capacityBytes, WCHAR* dateText)
{
    if (!identity || !label || !spareText || !audioFlag || !discClass || !folderCount || !fileCount || !usedBytes ||
        !capacityBytes || !dateText)
        return E_POINTER;
    if (!m_engine || !m_selectedDevice) return E_UNEXPECTED;
    if (!m_discInfo) return E_POINTER;
    m_scan.busy = true;
    DiscFacts facts;
    HRESULT hr = ReadFacts(m_selectedDevice.Get(), true, facts);
    // An audio disc has no file system to count: its tracks are its entries.
    if (SUCCEEDED(hr) && !facts.IsAudio()) hr = CountPass(facts);
    if (SUCCEEDED(hr)) {
        CDiscIdentity discIdentity;
        facts.FillIdentity(discIdentity);
        hr = discIdentity.GetIdentity(identity, 33);
    }
    m_scan.busy = false;
    if (FAILED(hr)) return hr;

    m_dwMediaType = facts.mediaType;
    const INT64 sectorBytes = facts.IsAudio() ? 2352 : 2048;
    *capacityBytes = facts.capacitySectors * sectorBytes;
    *audioFlag = facts.IsAudio() ? -1 : 0;
    *discClass = facts.discClass;
    if (facts.IsAudio()) {
        *usedBytes = facts.usedSectors * sectorBytes;
        *fileCount = facts.tracks;
        *folderCount = 0;
        m_nItemTotal = facts.tracks;
    } else {
        *usedBytes = static_cast<INT64>(facts.usedBlocks) * sectorBytes;
        const bool addsTracks = facts.usedType == CDiscIdentity::CdMode2 || facts.usedType == CDiscIdentity::CdInteractive;
        *fileCount = static_cast<int>(facts.counts.files) + (addsTracks ? facts.tracks : 0);
        *folderCount = static_cast<int>(facts.counts.folders);
        m_nItemTotal = *fileCount + *folderCount;
    }
    m_nFileCount = *fileCount;
    CopyText(label, facts.label);
    CopyText(dateText, facts.dateText);
    return S_OK;
}

HRESULT CDiscAccess::GetDriveIdentity(char* identity, int engineIndex)
{
    if (!identity) return E_POINTER;
    if (!m_engine) return E_UNEXPECTED;
    ComPtr<ITrellisDevice> device;
    if (FAILED(m_engine->GetDrive(engineIndex, device.Put())) || !device) return E_POINTER;
    DiscFacts facts;
    const HRESULT hr = ReadFacts(device.Get(), false, facts);
    if (FAILED(hr)) return hr;
    CDiscIdentity discIdentity;
    facts.FillIdentity(discIdentity);
    return discIdentity.GetIdentity(identity, 33);
}
