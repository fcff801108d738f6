#include "LibraryLocation.h"

#include "Registry.h"

#include <QStandardPaths>

namespace {
constexpr char16_t kKey[] = u"Software\\Quorvel\\Flintwell13\\Stackvault";
constexpr char16_t kValue[] = u"LibraryDatabase";

QString RegistryPath(HKEY root)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    char16_t buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof(buffer) - sizeof(char16_t);
    const LONG result = RegQueryValueExW(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return QString::fromUtf16(buffer);
}
} // namespace

namespace LibraryLocation {

QString DatabasePath()
{
    const QString fromEnvironment = qEnvironmentVariable("ALBIREO_LIBRARY_DB");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const QString fromRegistry = RegistryPath(root);
        if (!fromRegistry.isEmpty()) return fromRegistry;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Albireo/library.db");
}

bool IsServerAddress(const QString& place)
{
    return place.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           place.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

} // namespace LibraryLocation
