// Substring matching of case-folded names. Names are stored folded (UTF-8)
// beside their original text and indexed by FTS5 trigrams; a query of three
// or more characters narrows the rows by its trigrams, and the SQL function
// sv_contains(foldedName, foldedQuery) decides exactly (it also serves the
// full scan that one- and two-character queries need).
#pragma once
#include <QByteArray>

struct sqlite3;

namespace NameMatch {

// Registers sv_contains on the connection; SQLite's result.
int Register(sqlite3* db);
// Whether the folded query is long enough for the trigram index.
bool UsesIndex(const QByteArray& foldedQuery);
// FTS5 query text: the query's trigrams, each quoted, all required. Only a
// handful spread over the query are used; sv_contains checks the rest.
QByteArray TrigramQuery(const QByteArray& foldedQuery);

} // namespace NameMatch
