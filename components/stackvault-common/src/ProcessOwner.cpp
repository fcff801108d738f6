#include "ProcessOwner.h"

#include <QFile>
#include <QList>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {
// boot id : pid : start time : program (the program name may hold ':').
constexpr int kFields = 4;

QByteArray ReadFirstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readLine().trimmed();
}

QByteArray BootId() { return ReadFirstLine(QStringLiteral("/proc/sys/kernel/random/boot_id")); }

// The fields of /proc/<pid>/stat after the command name (field 2, which
// may hold blanks, so count from its closing bracket): field 3, the state,
// comes first; empty when the file cannot be read.
QList<QByteArray> StatFields(const QByteArray& pid)
{
    const QByteArray stat = ReadFirstLine(QStringLiteral("/proc/") + QString::fromLatin1(pid) + QStringLiteral("/stat"));
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 ? QList<QByteArray>() : stat.mid(close + 2).split(' ');
}

// Field 22: start time in clock ticks after boot.
QByteArray StartTime(const QList<QByteArray>& stat)
{
    constexpr int kStartTimeAfterName = 22 - 3;
    return stat.size() > kStartTimeAfterName ? stat.at(kStartTimeAfterName) : QByteArray();
}

// A process that has ended but is not yet reaped by its parent.
bool IsZombie(const QList<QByteArray>& stat)
{
    return !stat.isEmpty() && (stat.at(0) == "Z" || stat.at(0) == "X");
}

QByteArray ProgramName()
{
    const QByteArray name = ReadFirstLine(QStringLiteral("/proc/self/comm"));
    return name.isEmpty() ? QByteArray("?") : name;
}

QList<QByteArray> Fields(const QByteArray& token)
{
    QList<QByteArray> parts = token.split(':');
    if (parts.size() < kFields - 1) return {};
    // Tokens of older versions have no program; a program name may hold ':'.
    QByteArray program = parts.mid(kFields - 1).join(':');
    parts.resize(kFields - 1);
    parts.append(program);
    return parts;
}

// kill(pid, 0) answers for any process: EPERM means it exists but belongs
// to someone else.
bool Exists(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }
} // namespace

namespace ProcessOwner {

QByteArray Current()
{
    const QByteArray pid = QByteArray::number(static_cast<qint64>(getpid()));
    return BootId() + ':' + pid + ':' + StartTime(StatFields(pid)) + ':' + ProgramName();
}

bool IsAlive(const QByteArray& token)
{
    const QList<QByteArray> fields = Fields(token);
    if (fields.isEmpty() || fields.at(0) != BootId()) return false;
    bool isNumber = false;
    const qint64 pid = fields.at(1).toLongLong(&isNumber);
    if (!isNumber || !Exists(static_cast<pid_t>(pid))) return false;
    const QList<QByteArray> stat = StatFields(fields.at(1));
    if (stat.isEmpty()) return true; // hidden from us (hidepid): it exists, so count it alive
    return !IsZombie(stat) && StartTime(stat) == fields.at(2);
}

qint64 ProcessId(const QByteArray& token)
{
    const QList<QByteArray> fields = Fields(token);
    return fields.isEmpty() ? 0 : fields.at(1).toLongLong();
}

QString Program(const QByteArray& token)
{
    const QList<QByteArray> fields = Fields(token);
    return fields.isEmpty() ? QString() : QString::fromUtf8(fields.at(3));
}

} // namespace ProcessOwner
