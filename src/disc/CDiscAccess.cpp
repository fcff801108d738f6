#include "CDiscAccess.h"

#include "CScanWorker.h"
#include "Diagnostics.h"
#include "DwordReg.h"
#include "ProgramPaths.h"
#include "Registry.h"

#include <QRegularExpression>

namespace {

const WCHAR kSuiteKey[] = u"Software\\Quorvel\\Flintwell13";

// The suite's virtual drive services and the value that marks their drives.
struct VirtualDriveService {
    const char* serviceKey;
    const char16_t* valueName;
};
const VirtualDriveService kVirtualDriveServices[] = {
    {"SYSTEM\\CurrentControlSet\\services\\QvOvaldrum", u"ImagePath:"},
    {"SYSTEM\\CurrentControlSet\\services\\QvOvaldrum1.1", u"ImagePath:"},
    {"SYSTEM\\CurrentControlSet\\services\\QvVirtualBus01", u"ImagePath"},
};

const DWORD kCdMediaTypes[] = {0x1, 0x2, 0x4, 0x40000000, 0x40000001, 0x40000002, 0x40000004};

} // namespace

CDiscAccess::CDiscAccess()
{
    m_hrInit = LoadEngine();
    if (SUCCEEDED(m_hrInit)) m_hrInit = BuildDriveList();
}

CDiscAccess::~CDiscAccess()
{
    // A scan still running is cancelled first, so the wait is short.
    SetCancel(1);
    WaitForScan();
    m_pWorker.reset();
    m_discInfo.Reset();
    ReleaseSelected();
    m_engine.Reset();
    m_module.Unload();
}

HRESULT CDiscAccess::LoadEngine()
{
    // Loaded by its full path, so the current directory is left alone: a
    // command-line tool keeps the user's relative paths working.
    HRESULT hr = m_module.Load(ProgramPaths::ProgramFolder() + QStringLiteral("\\Trellis.dll"));
    if (FAILED(hr)) {
        DumpMsg("DiscAccess", "disc engine not loaded: %s", qPrintable(ModuleLoader::LastError()));
        return hr;
    }
    hr = m_module.CreateInstance(CLSID_TrellisEngine, IID_ITrellisEngineFactory, m_engine.PutVoid());
    if (FAILED(hr)) return hr;
    if (!m_engine) return E_POINTER;
    const HKEY root = HKEY_LOCAL_MACHINE;
    const DWORD length = sizeof kSuiteKey / sizeof(WCHAR) - 1;
    return m_engine->SetRegistryLocation(&root, kSuiteKey, length);
}

bool CDiscAccess::IsVirtualDrive(char letter) const
{
    for (const auto& service : kVirtualDriveServices) {
        const QString path = QString::asprintf("%s%s%c%s", service.serviceKey, "\\Drive", letter, ":");
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<const WCHAR*>(path.utf16()), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
            continue;
        BYTE data[2048];
        DWORD type = 0, size = sizeof data;
        const bool found = RegQueryValueExW(key, service.valueName, nullptr, &type, data, &size) == ERROR_SUCCESS &&
                           (type == REG_SZ || type == REG_EXPAND_SZ);
        RegCloseKey(key);
        if (found) return true;
    }
    return false;
}

HRESULT CDiscAccess::BuildDriveList()
{
    HRESULT hr = m_engine->RefreshDrives();
    if (FAILED(hr)) return hr;
    LONG count = 0;
    hr = m_engine->GetDriveCount(&count);
    if (FAILED(hr)) return hr;
    m_nDriveCount = count;
    DwordReg showVirtual(HKEY_LOCAL_MACHINE, kSuiteKey, u"ShowQvOvaldrumOnDriveList");
    const bool showVirtualDrives = showVirtual.Read() && showVirtual.Get() == 1;

    for (int index = 0; index < count; ++index) {
        ComPtr<ITrellisDevice> device;
        if (FAILED(m_engine->GetDrive(index, device.Put())) || !device) continue;
        char letter = 0;
        device->GetLetter(&letter);
        if (!showVirtualDrives && IsVirtualDrive(letter)) {
            --m_nDriveCount;
            continue;
        }
        TrellisInquiry inquiry{};
        device->GetInquiry(&inquiry);
        const QString name = CollapseBlanks(QString::asprintf("%s %s %s", inquiry.vendor, inquiry.product, inquiry.revision));
        m_driveNames.append(QString::asprintf("%c:\\", letter) + name);
        m_driveRoots[index] = QString::asprintf("%c:", letter);
        m_listedEngineIndexes.push_back(index);
    }

    ComPtr<IUnknown> object;
    hr = m_engine->CreateObject(CLSID_TrellisDiscInfo, object.Put());
    if (SUCCEEDED(hr) && object && FAILED(object->QueryInterface(IID_ITrellisDiscInfo, m_discInfo.PutVoid())))
        m_discInfo.Reset();
    SelectDrive(0);
    return S_OK;
}

QString CDiscAccess::CollapseBlanks(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    QString collapsed = text;
    collapsed.replace(blanks, QStringLiteral(" "));
    if (collapsed.endsWith(QLatin1Char(' '))) collapsed.chop(1);
    return collapsed;
}

int CDiscAccess::GetDriveNames(QStringList& names) const
{
    names = m_driveNames;
    return static_cast<int>(names.size());
}

int CDiscAccess::EngineIndexAt(int position) const
{
    return position >= 0 && position < static_cast<int>(m_listedEngineIndexes.size()) ? m_listedEngineIndexes[position]
                                                                                       : -1;
}

int CDiscAccess::PositionOfLetter(char letter) const
{
    const QString root = QString::asprintf("%c:", letter).toUpper();
    for (size_t i = 0; i < m_listedEngineIndexes.size(); ++i)
        if (m_driveRoots.value(m_listedEngineIndexes[i]).toUpper() == root) return static_cast<int>(i);
    return -1;
}

void CDiscAccess::ReleaseSelected()
{
    m_selectedDevice.Reset();
    m_cSelectedLetter = 0;
}

HRESULT CDiscAccess::SelectDrive(int position)
{
    if (!m_engine) return E_POINTER;
    ReleaseSelected();
    const int index = EngineIndexAt(position);
    if (index < 0) return E_INVALIDARG;
    const HRESULT hr = m_engine->GetDrive(index, m_selectedDevice.Put());
    if (FAILED(hr)) return hr;
    if (!m_selectedDevice) return E_POINTER;
    return m_selectedDevice->GetLetter(&m_cSelectedLetter);
}

HRESULT CDiscAccess::GetDriveLetter(char* letter) const
{
    if (!letter || !m_selectedDevice) return E_POINTER;
    *letter = m_cSelectedLetter;
    return S_OK;
}

HRESULT CDiscAccess::CheckDiscReady()
{
    if (!m_engine || !m_selectedDevice) return E_UNEXPECTED;
    LONG present = 0, busy = 1;
    const HRESULT hr = m_selectedDevice->GetDiscPresence(&present, &busy);
    if (FAILED(hr)) return hr;
    if (busy) return E_FAIL;
    if (!present) {
        m_selectedDevice->EjectMedia(1);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CDiscAccess::CheckDriveReady(int engineIndex)
{
    if (!m_engine) return E_UNEXPECTED;
    ComPtr<ITrellisDevice> device;
    if (FAILED(m_engine->GetDrive(engineIndex, device.Put())) || !device) return E_POINTER;
    LONG present = 0, busy = 1;
    const HRESULT hr = device->GetDiscPresence(&present, &busy);
    return SUCCEEDED(hr) && present && !busy ? S_OK : E_FAIL;
}

HRESULT CDiscAccess::EjectMedia()
{
    if (!m_selectedDevice) return E_UNEXPECTED;
    return m_selectedDevice->EjectMedia(1);
}

HRESULT CDiscAccess::LockMedia(LONG flag)
{
    if (!m_selectedDevice) return E_UNEXPECTED;
    m_bMediaLocked = flag != 0;
    return m_selectedDevice->LockMedia(flag);
}

int CDiscAccess::DiscClassOf(DWORD mediaType)
{
    switch (mediaType) {
    case 0x1: case 0x2: case 0x4: return 1;
    case 0x10: case 0x20: case 0x40: case 0x80: case 0x100: case 0x200: case 0x400: case 0x800: case 0x1000:
    case 0x2000: case 0x4000: return 2;
    case 0x10000: case 0x40000: case 0x100000: return 3;
    default: return 0;
    }
}

bool CDiscAccess::IsCdMedia(DWORD mediaType)
{
    for (DWORD cd : kCdMediaTypes)
        if (cd == mediaType) return true;
    return false;
}
