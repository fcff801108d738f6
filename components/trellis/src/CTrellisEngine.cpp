#include "CTrellisEngine.h"

#include "CDiscInfo.h"
#include "CImageDrive.h"
#include "CPhysicalDrive.h"
#include "CReader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kMaxPhysicalDrives = 23; // D..Z

// Where the srN devices are: /dev, or the folder named by
// ALBIREO_TRELLIS_DEVICE_DIR (tests stand files in for drives there).
std::string DeviceFolder()
{
    const char* folder = std::getenv("ALBIREO_TRELLIS_DEVICE_DIR");
    return folder && *folder ? folder : "/dev";
}

// The numbers N of the srN devices, in order.
std::vector<int> OpticalDeviceNumbers(const std::string& folder)
{
    std::vector<int> numbers;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 3 || name.compare(0, 2, "sr") != 0) continue;
        if (name.find_first_not_of("0123456789", 2) != std::string::npos) continue;
        const int number = std::stoi(name.substr(2, 3));
        if (number < kMaxPhysicalDrives) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace

CTrellisEngine::CTrellisEngine() : m_settings(std::make_shared<ImageDriveSettings>()) {}

CTrellisEngine::~CTrellisEngine() { ReleaseDrives(); }

HRESULT CTrellisEngine::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITrellisEngine || iid == IID_ITrellisEngineFactory) {
        *object = static_cast<ITrellisEngine*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CTrellisEngine::SetRegistryLocation(const HKEY* root, LPCWSTR keyPath, DWORD length)
{
    if (!root || !keyPath) return E_POINTER;
    std::u16string path(keyPath, length);
    while (!path.empty() && (path.back() == 0 || path.back() == u'\\')) path.pop_back();
    m_settings->SetLocation(*root, std::move(path));
    return S_OK;
}

void CTrellisEngine::ReleaseDrives()
{
    for (CDevice* drive : m_drives) drive->Release();
    m_drives.clear();
}

HRESULT CTrellisEngine::RefreshDrives()
{
    std::lock_guard lock(m_mutex);
    ReleaseDrives();
    std::string used;
    const std::string folder = DeviceFolder();
    for (int number : OpticalDeviceNumbers(folder)) {
        const char letter = char('D' + number);
        m_drives.push_back(new CPhysicalDrive(folder + "/sr" + std::to_string(number), letter));
        used.push_back(letter);
    }
    std::string letters = m_settings->Letters();
    char next = used.empty() ? 'D' : char(used.back() + 1);
    const DWORD count = m_settings->DriveCount();
    for (DWORD i = 0; i < count; ++i) {
        char letter = i < letters.size() ? letters[i] : 0;
        if (!letter || used.find(letter) != std::string::npos) {
            while (next <= 'Z' && used.find(next) != std::string::npos) ++next;
            if (next > 'Z') break;
            letter = next;
        }
        m_drives.push_back(new CImageDrive(m_settings, letter));
        used.push_back(letter);
    }
    m_listed = true;
    return S_OK;
}

HRESULT CTrellisEngine::GetDriveCount(LONG* count)
{
    if (!count) return E_POINTER;
    if (!m_listed) RefreshDrives();
    std::lock_guard lock(m_mutex);
    *count = LONG(m_drives.size());
    return S_OK;
}

HRESULT CTrellisEngine::GetDrive(LONG index, ITrellisDevice** device)
{
    if (!device) return E_POINTER;
    *device = nullptr;
    if (!m_listed) RefreshDrives();
    std::lock_guard lock(m_mutex);
    if (index < 0 || size_t(index) >= m_drives.size()) return E_INVALIDARG;
    *device = m_drives[size_t(index)];
    (*device)->AddRef();
    return S_OK;
}

HRESULT CTrellisEngine::CreateObject(REFCLSID classId, IUnknown** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (classId == CLSID_TrellisDiscInfo) {
        *object = static_cast<ITrellisDiscInfo*>(new CDiscInfo);
    } else if (classId == CLSID_TrellisCdReader || classId == CLSID_TrellisOtherReader) {
        *object = static_cast<ITrellisReader*>(new CReader);
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return S_OK;
}
