#include "ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <signal.h>

namespace {

QString LastComponent(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

QByteArray ReadSmall(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

} // namespace

namespace ProcessTable {

QStringList NamesOf(int pid)
{
    const QString folder = QStringLiteral("/proc/%1/").arg(pid);
    QStringList names;
    const QByteArray comm = ReadSmall(folder + QStringLiteral("comm")).trimmed();
    if (!comm.isEmpty()) names << QString::fromLocal8Bit(comm);
    const QString exe = QFileInfo(folder + QStringLiteral("exe")).symLinkTarget();
    if (!exe.isEmpty()) names << LastComponent(exe);
    const QByteArray cmdline = ReadSmall(folder + QStringLiteral("cmdline"));
    const QByteArray first = cmdline.left(cmdline.indexOf('\0'));
    if (!first.isEmpty()) names << LastComponent(QString::fromLocal8Bit(first));
    return names;
}

bool IsProcessRunning(const QString& exeName)
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        if (!isPid) continue;
        if (NamesOf(pid).contains(exeName, Qt::CaseSensitive) && ::kill(pid, 0) == 0) return true;
    }
    return false;
}

} // namespace ProcessTable
