#include "CDiscInfo.h"

#include "FileSystemProbe.h"
#include "TextDecode.h"

#include <cstring>

namespace {
constexpr DWORD kLeadInGap = 150;
}

CDiscInfo::~CDiscInfo() { Detach(); }

HRESULT CDiscInfo::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITrellisDiscInfo) {
        *object = static_cast<ITrellisDiscInfo*>(this);
    } else if (iid == IID_ITrellisDiscProperties) {
        *object = static_cast<ITrellisDiscProperties*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CDiscInfo::Attach(ITrellisDevice* device)
{
    CDevice* ours = nullptr;
    const HRESULT hr = CDevice::CheckAttach(device, &ours);
    if (FAILED(hr)) return hr;
    Detach();
    m_device = ours;
    m_device->AddRef();
    return S_OK;
}

HRESULT CDiscInfo::Open()
{
    if (!m_device) return E_UNEXPECTED;
    Close();
    std::unique_ptr<DiscMedium> medium;
    const HRESULT hr = m_device->OpenMedium(medium);
    if (FAILED(hr)) return hr;
    m_layout = medium->Layout();
    FileSystemProbe::Open(*medium, m_volume);
    // A disc without a volume label of its own (an audio CD) is named by
    // the title its image gives.
    if (m_volume.label.empty()) m_volume.label = m_layout.title;
    m_open = true;
    return S_OK;
}

HRESULT CDiscInfo::Close()
{
    m_open = false;
    m_layout = DiscLayout{};
    m_volume = VolumeInfo{};
    return S_OK;
}

HRESULT CDiscInfo::Detach()
{
    Close();
    SafeRelease(m_device);
    return S_OK;
}

HRESULT CDiscInfo::GetMediaInfo(DWORD* mediaType, DWORD* status, DWORD* capacitySectors, DWORD* usedSectors)
{
    if (!m_open) return E_UNEXPECTED;
    if (mediaType) *mediaType = m_layout.mediaType;
    if (status) *status = m_layout.status;
    if (capacitySectors) *capacitySectors = m_layout.capacity;
    if (usedSectors) *usedSectors = m_layout.leadOut;
    return S_OK;
}

const TrackLayout* CDiscInfo::Track(LONG track) const
{
    if (track < 1 || size_t(track) > m_layout.tracks.size()) return nullptr;
    return &m_layout.tracks[size_t(track) - 1];
}

HRESULT CDiscInfo::GetTrackFormat(DWORD* format, LONG track)
{
    if (!format) return E_POINTER;
    if (!m_open) return E_UNEXPECTED;
    const TrackLayout* found = Track(track);
    if (!found) return E_INVALIDARG;
    *format = found->format;
    return S_OK;
}

HRESULT CDiscInfo::GetSessionInfo(LONG* sessionCount, LONG* trackCount)
{
    if (!sessionCount || !trackCount) return E_POINTER;
    if (!m_open) return E_UNEXPECTED;
    *sessionCount = LONG(m_layout.tracks.empty() ? 0 : m_layout.sessions);
    *trackCount = LONG(m_layout.tracks.size());
    return S_OK;
}

HRESULT CDiscInfo::GetTrackStart(LONG track, DWORD* start, DWORD* offset, DWORD reserved)
{
    if (!start || !offset) return E_POINTER;
    if (reserved) return E_INVALIDARG;
    if (!m_open) return E_UNEXPECTED;
    const TrackLayout* found = Track(track);
    if (!found) return E_INVALIDARG;
    *start = found->start;
    *offset = kLeadInGap;
    return S_OK;
}

HRESULT CDiscInfo::GetVolumeTime(TrellisVolumeTime* time)
{
    if (!time) return E_POINTER;
    if (!m_open) return E_UNEXPECTED;
    if (m_volume.fsType == TRELLIS_FS_NONE) return E_FAIL;
    *time = m_volume.time;
    return S_OK;
}

HRESULT CDiscInfo::GetPartitionSize(DWORD* blocks)
{
    if (!blocks) return E_POINTER;
    if (!m_open) return E_UNEXPECTED;
    if (m_volume.fsType == TRELLIS_FS_NONE) return E_FAIL;
    *blocks = m_volume.partitionSize;
    return S_OK;
}

HRESULT CDiscInfo::GetFileSystemType(DWORD* type)
{
    if (!type) return E_POINTER;
    if (!m_open) return E_UNEXPECTED;
    *type = m_volume.fsType;
    return S_OK;
}

HRESULT CDiscInfo::GetVolumeLabel(LPWSTR buffer, DWORD capacity)
{
    if (!buffer) return E_POINTER;
    if (capacity == 0) return E_INVALIDARG;
    if (!m_open) return E_UNEXPECTED;
    const size_t length = TextDecode::WholeCharacterUnits(m_volume.label.data(), m_volume.label.size(), capacity - 1);
    std::memcpy(buffer, m_volume.label.data(), length * sizeof(char16_t));
    buffer[length] = 0;
    return S_OK;
}
