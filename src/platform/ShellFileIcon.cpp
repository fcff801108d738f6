#include "ShellFileIcon.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>

namespace ShellFileIcon {

QIcon ForName(const QString& fileName)
{
    static QHash<QString, QIcon> cache;
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (const auto found = cache.constFind(extension); found != cache.constEnd()) return *found;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QFileIconProvider().icon(QFileIconProvider::File);
    cache.insert(extension, icon);
    return icon;
}

} // namespace ShellFileIcon
