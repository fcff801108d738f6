// The engine: lists the physical drives (/dev/sr0, /dev/sr1, ... with the
// letters D, E, ... by their number, so a drive keeps its letter) and the image drives of the settings
// (their letters from "ImageDriveLetters", else the letters after the last
// physical drive), and makes the disc-information and reader objects.
#pragma once
#include "CDevice.h"
#include "ImageDriveSettings.h"

#include <mutex>
#include <vector>

class CTrellisEngine : public ITrellisEngine, public ComObject {
public:
    CTrellisEngine();
    ~CTrellisEngine() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    TRELLIS_COM_REFCOUNT

    HRESULT SetRegistryLocation(const HKEY* root, LPCWSTR keyPath, DWORD length) override;
    HRESULT RefreshDrives() override;
    HRESULT GetDriveCount(LONG* count) override;
    HRESULT GetDrive(LONG index, ITrellisDevice** device) override;
    HRESULT CreateObject(REFCLSID classId, IUnknown** object) override;

private:
    void ReleaseDrives();

    std::mutex m_mutex;
    std::shared_ptr<ImageDriveSettings> m_settings;
    std::vector<CDevice*> m_drives;
    bool m_listed = false;
};
