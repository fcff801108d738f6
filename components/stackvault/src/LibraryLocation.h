// Where the library database lives, first match wins:
// 1. the environment variable ALBIREO_LIBRARY_DB (a file path; tests use it),
// 2. the registry string "LibraryDatabase" under HKEY_CURRENT_USER, then
//    HKEY_LOCAL_MACHINE, "Software\Quorvel\Flintwell13\Stackvault",
// 3. $XDG_DATA_HOME/Albireo/library.db (the user's data folder).
#pragma once
#include <QString>

namespace LibraryLocation {

QString DatabasePath();

} // namespace LibraryLocation
