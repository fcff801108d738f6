// The library database as files beside each other: "<library>", its
// "-wal" and "-shm", and the copies kept next to it (".damaged-<time>",
// ".backup-<time>"). Questions about the file that must be answered
// before SQLite opens it, since opening changes it.
#pragma once
#include <QString>
#include <QStringList>

namespace LibraryFile {

// An existing library file of zero bytes without a write-ahead log: its
// content was lost (an empty new library always has a header). SQLite
// would take it for a new library and silently start an empty one.
bool IsEmptied(const QString& path);
// Another process has the library open (it holds SQLite's shared lock).
bool IsOpenElsewhere(const QString& path);
// "<path><suffix>-<UTC time>", the form every kept copy takes; a name not yet taken.
QString Stamped(const QString& path, const QString& suffix);
// The kept copies "<path><suffix>-<time>", newest first.
QStringList Stamps(const QString& path, const QString& suffix);
// Moves the file and its write-ahead log to `target` (log to "<target>-wal")
// and drops its shared-memory index; false when the file cannot be moved.
bool MoveAside(const QString& path, const QString& target);
// Removes the file with its "-wal" and "-shm".
void Remove(const QString& path);

} // namespace LibraryFile
