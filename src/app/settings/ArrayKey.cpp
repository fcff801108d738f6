#include "ArrayKey.h"

#include <QString>

namespace ArrayKey {

bool Enumerate(HKEY root, const WCHAR* keyPath, BYTE* buffer, DWORD bufferSize, const std::function<void(DWORD)>& append)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    WCHAR name[257];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 257;
        DWORD size = bufferSize;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS) break;
        append(size);
    }
    RegCloseKey(key);
    return true;
}

BOOL Rewrite(HKEY root, const WCHAR* keyPath, int count, DWORD type, DWORD size,
             const std::function<const BYTE*(int)>& dataAt)
{
    RegDeleteKeyW(root, keyPath);
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return FALSE;
    for (int i = 0; i < count; ++i) {
        const QString name = QString::number(i);
        RegSetValueExW(key, reinterpret_cast<const WCHAR*>(name.utf16()), 0, type, dataAt(i), size);
    }
    RegCloseKey(key);
    return TRUE;
}

} // namespace ArrayKey
