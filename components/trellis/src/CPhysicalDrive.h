// A physical optical drive (/dev/srN). State queries open the device
// without blocking, so a drive without permission or without disc answers
// at once instead of hanging.
#pragma once
#include "CDevice.h"

#include <string>

class CPhysicalDrive : public CDevice, public ITrellisDevicePath {
public:
    CPhysicalDrive(std::string devicePath, char letter);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    TRELLIS_COM_REFCOUNT

    HRESULT GetLetter(char* letter) override;
    HRESULT GetInquiry(TrellisInquiry* info) override;
    HRESULT GetDiscPresence(LONG* present, LONG* busy) override;
    HRESULT EjectMedia(LONG open) override;
    HRESULT LockMedia(LONG lock) override;
    HRESULT OpenMedium(std::unique_ptr<DiscMedium>& medium) override;
    HRESULT GetDevicePath(LPWSTR buffer, DWORD capacity) override;

private:
    // Runs one CD-ROM ioctl on the device opened without blocking.
    HRESULT Control(unsigned long request, unsigned long argument, int* result = nullptr);
    std::string SysfsText(const char* attribute) const;

    std::string m_devicePath;
    char m_letter;
};
