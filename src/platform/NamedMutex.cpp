#include "NamedMutex.h"

#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QString NamedMutex::RuntimeFolder()
{
    QString folder = qEnvironmentVariable("ALBIREO_RUNTIME_DIR");
    if (folder.isEmpty()) folder = QDir::tempPath() + QStringLiteral("/.albireo-global");
    const QByteArray native = QFile::encodeName(folder);
    // Every user's processes lock here: world-writable with the sticky bit, like /tmp.
    if (::mkdir(native.constData(), 01777) == 0) ::chmod(native.constData(), 01777);
    return folder;
}

QString NamedMutex::LockFilePath(const QString& name)
{
    QString base = name;
    if (base.startsWith(QStringLiteral("Global\\"), Qt::CaseInsensitive)) base = base.mid(7);
    for (QChar& c : base)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20) c = u'_';
    return RuntimeFolder() + u'/' + base + QStringLiteral(".lock");
}

std::unique_ptr<NamedMutex> NamedMutex::Create(const QString& name, bool initiallyOwned, DWORD* lastError)
{
    *lastError = 0;
    const QByteArray path = QFile::encodeName(LockFilePath(name));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        *lastError = DWORD(errno);
        return nullptr;
    }
    ::fchmod(fd, 0666); // another user must be able to open it too (umask)
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
