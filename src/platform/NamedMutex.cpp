#include "NamedMutex.h"

#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One place for every user and every environment: $TMPDIR must not make
// two starts use two folders (each would then run).
constexpr char kMachineFolder[] = "/tmp/.albireo-global";

// Every user's processes lock here, so the folder is made world-writable
// with the sticky bit, like /tmp; only a folder made here is changed.
void MakeShared(const QByteArray& path)
{
    if (::mkdir(path.constData(), 0700) != 0) return;
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    ::fchmod(fd, 01777);
    ::close(fd);
}

// A lock file made here: every user must be able to open it (whatever the umask).
int CreateLockFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd >= 0) ::fchmod(fd, 0666);
    return fd;
}

// A lock file that is there: opened as it is (a lock needs no write
// access), never through a link and never changed; only a plain file.
int OpenExistingLockFile(const QByteArray& path)
{
    int fd = ::open(path.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

} // namespace

bool NamedMutex::IsTrustedFolder(const QString& folder)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0) return false;
    const bool ownedByUsOrRoot = info.st_uid == 0 || info.st_uid == ::geteuid();
    const bool othersMayWrite = info.st_mode & (S_IWGRP | S_IWOTH);
    // lstat sees a link as a link, not as the folder it names.
    return S_ISDIR(info.st_mode) && ownedByUsOrRoot && (!othersMayWrite || (info.st_mode & S_ISVTX));
}

QString NamedMutex::RuntimeFolder()
{
    QString folder = qEnvironmentVariable("ALBIREO_RUNTIME_DIR");
    if (folder.isEmpty()) folder = QString::fromLatin1(kMachineFolder);
    while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    MakeShared(QFile::encodeName(folder));
    return IsTrustedFolder(folder) ? folder : QString();
}

QString NamedMutex::LockFilePath(const QString& name)
{
    const QString folder = RuntimeFolder();
    if (folder.isEmpty()) return {};
    QString base = name;
    if (base.startsWith(QStringLiteral("Global\\"), Qt::CaseInsensitive)) base = base.mid(7);
    for (QChar& c : base)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20) c = u'_';
    return folder + u'/' + base + QStringLiteral(".lock");
}

std::unique_ptr<NamedMutex> NamedMutex::Create(const QString& name, bool initiallyOwned, DWORD* lastError)
{
    *lastError = 0;
    const QString file = LockFilePath(name);
    if (file.isEmpty()) {
        *lastError = DWORD(EPERM);
        return nullptr;
    }
    const QByteArray path = QFile::encodeName(file);
    int fd = CreateLockFile(path);
    if (fd < 0 && errno == EEXIST) fd = OpenExistingLockFile(path);
    if (fd < 0) {
        *lastError = DWORD(errno);
        return nullptr;
    }
    std::unique_ptr<NamedMutex> mutex(new NamedMutex(fd));
    // Whether another process holds it is known only by trying to take it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *lastError = ERROR_ALREADY_EXISTS;
        return mutex;
    }
    if (initiallyOwned)
        mutex->m_bOwned = true;
    else
        ::flock(fd, LOCK_UN);
    return mutex;
}

void NamedMutex::Release()
{
    if (m_bOwned) ::flock(m_fd, LOCK_UN);
    m_bOwned = false;
}

NamedMutex::~NamedMutex()
{
    Release();
    ::close(m_fd);
}
