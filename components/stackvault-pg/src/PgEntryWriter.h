// Writes parsed file and folder rows with COPY, each row with its folded
// name, on an import's connection; a batch that fails leaves nothing of
// itself (a savepoint) and the import goes on. The gram tallies of the
// names written are kept for the import's close.
#pragma once
#include "GramTally.h"
#include "ParsedBatch.h"
#include "PgConnection.h"
#include "PgFileSpans.h"
#include "wintypes.h"

#include <unordered_map>

enum class PgEntryKind { Files = 0, Folders = 1 };

// The longest grams the server tallies, in characters: a query of up to
// three characters is counted from the tallies (GramTally.h).
constexpr int kPgGramLength = 3;

// Per disc, the tallies of the names an import wrote, one map per kind.
using PgGramTallies = std::unordered_map<int64_t, GramTally::Tally>;

namespace PgEntryWriter {

// Rows without ids (hasIds false) get the next free ids. Refused
// (E_INVALIDARG) when import `importId` no longer claims a disc of the rows.
// The folders of stored file rows are noted in `spans`.
HRESULT Insert(PgConnection& db, PgEntryKind kind, const ParsedBatch& batch, bool hasIds, int64_t importId,
               PgGramTallies& grams, PgFileSpans& spans);
// Adds the tallies to the library's gram counts (inside the import's transaction).
HRESULT StoreGrams(PgConnection& db, PgEntryKind kind, const PgGramTallies& grams);
// Largest id in use, 0 when none.
HRESULT MaxId(PgConnection& db, PgEntryKind kind, LONG* id);

} // namespace PgEntryWriter
