// What a disc's read missed (disc_gaps) and which disc an import's new
// reading replaces (disc_replacements; carried out when the import closes).
#pragma once
#include "ILibraryDiscReads.h"
#include "PgConnection.h"

namespace PgDiscReadStore {

HRESULT SetGaps(PgConnection& db, LONG discId, const DiscGapRecord& gaps);
HRESULT Gaps(PgConnection& db, LONG discId, DiscGapRecord& gaps);
// On the import's connection: the row goes with the import if it is undone.
HRESULT RegisterReplacement(PgConnection& db, int64_t importId, LONG newDiscId, LONG oldDiscId);

} // namespace PgDiscReadStore
