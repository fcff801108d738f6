#include "ConfinedFile.h"

#include "ResourceIds.h"
#include "StringResources.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// NAME_MAX of the file systems this runs on.
constexpr qsizetype kMaxNameBytes = 255;
// An extension longer than this is cut with the rest of a long name.
constexpr qsizetype kMaxKeptExtension = 16;

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0) close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

void Say(QString* why, const QString& text)
{
    if (why) *why = text;
}

QString NotAFileName(const QString& name)
{
    return FormatString(IDS_FMT_NOT_A_FILE_NAME, {name});
}

// The folder opened without following a link; -1 unless it is a folder of
// this user that no one else may write to.
int OpenOwnFolder(const QString& folder)
{
    if (folder.isEmpty() || QDir::isRelativePath(folder)) return -1;
    // Without a trailing slash, which would make open follow a link.
    QString bare = folder;
    while (bare.size() > 1 && bare.endsWith(u'/')) bare.chop(1);
    Descriptor fd(open(QFile::encodeName(bare).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (fd.Get() < 0 || fstat(fd.Get(), &info) != 0) return -1;
    if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH))) return -1;
    return fd.Release();
}

// A disc's name may take 255 UTF-16 units, more bytes than a file name
// here holds: a longer one is cut at a whole character, keeping a short
// extension so the desktop still knows what the file is.
QString FittedName(const QString& name)
{
    if (QFile::encodeName(name).size() <= kMaxNameBytes) return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot > 0 && name.size() - dot <= kMaxKeptExtension ? name.mid(dot) : QString();
    QString stem = name.left(name.size() - extension.size());
    while (!stem.isEmpty() && QFile::encodeName(stem + extension).size() > kMaxNameBytes)
        stem.chop(stem.size() > 1 && stem.back().isLowSurrogate() ? 2 : 1);
    return stem + extension;
}

} // namespace

bool ConfinedFile::IsOneFileName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(QChar(0));
}

ConfinedFile::ConfinedFile(const QString& folder, const QString& name, QString* why)
{
    const QString fitted = FittedName(name);
    if (!IsOneFileName(name) || !IsOneFileName(fitted)) {
        Say(why, NotAFileName(name));
        return;
    }
    const QString shownFolder = QDir::toNativeSeparators(folder);
    Descriptor dir(OpenOwnFolder(folder));
    if (dir.Get() < 0) {
        Say(why, FormatString(IDS_FMT_FOLDER_NOT_OURS, {fitted, shownFolder}));
        return;
    }
    const QByteArray encoded = QFile::encodeName(fitted);
    Descriptor fd(openat(dir.Get(), encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         S_IRUSR | S_IWUSR));
    if (fd.Get() < 0) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        Say(why, FormatString(IDS_FMT_FILE_NOT_CREATED, {fitted, shownFolder, reason}));
        return;
    }
    if (!m_file.open(fd.Get(), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        unlinkat(dir.Get(), encoded.constData(), 0);
        Say(why, FormatString(IDS_FMT_FILE_NOT_CREATED, {fitted, shownFolder, m_file.errorString()}));
        return;
    }
    fd.Release();
    m_path = QDir(folder).filePath(fitted);
}

void ConfinedFile::Discard()
{
    m_file.close();
    // The name is one checked part inside a folder of ours: removing by path
    // removes what was made.
    if (!m_path.isEmpty()) QFile::remove(m_path);
    m_path.clear();
}

QString ConfinedFile::PathBelow(const QString& root, const QString& backslashPath, QString* why)
{
    QString path = root;
    for (const QString& part : backslashPath.split(u'\\', Qt::SkipEmptyParts)) {
        if (!IsOneFileName(part)) {
            Say(why, NotAFileName(part));
            return {};
        }
        path += u'/' + part;
    }
    return path;
}
