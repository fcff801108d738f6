#include "ProcessOwner.h"

#include <QFile>
#include <QList>
#include <unistd.h>

namespace {
QByteArray ReadFirstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readLine().trimmed();
}

QByteArray BootId() { return ReadFirstLine(QStringLiteral("/proc/sys/kernel/random/boot_id")); }

// Field 22 of /proc/<pid>/stat: start time in clock ticks after boot. The
// command name (field 2) may hold blanks, so count from its closing bracket.
QByteArray StartTime(const QByteArray& pid)
{
    const QByteArray stat = ReadFirstLine(QStringLiteral("/proc/") + QString::fromLatin1(pid) + QStringLiteral("/stat"));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) return {};
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    constexpr int kStartTimeAfterName = 22 - 3;
    return fields.size() > kStartTimeAfterName ? fields.at(kStartTimeAfterName) : QByteArray();
}
} // namespace

namespace ProcessOwner {

QByteArray Current()
{
    const QByteArray pid = QByteArray::number(static_cast<qint64>(getpid()));
    return BootId() + ':' + pid + ':' + StartTime(pid);
}

bool IsAlive(const QByteArray& token)
{
    const QList<QByteArray> parts = token.split(':');
    if (parts.size() != 3 || parts.at(0) != BootId()) return false;
    const QByteArray startTime = StartTime(parts.at(1));
    return !startTime.isEmpty() && startTime == parts.at(2);
}

} // namespace ProcessOwner
