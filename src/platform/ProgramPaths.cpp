#include "ProgramPaths.h"

#include "PrivateTempFolder.h"

#include <QDir>
#include <QFileInfo>

namespace ProgramPaths {

QString ProgramFolder()
{
    const QByteArray overridden = qgetenv("ALBIREO_PROGRAM_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(QString::fromLocal8Bit(overridden));
    QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.canonicalFilePath()).absolutePath();
}

QString MachineSettingsFolder(const QString& programFolder)
{
    static const QString installed = QStringLiteral("/lib/albireo");
    if (!programFolder.endsWith(installed)) return programFolder;
    const QString prefix = programFolder.chopped(installed.size());
    const bool systemPrefix = prefix == QLatin1String("/usr") || prefix.endsWith(QLatin1String("/usr"));
    const QString root = systemPrefix ? prefix.chopped(4) : prefix;
    return root + QStringLiteral("/etc/albireo");
}

QString MachineSettingsFolder() { return MachineSettingsFolder(ProgramFolder()); }

QString TempFolder()
{
    QString folder = PrivateTempFolder::Path();
    folder.chop(1);
    return folder;
}

QString ToNativeSeparators(const QString& backslashPath)
{
    QString path = backslashPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

QString UnderProgramFolder(const QString& backslashPath)
{
    QString relative = ToNativeSeparators(backslashPath);
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    return ProgramFolder() + QLatin1Char('/') + relative;
}

QString ImageFile(const QString& imagePath)
{
    const QString relative = ToNativeSeparators(imagePath);
    if (QFileInfo(ProgramFolder() + QStringLiteral("/Image")).isDir())
        return ProgramFolder() + QLatin1Char('/') + relative;
    return QDir::currentPath() + QLatin1Char('/') + relative;
}

} // namespace ProgramPaths
