#include "CPhysicalDrive.h"

#include "CdioMedium.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

CPhysicalDrive::CPhysicalDrive(std::string devicePath, char letter) : m_devicePath(std::move(devicePath)), m_letter(letter) {}

HRESULT CPhysicalDrive::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITrellisDevice) {
        *object = static_cast<ITrellisDevice*>(this);
        AddRef();
        return S_OK;
    }
    if (iid == IID_ITrellisDevicePath) {
        *object = static_cast<ITrellisDevicePath*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CPhysicalDrive::GetDevicePath(LPWSTR buffer, DWORD capacity)
{
    if (!buffer) return E_POINTER;
    if (m_devicePath.size() + 1 > capacity) return E_INVALIDARG;
    for (size_t i = 0; i < m_devicePath.size(); ++i) buffer[i] = WCHAR(static_cast<unsigned char>(m_devicePath[i]));
    buffer[m_devicePath.size()] = 0;
    return S_OK;
}

HRESULT CPhysicalDrive::GetLetter(char* letter)
{
    if (!letter) return E_POINTER;
    *letter = m_letter;
    return S_OK;
}

std::string CPhysicalDrive::SysfsText(const char* attribute) const
{
    const std::string name = m_devicePath.substr(m_devicePath.rfind('/') + 1);
    std::ifstream file("/sys/block/" + name + "/device/" + attribute);
    std::string text;
    std::getline(file, text);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
    return text;
}

HRESULT CPhysicalDrive::GetInquiry(TrellisInquiry* info)
{
    if (!info) return E_POINTER;
    std::memset(info, 0, sizeof *info);
    // The kernel keeps the inquiry strings; reading them needs no access to the drive.
    std::strncpy(info->vendor, SysfsText("vendor").c_str(), sizeof info->vendor - 1);
    std::strncpy(info->product, SysfsText("model").c_str(), sizeof info->product - 1);
    std::strncpy(info->revision, SysfsText("rev").c_str(), sizeof info->revision - 1);
    return S_OK;
}

HRESULT CPhysicalDrive::Control(unsigned long request, unsigned long argument, int* result)
{
    const int fd = ::open(m_devicePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EACCES || errno == EPERM ? E_ACCESSDENIED : HresultFromErrno(errno);
    const int answer = ::ioctl(fd, request, argument);
    const int error = errno;
    ::close(fd);
    if (answer < 0) return HresultFromErrno(error);
    if (result) *result = answer;
    return S_OK;
}

HRESULT CPhysicalDrive::GetDiscPresence(LONG* present, LONG* busy)
{
    if (!present || !busy) return E_POINTER;
    int status = 0;
    const HRESULT hr = Control(CDROM_DRIVE_STATUS, CDSL_CURRENT, &status);
    if (FAILED(hr)) return hr;
    *present = status == CDS_DISC_OK ? 1 : 0;
    *busy = status == CDS_DRIVE_NOT_READY ? 1 : 0;
    return S_OK;
}

HRESULT CPhysicalDrive::EjectMedia(LONG open)
{
    if (!open) return Control(CDROMCLOSETRAY, 0);
    Control(CDROM_LOCKDOOR, 0);
    return Control(CDROMEJECT, 0);
}

HRESULT CPhysicalDrive::LockMedia(LONG lock) { return Control(CDROM_LOCKDOOR, lock ? 1 : 0); }

HRESULT CPhysicalDrive::OpenMedium(std::unique_ptr<DiscMedium>& medium)
{
    LONG present = 0, busy = 0;
    const HRESULT hr = GetDiscPresence(&present, &busy);
    if (FAILED(hr)) return hr;
    if (!present || busy) return TRELLIS_E_NO_DISC;
    auto cdio = CdioMedium::OpenDrive(m_devicePath);
    if (!cdio) return E_FAIL;
    medium = std::move(cdio);
    return S_OK;
}
