#include "EngineSettings.h"

#include "Registry.h"

namespace {
constexpr char16_t kKey[] = u"Software\\Quorvel\\Flintwell13\\Stackvault";

// The value's bytes and type from the first root that has it.
bool Query(const char16_t* name, DWORD* type, BYTE* data, DWORD* size)
{
    const DWORD capacity = *size;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        *size = capacity;
        const LONG result = RegQueryValueExW(key, name, nullptr, type, data, size);
        RegCloseKey(key);
        if (result == ERROR_SUCCESS) return true;
    }
    return false;
}
} // namespace

namespace EngineSettings {

QString Text(const char16_t* name)
{
    char16_t buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof(buffer) - sizeof(char16_t);
    if (!Query(name, &type, reinterpret_cast<BYTE*>(buffer), &size) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    return QString::fromUtf16(buffer);
}

std::optional<uint32_t> Number(const char16_t* name)
{
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (!Query(name, &type, reinterpret_cast<BYTE*>(&value), &size) || type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

} // namespace EngineSettings
