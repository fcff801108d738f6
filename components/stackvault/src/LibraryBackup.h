// Consistent copies of the library, "<library file name>.backup-<time>",
// beside the library or in the folder the setting "BackupFolder" names.
//
// A copy is made with SQLite's online backup, a few pages a step, inside one
// read transaction of the library: it is the library as it was when the copy
// began while other connections go on writing, and it takes two small page
// caches of memory (no memory map), whatever the library's size. The newest
// "BackupCopies" copies (3 unless set) are kept; the oldest go before a new
// one is made, so the copies never take more than that many times the
// library's size, and a copy starts only with room for it and kRoomToSpare.
#pragma once
#include "hresult.h"

#include <QString>
#include <cstdint>

namespace LibraryBackup {

constexpr int kDefaultKept = 3;
constexpr int64_t kRoomToSpare = 64 * 1024 * 1024;

// Copies the library; *backupPath names the copy.
HRESULT Take(const QString& libraryPath, QString* backupPath);
// Take, once a day: S_FALSE and no copy when "DailyBackup" is 0, when the
// newest copy is less than a day old, or when nothing has changed since
// the newest copy was made; LIBRARY_E_DAMAGED (and no copy) when the
// library fails the quick check.
HRESULT TakeDaily(const QString& libraryPath);
// The path to which ".backup-<time>" is added to name a copy.
QString CopyBase(const QString& libraryPath);

} // namespace LibraryBackup
