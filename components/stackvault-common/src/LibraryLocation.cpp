#include "LibraryLocation.h"

#include "EngineSettings.h"

#include <QStandardPaths>

namespace LibraryLocation {

QString DatabasePath()
{
    const QString fromEnvironment = qEnvironmentVariable("ALBIREO_LIBRARY_DB");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    const QString fromSettings = EngineSettings::Text(u"LibraryDatabase");
    if (!fromSettings.isEmpty()) return fromSettings;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Albireo/library.db");
}

bool IsServerAddress(const QString& place)
{
    return place.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           place.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

} // namespace LibraryLocation
