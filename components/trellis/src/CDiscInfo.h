// The disc-information object: opened around each read of a disc, it
// gives the disc's media, tracks and sessions and its file system's
// volume properties.
#pragma once
#include "CDevice.h"
#include "FileSystemReader.h"

class CDiscInfo : public ITrellisDiscInfo, public ITrellisDiscProperties, public ComObject {
public:
    ~CDiscInfo() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    TRELLIS_COM_REFCOUNT

    HRESULT Attach(ITrellisDevice* device) override;
    HRESULT Open() override;
    HRESULT Close() override;
    HRESULT Detach() override;

    HRESULT GetMediaInfo(DWORD* mediaType, DWORD* status, DWORD* capacitySectors, DWORD* usedSectors) override;
    HRESULT GetTrackFormat(DWORD* format, LONG track) override;
    HRESULT GetSessionInfo(LONG* sessionCount, LONG* trackCount) override;
    HRESULT GetTrackStart(LONG track, DWORD* start, DWORD* offset, DWORD reserved) override;
    HRESULT GetVolumeTime(TrellisVolumeTime* time) override;
    HRESULT GetPartitionSize(DWORD* blocks) override;
    HRESULT GetFileSystemType(DWORD* type) override;
    HRESULT GetVolumeLabel(LPWSTR buffer, DWORD capacity) override;

private:
    const TrackLayout* Track(LONG track) const;

    CDevice* m_device = nullptr;
    bool m_open = false;
    DiscLayout m_layout;
    VolumeInfo m_volume;
};
