// Substring matching of case-folded names. Folded names (UTF-8) are
// indexed by FTS5 trigrams with positions, so a query of three or more
// characters is one exact phrase query on the index. Shorter queries scan
// the names with sv_name_has(name, foldedQuery), or, where the library
// stores its folded names, those with sv_contains(foldedName, foldedQuery).
// sv_name_has folds only names that are not ASCII. sv_fold(text) folds a
// text in SQL exactly as Utf16Text::Folded does.
// sv_listed(?, id) tells whether an id is one of the ascending ids bound
// to ? (BindListed), for rows read in ascending id order.
// sv_found(?, id, name, parent, size, time, disc, path) hands one entry a
// scan found to the receiver bound to ? (BindFound), inside the scan's own
// step: a scan of millions of hits then returns no row per hit;
// sv_found(?, id, name, disc, path) hands over an entry's place alone.
// sv_found_if(?, foldedQuery, lastId, entry...) hands the entry over only
// when its name holds the query, as sv_name_has tells, and is true for an
// id past lastId (a scan in id order then yields a row there and ends).
// sv_fold_packed(?, id, disc, path, name) is sv_fold(name) that also packs
// the file into the name blocks bound to ? (BindPack).
// sv_found_in_block(?, foldedQuery, firstId, disc, entries) hands over the
// place of each file of a block of names (NameBlocks) that holds the query.
#pragma once
#include "ILibraryListedEntries.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
class NameBlocks;
class SqliteStatement;

namespace NameMatch {

// The ids sv_listed looks for, and how far it has looked.
struct ListedIds {
    const std::vector<int32_t>& ids;
    size_t next = 0;
};

// Receives each entry sv_found is given (the name without its place in
// the entry); false ends the scan: sv_found then gives 1, so the statement
// yields a row, where it otherwise gives 0.
using FoundEntry = std::function<bool(const ListedEntry& entry, std::string_view name)>;

// sv_fold of an ASCII name: the name with A-Z lowered (case folding turns
// ASCII text into ASCII text). Names are folded by the hundred thousand.
bool IsAscii(std::string_view text);
void LowerAscii(std::string& name);

// Registers sv_contains, sv_name_has, sv_fold, sv_fold_packed, sv_listed, sv_found,
// sv_found_if and sv_found_in_block on the connection;
// SQLite's result.
int Register(sqlite3* db);
// Whether the folded query is long enough for the trigram index.
bool UsesIndex(const QByteArray& foldedQuery);
// FTS5 query text: the folded query as one quoted phrase.
QByteArray PhraseQuery(const QByteArray& foldedQuery);
// Binds `listed` (which must outlive the statement's run) for sv_listed.
int BindListed(SqliteStatement& statement, int index, ListedIds* listed);
// Binds `found` (which must outlive the statement's run) for sv_found.
int BindFound(SqliteStatement& statement, int index, FoundEntry* found);
// Binds `blocks` (which must outlive the statement's run) for sv_fold_packed.
int BindPack(SqliteStatement& statement, int index, NameBlocks* blocks);

} // namespace NameMatch
