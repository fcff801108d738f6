#include "ShellFileType.h"

#include <QHash>
#include <QMimeDatabase>
#include <QMutex>

namespace {

// The type name of a lowered extension, asked of the MIME database once.
QString NameOfExtension(const QString& extension)
{
    static QMutex mutex;
    static QHash<QString, QString> byExtension;
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

} // namespace

namespace ShellFileType {

// Files side by side mostly share their extension: each thread keeps the
// answer for the last extension it asked about, as written.
QString TypeName(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QStringView extension = dot > 0 ? QStringView(fileName).mid(dot + 1) : QStringView();
    if (extension.isEmpty()) return QStringLiteral("File");
    thread_local QString lastExtension;
    thread_local QString lastName;
    if (extension != lastExtension) {
        lastExtension = extension.toString();
        lastName = NameOfExtension(lastExtension.toLower());
    }
    return lastName;
}

} // namespace ShellFileType
