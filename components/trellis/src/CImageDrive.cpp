#include "CImageDrive.h"

#include "Diagnostics.h"
#include "ImageOpener.h"

#include <QFileInfo>
#include <algorithm>
#include <QString>
#include <cstring>

namespace {

std::string LocalPath(const std::u16string& path) { return QString::fromStdU16String(path).toStdString(); }

} // namespace

CImageDrive::CImageDrive(std::shared_ptr<ImageDriveSettings> settings, char letter)
    : m_settings(std::move(settings)), m_letter(letter)
{
}

HRESULT CImageDrive::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITrellisDevice) {
        *object = static_cast<ITrellisDevice*>(this);
    } else if (iid == IID_ITrellisImageDrive) {
        *object = static_cast<ITrellisImageDrive*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CImageDrive::GetLetter(char* letter)
{
    if (!letter) return E_POINTER;
    *letter = m_letter;
    return S_OK;
}

HRESULT CImageDrive::GetInquiry(TrellisInquiry* info)
{
    if (!info) return E_POINTER;
    std::memset(info, 0, sizeof *info);
    std::strcpy(info->vendor, "Virtual");
    std::strcpy(info->product, "Image Drive");
    std::strcpy(info->revision, "1.0");
    return S_OK;
}

HRESULT CImageDrive::GetDiscPresence(LONG* present, LONG* busy)
{
    if (!present || !busy) return E_POINTER;
    const std::u16string path = m_settings->ImagePath(m_letter);
    *present = !path.empty() && QFileInfo(QString::fromStdU16String(path)).isFile() ? 1 : 0;
    *busy = 0;
    return S_OK;
}

HRESULT CImageDrive::EjectMedia(LONG) { return S_OK; }

HRESULT CImageDrive::LockMedia(LONG) { return S_OK; }

HRESULT CImageDrive::InsertImage(LPCWSTR imagePath)
{
    if (!imagePath) return E_POINTER;
    const QString path = QFileInfo(QString::fromUtf16(imagePath)).absoluteFilePath();
    if (path.isEmpty()) return E_INVALIDARG;
    std::unique_ptr<DiscMedium> medium;
    std::string reason;
    const HRESULT hr = ImageOpener::Open(path.toStdString(), medium, &reason);
    m_refusal = QString::fromStdString(reason).toStdU16String();
    if (FAILED(hr)) {
        DumpMsg("Trellis", "image %s refused: %s", qPrintable(path), reason.c_str());
        return hr;
    }
    m_refusal.clear();
    return m_settings->SetImagePath(m_letter, path.toStdU16String());
}

HRESULT CImageDrive::GetRefusalReason(LPWSTR buffer, DWORD capacity)
{
    if (!buffer) return E_POINTER;
    if (capacity == 0) return E_INVALIDARG;
    const size_t length = std::min<size_t>(m_refusal.size(), capacity - 1);
    std::memcpy(buffer, m_refusal.data(), length * sizeof(char16_t));
    buffer[length] = 0;
    return m_refusal.empty() ? S_FALSE : S_OK;
}

HRESULT CImageDrive::EjectImage()
{
    if (m_settings->ImagePath(m_letter).empty()) return S_FALSE;
    return m_settings->SetImagePath(m_letter, std::u16string());
}

HRESULT CImageDrive::GetImagePath(LPWSTR buffer, DWORD capacity, DWORD* needed)
{
    const std::u16string path = m_settings->ImagePath(m_letter);
    if (needed) *needed = DWORD(path.size() + 1);
    if (!buffer) return E_POINTER;
    if (capacity < path.size() + 1) return E_INVALIDARG;
    std::memcpy(buffer, path.c_str(), (path.size() + 1) * sizeof(char16_t));
    return path.empty() ? S_FALSE : S_OK;
}

HRESULT CImageDrive::OpenMedium(std::unique_ptr<DiscMedium>& medium)
{
    const std::u16string path = m_settings->ImagePath(m_letter);
    if (path.empty()) return TRELLIS_E_NO_DISC;
    const HRESULT hr = ImageOpener::Open(LocalPath(path), medium);
    return hr == HresultFromErrno(ENOENT) ? TRELLIS_E_NO_DISC : hr;
}
