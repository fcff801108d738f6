// Names the running process so that work it leaves unfinished in the
// library can be told apart from work of a process that is still alive:
// boot id, process id, the process's start time and its program name.
#pragma once
#include <QByteArray>
#include <QString>

namespace ProcessOwner {

// The token of this process.
QByteArray Current();
// Whether the process a token names is still running. A process that
// exists but whose start time cannot be read (another user's process
// under hidepid) counts as alive; a different start time means the pid
// was reused.
bool IsAlive(const QByteArray& token);
// The process id and program name a token names (0 and empty when the
// token is malformed).
qint64 ProcessId(const QByteArray& token);
QString Program(const QByteArray& token);

} // namespace ProcessOwner
