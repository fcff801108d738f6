// How many folders and files a disc has stored, from two index counts.
#pragma once
#include "SqliteConnection.h"
#include "wintypes.h"

namespace DiscEntryCounts {

HRESULT Count(SqliteConnection& db, LONG discId, LONG* folders, LONG* files);

} // namespace DiscEntryCounts
