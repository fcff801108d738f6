// How many names of each disc contain each character and each pair of
// characters (of the folded names). Queries of three or more characters
// are counted through the trigram index; shorter ones would have to scan
// every folded name, which at ten million names takes seconds. With these
// counts a one- or two-character query is counted at once, exactly: a
// folded query of one or two characters is contained in a name exactly
// when it is one of the name's grams.
//
// Kept with the rows: added when an import's names are folded, removed
// with the disc and rebuilt by a repair. A library written before the
// counts existed gets them disc by disc after it opens (UpgradeBuilder); until
// every disc is counted, short queries are counted by scanning.
#pragma once
#include "EntryWriter.h"
#include "GramTally.h"
#include "SqliteConnection.h"
#include "wintypes.h"

#include <QByteArray>
#include <unordered_map>

namespace NameGrams {

// Tallies by disc id.
using DiscTallies = std::unordered_map<int64_t, GramTally::Tally>;

// Whether a folded query is one these counts answer (one or two characters).
bool Answers(const QByteArray& foldedQuery);
// Adds the grams of the names `select` yields as (disc id, folded name)
// rows, with ?1 bound to `parameter` when the statement has it. Call
// inside a write transaction.
HRESULT Add(SqliteConnection& db, EntryKind kind, const char* select, int64_t parameter = 0);
// Adds the tallies an import made of its rows (ImportTally), for those of
// its discs that are still there. Call inside a write transaction.
HRESULT StoreImported(SqliteConnection& db, EntryKind kind, const DiscTallies& tallies, int64_t importId);
// Names of `kind` containing the folded query, on discs not being imported;
// E_NOTIMPL while some disc is still to be counted, or when the library has
// no counts (opened read-only before they could be made).
HRESULT Count(SqliteConnection& db, EntryKind kind, const QByteArray& foldedQuery, LONG* count);
// Builds the counts of every folded name (the counts must be empty).
HRESULT AddAll(SqliteConnection& db);
// Marks every disc of a library written before the counts existed as
// still to be counted (name_grams_uncounted).
int MarkAllUncounted(SqliteConnection& db);
// A disc still to be counted; 0 when there is none.
int64_t NextUncounted(SqliteConnection& db);
// Counts the names of a disc still to be counted and marks it counted;
// S_FALSE when it is counted already. Call inside a write transaction.
HRESULT CountDisc(SqliteConnection& db, int64_t disc);

} // namespace NameGrams
