#include "ShellFileType.h"

#include <QHash>
#include <QMimeDatabase>
#include <QMutex>

namespace ShellFileType {

QString TypeName(const QString& fileName)
{
    static QMutex mutex;
    static QHash<QString, QString> byExtension;
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 ? fileName.mid(dot + 1).toLower() : QString();
    if (extension.isEmpty()) return QStringLiteral("File");
    QMutexLocker locker(&mutex);
    auto it = byExtension.constFind(extension);
    if (it != byExtension.constEnd()) return *it;
    const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
    QString name = type.isDefault() || type.comment().isEmpty() ? QStringLiteral("File") : type.comment();
    if (name.size() > 80) name.truncate(80);
    byExtension.insert(extension, name);
    return name;
}

} // namespace ShellFileType
