// The library's change count: the one row of library_changes, raised by
// every write that changed a row or the schema. A backup carries the count
// of the moment it was copied, so an equal count in the library means the
// newest backup still holds everything the library holds.
#pragma once
#include <QString>
#include <cstdint>

class SqliteConnection;

namespace LibraryChanges {

// The count of a library that has none yet.
constexpr int64_t kUnknown = -1;

// Raises the count; SQLite's result.
int Note(SqliteConnection& db);
// The count, or kUnknown (a library of an earlier schema, or no library).
int64_t Count(SqliteConnection& db);
// The count of a copy nobody writes (a backup), read without locking or
// changing it; kUnknown when it cannot be read.
int64_t CountOfCopy(const QString& path);

} // namespace LibraryChanges
