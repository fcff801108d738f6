#include "PrivateTempFolder.h"

#include "Diagnostics.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex& Lock()
{
    static std::mutex lock;
    return lock;
}

QString& Current()
{
    static QString path;
    return path;
}

void RemoveAtExit() { PrivateTempFolder::RemoveAll(); }

QString MakeFolder()
{
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/Albireo-XXXXXX"));
    if (!mkdtemp(pattern.data())) {
        DiagWriteAlways("PrivateTempFolder", "cannot make a temporary folder under %s", qUtf8Printable(QDir::tempPath()));
        return {};
    }
    return QFile::decodeName(pattern) + QLatin1Char('/');
}

} // namespace

bool PrivateTempFolder::IsPrivateFolder(const QString& path)
{
    // Without the trailing slash, or lstat would follow a link.
    QString bare = path;
    while (bare.size() > 1 && bare.endsWith(QLatin1Char('/'))) bare.chop(1);
    struct stat info {};
    if (lstat(QFile::encodeName(bare).constData(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 0077) == 0;
}

QString PrivateTempFolder::Path()
{
    std::lock_guard guard(Lock());
    QString& path = Current();
    if (!path.isEmpty() && IsPrivateFolder(path)) return path;
    static const bool registered = std::atexit(RemoveAtExit) == 0;
    (void)registered;
    path = MakeFolder();
    return path;
}

void PrivateTempFolder::RemoveAll()
{
    std::lock_guard guard(Lock());
    QString& path = Current();
    // Only a folder that is still ours is emptied: a link put in its place
    // after a removal is left alone.
    if (!path.isEmpty() && IsPrivateFolder(path)) QDir(path).removeRecursively();
    path.clear();
}
