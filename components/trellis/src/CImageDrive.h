// An image drive: a drive that holds a disc image instead of a disc. The
// image it holds is kept in the settings, so every process sees it.
#pragma once
#include "CDevice.h"
#include "ImageDriveSettings.h"

class CImageDrive : public CDevice, public ITrellisImageDrive {
public:
    CImageDrive(std::shared_ptr<ImageDriveSettings> settings, char letter);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    TRELLIS_COM_REFCOUNT

    HRESULT GetLetter(char* letter) override;
    HRESULT GetInquiry(TrellisInquiry* info) override;
    HRESULT GetDiscPresence(LONG* present, LONG* busy) override;
    HRESULT EjectMedia(LONG open) override;
    HRESULT LockMedia(LONG lock) override;

    HRESULT InsertImage(LPCWSTR imagePath) override;
    HRESULT EjectImage() override;
    HRESULT GetImagePath(LPWSTR buffer, DWORD capacity, DWORD* needed) override;
    HRESULT GetRefusalReason(LPWSTR buffer, DWORD capacity) override;

    HRESULT OpenMedium(std::unique_ptr<DiscMedium>& medium) override;

private:
    std::shared_ptr<ImageDriveSettings> m_settings;
    char m_letter;
    std::u16string m_refusal; // why the last InsertImage refused its file
};
