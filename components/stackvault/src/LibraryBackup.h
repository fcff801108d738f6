// Consistent copies of the library beside it, "<library>.backup-<time>",
// made with SQLite's online backup (safe while other connections write).
// The newest three are kept.
#pragma once
#include "hresult.h"

#include <QString>

namespace LibraryBackup {

constexpr int kKept = 3;

// Copies the library; *backupPath names the copy.
HRESULT Take(const QString& libraryPath, QString* backupPath);
// Take, once a day: S_FALSE when the newest backup is less than a day old,
// LIBRARY_E_DAMAGED (and no copy) when the library fails the quick check.
HRESULT TakeDaily(const QString& libraryPath);

} // namespace LibraryBackup
