// CDiscAccess: reading a disc's properties and identity.
#include "CDiscAccess.h"

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
    if (!m_pDiscInfo) return E_POINTER;
    HRESULT hr = m_pDiscInfo->Attach(device);
    if (SUCCEEDED(hr)) hr = m_pDiscInfo->Open();
    if (FAILED(hr)) {
        m_pDiscInfo->Detach();
        return hr;
    }
    m_bDiscInfoOpen = true;
    ITrellisDiscProperties* properties = nullptr;
    hr = m_pDiscInfo->QueryInterface(IID_ITrellisDiscProperties, reinterpret_cast<void**>(&properties));
    auto step = [&](HRESULT result) { return SUCCEEDED(hr) ? (hr = result) : hr; };

    step(properties->GetMediaInfo(&facts.mediaType, &facts.status, &facts.capacitySectors, &facts.usedSectors));
    if (SUCCEEDED(hr) && facts.status != 0) hr = E_NOTIMPL;
    if (SUCCEEDED(hr)) {
        facts.discClass = DiscClassOf(facts.mediaType);
        if (facts.discClass == 0) hr = E_NOTIMPL;
    }
    if (SUCCEEDED(hr) && facts.discClass == 1) {
        // A CD whose file system is UDF is not catalogued.
        DWORD fileSystem = TRELLIS_FS_NONE;
        if (forImport && SUCCEEDED(properties->GetFileSystemType(&fileSystem)) &&
            (fileSystem == TRELLIS_FS_UDF || fileSystem == TRELLIS_FS_UDF_BRIDGE))
            hr = E_NOTIMPL;
        DWORD format = 0;
        if (step(properties->GetTrackFormat(&format, 1)) >= 0) facts.usedType = CdUsedType(format);
    } else if (SUCCEEDED(hr)) {
        facts.usedType = CDiscIdentity::DataDisc;
    }
    if (SUCCEEDED(hr) && !facts.IsAudio()) {
        step(properties->GetVolumeTime(&facts.time));
        step(properties->GetPartitionSize(&facts.partitionSize));
        step(properties->GetFileSystemType(&facts.fileSystem));
        if (SUCCEEDED(hr) && forImport) {
            const TrellisVolumeTime& t = facts.time;
            facts.dateText = QString::asprintf("%02d/%02d/%04d %02d:%02d:%02d", t.month, t.day, t.year, t.hour,
                                               t.minute, t.second);
            WCHAR label[33] = {};
            step(properties->GetVolumeLabel(label, 33));
            facts.label = CollapseBlanks(QString::fromUtf16(label));
        }
    } else if (SUCCEEDED(hr) && forImport) {
        facts.dateText = QDateTime::currentDateTime().toString(QStringLiteral("MM/dd/yyyy HH:mm:ss"));
        facts.label = LoadString(5114);
    }
    step(properties->GetSessionInfo(&facts.sessions, &facts.tracks));
    if (SUCCEEDED(hr) && facts.usedType != CDiscIdentity::DataDisc)
        for (LONG track = 1; track <= facts.tracks && SUCCEEDED(hr); ++track) {
            DWORD start = 0, offset = 0;
            if (step(properties->GetTrackStart(track, &start, &offset, 0)) >= 0) facts.trackStarts.push_back(start + offset);
        }
    if (properties) properties->Release();
    m_pDiscInfo->Close();
    m_bDiscInfoOpen = false;
    m_pDiscInfo->Detach();
    return hr;
}

HRESULT CDiscAccess::CountPass(DiscFacts& facts)
{
    IUnknown* object = nullptr;
    HRESULT hr = m_pEngine->CreateObject(IsCdMedia(facts.mediaType) ? CLSID_TrellisCdReader : CLSID_TrellisOtherReader,
                                         &object);
    if (FAILED(hr)) return hr;
    ITrellisReader* reader = nullptr;
    hr = object->QueryInterface(IID_ITrellisReader, reinterpret_cast<void**>(&reader));
    object->Release();
    if (FAILED(hr)) return hr;
    hr = reader->Attach(m_pSelectedDevice);
    if (SUCCEEDED(hr)) hr = reader->Open();
    if (SUCCEEDED(hr)) {
        // The still-running answer is negative: compare with it, do not test SUCCEEDED.
        hr = reader->StartParse(6, 0, 0);
        if (SUCCEEDED(hr))
            do hr = reader->WaitParse(1000, nullptr, nullptr);
            while (hr == TRELLIS_S_PARSE_RUNNING);
        if (SUCCEEDED(hr)) hr = reader->GetTreeCounts(&facts.counts);
        if (SUCCEEDED(hr)) hr = reader->GetUsedBlocks(0, &facts.usedBlocks);
        reader->Close();
    }
    reader->Detach();
    reader->Release();
    return hr;
}

HRESULT CDiscAccess::ReadDiscProperties(char* identity, WCHAR* label, WCHAR* spareText, int* audioFlag,
                                        int* discClass, int* folderCount, int* fileCount, INT64* usedBytes,
                                        INT64* capacityBytes, WCHAR* dateText)
{
    if (!identity || !label || !spareText || !audioFlag || !discClass || !folderCount || !fileCount || !usedBytes ||
        !capacityBytes || !dateText)
        return E_POINTER;
    if (!m_pEngine || !m_pSelectedDevice) return E_UNEXPECTED;
    if (!m_pDiscInfo) return E_POINTER;
    m_bBusy = true;
    DiscFacts facts;
    HRESULT hr = ReadFacts(m_pSelectedDevice, true, facts);
    // An audio disc has no file system to count: its tracks are its entries.
    if (SUCCEEDED(hr) && !facts.IsAudio()) hr = CountPass(facts);
    if (SUCCEEDED(hr)) {
        CDiscIdentity discIdentity;
        facts.FillIdentity(discIdentity);
        hr = discIdentity.GetIdentity(identity, 33);
    }
    m_bBusy = false;
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
    if (!m_pEngine) return E_UNEXPECTED;
    ITrellisDevice* device = nullptr;
    if (FAILED(m_pEngine->GetDrive(engineIndex, &device)) || !device) return E_POINTER;
    DiscFacts facts;
    HRESULT hr = ReadFacts(device, false, facts);
    device->Release();
    if (FAILED(hr)) return hr;
    CDiscIdentity discIdentity;
    facts.FillIdentity(discIdentity);
    return discIdentity.GetIdentity(identity, 33);
}
