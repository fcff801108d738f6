#include "LibraryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace {
const QString kWal = QStringLiteral("-wal");
const QString kShm = QStringLiteral("-shm");
const QString kJournal = QStringLiteral("-journal");
constexpr int kCreationWaitMs = 2000;
constexpr int kCreationPollMs = 50;

// SQLite's lock bytes on Unix: a reader holds a read lock on part of the
// 510-byte shared range behind the pending byte at 1 GiB, for as long as
// a connection in WAL mode is open.
constexpr off_t kSharedFirst = 0x40000000 + 2;
constexpr off_t kSharedSize = 510;
} // namespace

namespace LibraryFile {

bool IsEmptied(const QString& path)
{
    // Another process that is creating the library has the file empty for
    // a moment, until its first transaction writes the header: an empty
    // file counts as emptied only when it stays so.
    for (int waited = 0;; waited += kCreationPollMs) {
        const QFileInfo file(path);
        const bool empty = file.exists() && file.size() == 0 && QFileInfo(path + kWal).size() == 0 &&
                           !QFileInfo::exists(path + kJournal);
        if (!empty || waited >= kCreationWaitMs) return empty;
        ::usleep(kCreationPollMs * 1000);
    }
}

bool IsOpenElsewhere(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = kSharedFirst;
    probe.l_len = kSharedSize;
    const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

QString Stamped(const QString& path, const QString& suffix)
{
    QDateTime time = QDateTime::currentDateTimeUtc();
    for (;; time = time.addMSecs(1)) { // two copies in the same millisecond get different names
        const QString stamped = path + suffix + QLatin1Char('-') + time.toString(QStringLiteral("yyyyMMddHHmmsszzz"));
        if (!QFile::exists(stamped)) return stamped;
    }
}

QStringList Stamps(const QString& path, const QString& suffix)
{
    const QFileInfo library(path);
    const QString prefix = library.fileName() + suffix + QLatin1Char('-');
    QStringList found;
    for (const QString& name : library.dir().entryList({prefix + QLatin1Char('*')}, QDir::Files, QDir::Name | QDir::Reversed))
        if (!name.endsWith(kWal) && !name.endsWith(kShm) && name.indexOf(QLatin1Char('.'), prefix.size()) < 0)
            found.append(library.dir().filePath(name));
    return found;
}

bool MoveAside(const QString& path, const QString& target)
{
    if (!QFile::rename(path, target)) return false;
    if (QFile::exists(path + kWal)) QFile::rename(path + kWal, target + kWal);
    QFile::remove(path + kShm);
    return true;
}

void Remove(const QString& path)
{
    for (const QString& name : {path, path + kWal, path + kShm}) QFile::remove(name);
}

} // namespace LibraryFile
