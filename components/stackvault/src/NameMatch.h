// Substring matching of case-folded names. Names are stored folded (UTF-8)
// and indexed by FTS5 trigrams with positions, so a query of three or more
// characters is one exact phrase query on the index. Shorter queries scan
// the folded names with sv_contains(foldedName, foldedQuery).
// sv_fold(text) folds a text in SQL exactly as Utf16Text::Folded does.
#pragma once
#include <QByteArray>

struct sqlite3;

namespace NameMatch {

// Registers sv_contains and sv_fold on the connection; SQLite's result.
int Register(sqlite3* db);
// Whether the folded query is long enough for the trigram index.
bool UsesIndex(const QByteArray& foldedQuery);
// FTS5 query text: the folded query as one quoted phrase.
QByteArray PhraseQuery(const QByteArray& foldedQuery);

} // namespace NameMatch
