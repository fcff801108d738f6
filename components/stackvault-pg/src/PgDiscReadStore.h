// What a disc's read missed (disc_gaps) and which disc an import's new
// reading replaces (disc_replacements; carried out when the import closes).
#pragma once
#include "ILibraryDiscReads.h"
#include "PgConnection.h"

namespace PgDiscReadStore {

// Advisory lock space (key: a disc id): an open import holds the lock of
// the disc it replaces until it commits or is undone, so that every client
// sees the disc is at work before the replacement row is visible to it.
constexpr int kReplacedDiscLocks = 1095516996;

HRESULT SetGaps(PgConnection& db, LONG discId, const DiscGapRecord& gaps);
HRESULT Gaps(PgConnection& db, LONG discId, DiscGapRecord& gaps);
// On the import's connection: the row goes with the import if it is undone,
// and the old disc's lock with the import's transaction.
HRESULT RegisterReplacement(PgConnection& db, int64_t importId, LONG newDiscId, LONG oldDiscId);

} // namespace PgDiscReadStore
