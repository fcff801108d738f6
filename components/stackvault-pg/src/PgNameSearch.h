// Case-insensitive substring search over disc, folder and file names on
// the server. Names are stored case-folded exactly as the SQLite engine
// folds them (Utf16Text::Folded) and matched with LIKE on the folded name,
// which pg_trgm's trigram indexes serve; LIKE compares characters exactly,
// so both engines find the same names. Queries of up to three characters
// are counted from the gram tallies. Discs being imported are left out.
// Results come in the order the rows were stored (by id). Names holding a
// character beyond ASCII are few in most libraries: their rows have an
// index of their own (see kBeyondAscii), which a short query holding such a
// character reads instead of every row.
#pragma once
#include "LibraryRecords.h"
#include "PgConnection.h"
#include "PgEntryWriter.h"
#include "wintypes.h"

#include <QHash>
#include <QString>
#include <string>
#include <vector>

namespace PgNameSearch {

// The test of a folded name (the column `fold`) that holds a character
// beyond ASCII; the index of these rows, by id, carries the same test (the
// planner uses it only for a query that states the test as written there).
inline constexpr char kBeyondAscii[] = "fold ~ '[^[:ascii:]]'";

// The LIKE pattern of a folded query: its characters, matched anywhere.
QByteArray Pattern(const QByteArray& folded);

// The counts of a query from the gram tallies; `counted` false when not asked or not Tallied.
struct GramCounts {
    bool counted = false;
    LONG folders = 0;
    LONG files = 0;
};

// Every disc whose name holds the query, with its tags' names, in one round
// trip; with `grams`, the same round trip also counts a Tallied query's
// folders and files (the listing of a search that follows needs them).
HRESULT FindDiscs(PgConnection& db, std::u16string_view text, std::vector<DiscRecord>& found, GramCounts* grams = nullptr);
HRESULT CountEntries(PgConnection& db, PgEntryKind kind, std::u16string_view text, LONG* count);
HRESULT FillEntries(PgConnection& db, PgEntryKind kind, std::u16string_view text, ItemRecord* records, LONG count);
// Folders or files by id (one round trip) as FillEntries fills them; an
// empty record for each id that is gone. `pathTexts` receives the text of
// each record's path, by path id.
HRESULT FillByIds(PgConnection& db, PgEntryKind kind, const std::vector<int32_t>& ids, ItemRecord* records,
                  QHash<LONG, QString>& pathTexts);
// What a folded query binds as $1 of IdsSql: the text itself for one or
// two characters, else its LIKE pattern.
QByteArray Argument(const QByteArray& folded);
// The ids FillEntries would fill, in its order, for the folded query's Argument bound as $1.
std::string IdsSql(PgEntryKind kind, const QByteArray& folded);
// Statements that plan the listings' searches without running them: a new
// connection runs them ahead, so that the first search plans at once.
std::vector<std::string> WarmUpSql();
// Whether the gram tallies count a folded query (up to three characters).
bool Tallied(const QByteArray& folded);
// Counts of a Tallied folded query from the gram tallies, folders and
// files at once (one round trip).
HRESULT CountGrams(PgConnection& db, const QByteArray& folded, LONG* folders, LONG* files);

} // namespace PgNameSearch
