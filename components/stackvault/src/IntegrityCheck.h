// SQLite's integrity checks on an open library. The quick check reads every
// page and checks each table's structure; the full check also compares
// every index with its rows, each name index with the names it holds, the
// file spans with the files they lead to, and the blocks of names with the
// files' rows.
#pragma once
#include "hresult.h"

#include <QString>

class SqliteConnection;

namespace IntegrityCheck {

// S_OK when sound; LIBRARY_E_DAMAGED with SQLite's first finding in
// *finding; another failure when the check could not run.
HRESULT Run(SqliteConnection& db, bool full, QString* finding);
// The same on the library file: ERROR_FILE_NOT_FOUND when missing, and
// LIBRARY_E_DAMAGED for an emptied file or one that is no database.
HRESULT RunOnFile(const QString& path, bool full, QString* finding);

} // namespace IntegrityCheck
