// The tables of a library on the database server, numbered versions and
// their migrations. Each migration runs with the version update in one
// transaction, under a lock, so two clients starting at once migrate once.
//
//   library_schema(version)
//   discs(id, identity, name, name_fold, tag_ids, label_id, media_class,
//         format_code, date_text, total_size, the properties AddDisc was
//         given, owner, import_id)
//   folders(id, disc_id, parent_id, path_id, label_id, name, size, type, time, fold)
//   files  (id, disc_id, folder_id, path_id, label_id, name, size, type, time, fold)
//         fold: the case-folded name, with a pg_trgm index for substring search;
//         the ids of names holding a character beyond ASCII have an index of their own
//   file_spans(disc_id, folder_id, first_id, last_id): the lowest and highest
//         id of each folder's files, by which a folder's and a disc's files are
//         found (FileSpanSql.h); the files have no index by disc and folder
//   name_grams(gram, kind, disc_id, hits): the gram tallies (GramTally.h),
//         keyed by (gram, kind, disc_id) with the hits in the key's index
//   paths(id, text UNIQUE); disc_paths(path_id, disc_id)
//   imports(id, owner, holder): open imports (owner: the instance's owner id;
//         holder: its process token, shown to those who wait for the slot)
//   tags(id, name, fold UNIQUE, visible); labels(id, picture32, picture128, picture360)
//   disc_gaps(disc_id, ...); disc_replacements(new_disc_id, old_disc_id, import_id)
//   sequences owner_ids and import_ids
//
// Rows of an import are written in the import's own transaction, so nobody
// sees them before it commits. A disc an import writes is marked
// (import_id) at once and is not listed until then; a disc whose owner
// (an engine instance, alive while it holds its advisory lock) is gone
// with its work unfinished is removed by the next client that cleans up.
#pragma once
#include "hresult.h"

class PgConnection;

namespace PgSchema {

// The version this program writes.
int CurrentVersion();
// Creates or migrates the tables. LIBRARY_E_SCHEMA_NEWER when the library
// is of a later version; ERROR_FILE_NOT_FOUND when it has no tables and
// `create` is false. Nothing is written when the library is current, so a
// role that may only read opens it. `writable`: whether this role may
// write the library's rows.
HRESULT Open(PgConnection& db, bool create, bool* writable);

} // namespace PgSchema
