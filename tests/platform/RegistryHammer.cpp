// A second process for the registry tests, on the stores named by the
// environment: "registry_hammer PREFIX N" writes N values "<PREFIX>-<i>"
// into HKCU\Hammer; "registry_hammer --binary KEY NAME VALUE" sets one
// 4-byte REG_BINARY value under HKCU.
#include "Registry.h"

#include <QString>
#include <cstdio>

static int SetBinary(const char* keyPath, const char* valueName, int value)
{
    const QString path = QString::fromLocal8Bit(keyPath), name = QString::fromLocal8Bit(valueName);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const WCHAR*>(path.utf16()), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    const LONG status = RegSetValueExW(key, reinterpret_cast<const WCHAR*>(name.utf16()), 0, REG_BINARY,
                                       reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc == 5 && QString::fromLocal8Bit(argv[1]) == "--binary")
        return SetBinary(argv[2], argv[3], QString::fromLocal8Bit(argv[4]).toInt());
    if (argc != 3) return 2;
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const int count = QString::fromLocal8Bit(argv[2]).toInt();
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Hammer", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    for (int i = 0; i < count; ++i) {
        const QString name = QString("%1-%2").arg(prefix).arg(i);
        const DWORD value = static_cast<DWORD>(i);
        if (RegSetValueExW(key, reinterpret_cast<const WCHAR*>(name.utf16()), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&value), 4) != ERROR_SUCCESS) {
            std::fprintf(stderr, "write %d failed\n", i);
            return 1;
        }
    }
    RegCloseKey(key);
    return 0;
}
