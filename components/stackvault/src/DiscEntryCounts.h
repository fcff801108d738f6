// How many folders and files a disc has stored: its folders counted through
// their index by disc, its files within its span of file ids (FileSpans).
#pragma once
#include "SqliteConnection.h"
#include "wintypes.h"

namespace DiscEntryCounts {

HRESULT Count(SqliteConnection& db, LONG discId, LONG* folders, LONG* files);

} // namespace DiscEntryCounts
