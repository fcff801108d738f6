#include "RegistryStore.h"

#include "Diagnostics.h"
#include "ProgramPaths.h"
#include "Registry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Holds an exclusive flock on "<store>.lock" for the scope.
class StoreLock {
public:
    explicit StoreLock(const QString& storePath)
    {
        m_fd = ::open(QFile::encodeName(storePath + QStringLiteral(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                      0600);
        if (m_fd >= 0)
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {}
    }
    ~StoreLock()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

std::unique_ptr<RegistryStore> g_user, g_machine;
QMutex g_rootsMutex;

QString RootFile(const char* variable, const QString& fallback)
{
    const QByteArray value = qgetenv(variable);
    return value.isEmpty() ? fallback : QString::fromLocal8Bit(value);
}

LONG WriteError(int error) { return error == ENOSPC || error == EDQUOT ? ERROR_DISK_FULL : ERROR_WRITE_FAULT; }

} // namespace

RegistryStore::FileOps RegistryStore::FileOps::System()
{
    return {[](int fd, const void* data, size_t size) { return ::write(fd, data, size); },
            [](int fd) { return ::fdatasync(fd); },
            [](const char* from, const char* to) { return ::rename(from, to); }, [](int fd) { return ::fsync(fd); }};
}

RegistryStore::RegistryStore(QString filePath) : m_filePath(std::move(filePath)), m_data(std::make_shared<RegistryData>()) {}

RegistryStore::FileStamp RegistryStore::Stamp() const
{
    struct stat st {};
    if (::stat(QFile::encodeName(m_filePath).constData(), &st) != 0) return {};
    return {static_cast<qint64>(st.st_ino), static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void RegistryStore::LoadIfChanged()
{
    const FileStamp stamp = Stamp();
    if (stamp == m_stamp && m_data) return;
    m_stamp = stamp;
    m_damaged = false;
    QFile file(m_filePath);
    if (stamp.inode < 0 || !file.open(QIODevice::ReadOnly)) {
        m_data = std::make_shared<RegistryData>();
        return;
    }
    auto parsed = RegistryData::Parse(file.readAll());
    if (parsed) {
        m_data = std::make_shared<RegistryData>(std::move(*parsed));
        return;
    }
    m_damaged = true;
    m_data = std::make_shared<RegistryData>();
    if (!(m_reportedDamage == stamp)) {
        m_reportedDamage = stamp;
        DiagWriteAlways("Registry", "settings store %s is damaged; reading it as empty, it is kept aside on the next write",
                        QFile::encodeName(m_filePath).constData());
    }
}

std::shared_ptr<const RegistryData> RegistryStore::Snapshot()
{
    QMutexLocker locker(&m_mutex);
    LoadIfChanged();
    return m_data;
}

void RegistryStore::MoveDamagedAside()
{
    const QString aside = m_filePath + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    QFile::rename(m_filePath, aside);
    DiagWriteAlways("Registry", "damaged settings store moved to %s", QFile::encodeName(aside).constData());
}

bool RegistryStore::WriteAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = m_ops.write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// The rename lasts only once the folder that holds it is on the disk.
bool RegistryStore::SyncFolder()
{
    const int fd = ::open(QFile::encodeName(QFileInfo(m_filePath).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = m_ops.syncFolder(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

LONG RegistryStore::WriteFile(const RegistryData& data)
{
    const QString temp = m_filePath + QStringLiteral(".new-") + QString::number(::getpid());
    const QByteArray encoded = QFile::encodeName(temp);
    const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return errno == EACCES || errno == EROFS ? ERROR_ACCESS_DENIED : WriteError(errno);
    const bool written = WriteAll(fd, data.Serialize()) && m_ops.syncFile(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!written || m_ops.rename(encoded.constData(), QFile::encodeName(m_filePath).constData()) != 0) {
        const int failure = written ? errno : error;
        ::unlink(encoded.constData());
        return WriteError(failure);
    }
    return SyncFolder() ? ERROR_SUCCESS : WriteError(errno);
}

LONG RegistryStore::Modify(const std::function<LONG(RegistryData&, bool& changed)>& change)
{
    QMutexLocker locker(&m_mutex);
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    StoreLock lock(m_filePath);
    if (!lock.Held()) return ERROR_ACCESS_DENIED;
    LoadIfChanged();
    RegistryData working = *m_data;
    bool changed = false;
    const LONG result = change(working, changed);
    if (result != ERROR_SUCCESS || !changed) return result;
    if (m_damaged) MoveDamagedAside();
    const LONG written = WriteFile(working);
    if (written != ERROR_SUCCESS) return written;
    m_data = std::make_shared<RegistryData>(std::move(working));
    m_stamp = Stamp();
    m_damaged = false;
    return ERROR_SUCCESS;
}

RegistryStore& RegistryStore::CurrentUser()
{
    QMutexLocker locker(&g_rootsMutex);
    if (!g_user) {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        g_user = std::make_unique<RegistryStore>(RootFile("ALBIREO_REGISTRY_USER", config + QStringLiteral("/Albireo/user.reg")));
    }
    return *g_user;
}

RegistryStore& RegistryStore::LocalMachine()
{
    QMutexLocker locker(&g_rootsMutex);
    if (!g_machine)
        g_machine = std::make_unique<RegistryStore>(
            RootFile("ALBIREO_REGISTRY_MACHINE", ProgramPaths::MachineSettingsFolder() + QStringLiteral("/machine.reg")));
    return *g_machine;
}

void RegistryStore::ResetRoots()
{
    QMutexLocker locker(&g_rootsMutex);
    g_user.reset();
    g_machine.reset();
}
