// Names the running process so that work it leaves unfinished in the
// library can be told apart from work of a process that is still alive:
// boot id, process id and the process's start time.
#pragma once
#include <QByteArray>

namespace ProcessOwner {

// The token of this process.
QByteArray Current();
// Whether the process a token names is still running.
bool IsAlive(const QByteArray& token);

} // namespace ProcessOwner
