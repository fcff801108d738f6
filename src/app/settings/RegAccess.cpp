#include "RegAccess.h"

#include <algorithm>

namespace RegAccess {

void CopyText(WCHAR* field, int capacity, const WCHAR* text)
{
    int length = 0;
    if (text)
        while (length < capacity - 1 && text[length]) {
            field[length] = text[length];
            ++length;
        }
    std::fill(field + length, field + capacity, WCHAR(0));
}

static bool QueryOne(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, void* buffer, DWORD* size)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    const bool read = RegQueryValueExW(key, valueName, nullptr, nullptr, static_cast<BYTE*>(buffer), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read;
}

bool QueryWithFallback(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, void* buffer, DWORD* size)
{
    const DWORD offered = *size;
    if (QueryOne(root, keyPath, valueName, buffer, size)) return true;
    *size = offered;
    return QueryOne(HKEY_LOCAL_MACHINE, keyPath, valueName, buffer, size);
}

bool SetValue(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool written =
        RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

bool DeleteValue(HKEY root, const WCHAR* keyPath, const WCHAR* valueName)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    const bool deleted = RegDeleteValueW(key, valueName) == ERROR_SUCCESS;
    RegCloseKey(key);
    return deleted;
}

} // namespace RegAccess
