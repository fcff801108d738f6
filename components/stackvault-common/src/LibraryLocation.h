// Where the library database lives, first match wins:
// 1. the environment variable ALBIREO_LIBRARY_DB (tests use it),
// 2. the registry string "LibraryDatabase" under HKEY_CURRENT_USER, then
//    HKEY_LOCAL_MACHINE, "Software\Quorvel\Flintwell13\Stackvault",
// 3. $XDG_DATA_HOME/Albireo/library.db (the user's data folder).
// The place is a file path for the SQLite engine, or the address of a
// PostgreSQL database ("postgresql://host/database", libpq's URI form) for
// the engine on a database server.
#pragma once
#include <QString>

namespace LibraryLocation {

QString DatabasePath();
// Whether a library place is a database server's address, not a file.
bool IsServerAddress(const QString& place);

} // namespace LibraryLocation
