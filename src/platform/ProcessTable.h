// The process table under /proc, standing in for the system's process
// snapshot: is a program of that executable name running?
#pragma once
#include <QString>
#include <QStringList>

namespace ProcessTable {

// The names a process goes by: its command name, and the last component of
// its executable and of its first argument (either separator, so a program
// run under a Windows compatibility layer shows as "Name.exe").
QStringList NamesOf(int pid);
// True when a process whose name is exactly `exeName` (letter case counts)
// runs and this process may signal it.
bool IsProcessRunning(const QString& exeName);

} // namespace ProcessTable
