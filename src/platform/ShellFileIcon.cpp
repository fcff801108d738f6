#include "ShellFileIcon.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace ShellFileIcon {

namespace {

// Without a desktop session (no platform theme) Qt knows neither an icon
// theme nor where themes lie: the XDG data folders' "icons" are searched
// and the first common theme installed stands in.
void EnsureIconTheme()
{
    static const bool done = [] {
        if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor")) return true;
        QStringList roots = QIcon::themeSearchPaths();
        for (const QString& folder :
             QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                       QStandardPaths::LocateDirectory))
            if (!roots.contains(folder)) roots << folder;
        QIcon::setThemeSearchPaths(roots);
        for (const char* theme : {"Adwaita", "breeze", "oxygen", "Tango"}) {
            const QString name = QString::fromLatin1(theme);
            for (const QString& root : QIcon::themeSearchPaths()) {
                if (!QFileInfo::exists(root + QLatin1Char('/') + name + QStringLiteral("/index.theme"))) continue;
                QIcon::setThemeName(name);
                return true;
            }
        }
        return false;
    }();
    Q_UNUSED(done);
}

} // namespace

QIcon ForName(const QString& fileName)
{
    static QHash<QString, QIcon> cache;
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (const auto found = cache.constFind(extension); found != cache.constEnd()) return *found;
    EnsureIconTheme();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QFileIconProvider().icon(QFileIconProvider::File);
    cache.insert(extension, icon);
    return icon;
}

} // namespace ShellFileIcon
