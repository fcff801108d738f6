#include "LibrarySchema.h"

#include "NameGrams.h"

#include "SqliteConnection.h"

#include <sqlite3.h>

namespace {
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS discs(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  identity TEXT NOT NULL,
  name TEXT NOT NULL,
  name_fold TEXT NOT NULL,
  tag_ids TEXT NOT NULL,
  label_id INTEGER NOT NULL,
  media_class INTEGER NOT NULL,
  format_code INTEGER NOT NULL,
  date_text TEXT NOT NULL,
  total_size INTEGER NOT NULL,
  audio_flag INTEGER NOT NULL,
  disc_class INTEGER NOT NULL,
  folder_count INTEGER NOT NULL,
  file_count INTEGER NOT NULL,
  used_bytes INTEGER NOT NULL,
  capacity_bytes INTEGER NOT NULL,
  owner TEXT,
  import_id INTEGER);
CREATE INDEX IF NOT EXISTS discs_by_identity ON discs(identity);
CREATE INDEX IF NOT EXISTS discs_importing ON discs(import_id) WHERE import_id IS NOT NULL;
CREATE INDEX IF NOT EXISTS discs_owned ON discs(owner) WHERE owner IS NOT NULL;

CREATE TABLE IF NOT EXISTS folders(
  id INTEGER PRIMARY KEY,
  disc_id INTEGER NOT NULL,
  parent_id INTEGER NOT NULL,
  path_id INTEGER NOT NULL,
  name TEXT NOT NULL,
  size INTEGER NOT NULL,
  type NOT NULL,
  time INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS folders_by_parent ON folders(disc_id, parent_id);

CREATE TABLE IF NOT EXISTS files(
  id INTEGER PRIMARY KEY,
  disc_id INTEGER NOT NULL,
  folder_id INTEGER NOT NULL,
  path_id INTEGER NOT NULL,
  name TEXT NOT NULL,
  size INTEGER NOT NULL,
  type NOT NULL,
  time INTEGER NOT NULL);

CREATE TABLE IF NOT EXISTS entry_types(id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE);

CREATE TABLE IF NOT EXISTS paths(id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS disc_paths(
  path_id INTEGER NOT NULL, disc_id INTEGER NOT NULL, PRIMARY KEY(path_id, disc_id)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS disc_paths_by_disc ON disc_paths(disc_id);

CREATE TABLE IF NOT EXISTS imports(id INTEGER PRIMARY KEY AUTOINCREMENT, owner TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS import_paths(
  import_id INTEGER NOT NULL, path_id INTEGER NOT NULL, PRIMARY KEY(import_id, path_id)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS import_paths_by_path ON import_paths(path_id);

CREATE TABLE IF NOT EXISTS tags(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL,
  fold TEXT NOT NULL UNIQUE,
  visible INTEGER NOT NULL DEFAULT 1);

CREATE TABLE IF NOT EXISTS labels(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  picture32 BLOB NOT NULL,
  picture128 BLOB NOT NULL,
  picture360 BLOB NOT NULL);

CREATE TABLE IF NOT EXISTS disc_gaps(
  disc_id INTEGER PRIMARY KEY,
  unread_folders INTEGER NOT NULL,
  unread_files INTEGER NOT NULL,
  reasons INTEGER NOT NULL,
  medium_bytes INTEGER NOT NULL,
  volume_bytes INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS name_grams(
  gram TEXT NOT NULL,
  kind INTEGER NOT NULL,
  disc_id INTEGER NOT NULL,
  hits INTEGER NOT NULL,
  PRIMARY KEY(gram, kind, disc_id)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS name_grams_by_disc ON name_grams(disc_id);
CREATE TABLE IF NOT EXISTS disc_replacements(
  new_disc_id INTEGER PRIMARY KEY,
  old_disc_id INTEGER NOT NULL,
  import_id INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS name_grams_uncounted(disc_id INTEGER PRIMARY KEY);
CREATE TABLE IF NOT EXISTS library_changes(generation INTEGER NOT NULL);
INSERT INTO library_changes(generation)
  SELECT CAST((julianday('now') - 2440587.5) * 86400000 AS INTEGER) WHERE NOT EXISTS(SELECT 1 FROM library_changes);
CREATE TABLE IF NOT EXISTS name_index_progress(
  import_id INTEGER NOT NULL,
  kind INTEGER NOT NULL,
  last_id INTEGER NOT NULL,
  PRIMARY KEY(import_id, kind)) WITHOUT ROWID;

PRAGMA user_version=8;
)sql";

// The name indexes of a library made before version 4: the folded names
// stored in tables of their own, which are the indexes' content.
constexpr const char* kStoredFoldNames = R"sql(
CREATE TABLE IF NOT EXISTS folder_folds(id INTEGER PRIMARY KEY, disc_id INTEGER NOT NULL, fold TEXT NOT NULL);
CREATE VIRTUAL TABLE IF NOT EXISTS folder_names USING fts5(
  fold, content='folder_folds', content_rowid='id', tokenize='trigram case_sensitive 1', columnsize=0);
CREATE TABLE IF NOT EXISTS file_folds(id INTEGER PRIMARY KEY, disc_id INTEGER NOT NULL, fold TEXT NOT NULL);
CREATE VIRTUAL TABLE IF NOT EXISTS file_names USING fts5(
  fold, content='file_folds', content_rowid='id', tokenize='trigram case_sensitive 1', columnsize=0);
)sql";

// The name indexes from version 4 on: without content; the folded names
// are made from the rows' names when needed (sv_fold).
constexpr const char* kContentlessNames = R"sql(
CREATE VIRTUAL TABLE IF NOT EXISTS folder_names USING fts5(
  fold, content='', tokenize='trigram case_sensitive 1', columnsize=0);
CREATE VIRTUAL TABLE IF NOT EXISTS file_names USING fts5(
  fold, content='', tokenize='trigram case_sensitive 1', columnsize=0);
)sql";
// Where the files of a folder are found from version 6: the range of their
// ids (FileSpans), a few bytes a folder.
constexpr const char* kFileSpans = R"sql(
CREATE TABLE IF NOT EXISTS file_spans(
  disc_id INTEGER NOT NULL,
  folder_id INTEGER NOT NULL,
  first_id INTEGER NOT NULL,
  last_id INTEGER NOT NULL,
  PRIMARY KEY(disc_id, folder_id)) WITHOUT ROWID;
)sql";

// The files' names packed in blocks (NameBlocks), from version 7.
constexpr const char* kNameBlocks = R"sql(
CREATE TABLE IF NOT EXISTS file_name_blocks(
  first_id INTEGER PRIMARY KEY,
  last_id INTEGER NOT NULL,
  disc_id INTEGER NOT NULL,
  entries BLOB NOT NULL);
)sql";

// The blocks of names being made for a library of an earlier version
// (NameBlocks::ConvertNext): the discs finished when this version first
// opened it, and the ids still to go through up to the largest then.
constexpr const char* kNameBlocksConversion = R"sql(
CREATE TABLE IF NOT EXISTS name_blocks_missing(disc_id INTEGER PRIMARY KEY);
CREATE TABLE IF NOT EXISTS name_blocks_next(next_id INTEGER NOT NULL, last_id INTEGER NOT NULL);
INSERT OR IGNORE INTO name_blocks_missing SELECT id FROM discs WHERE import_id IS NULL;
INSERT INTO name_blocks_next SELECT 1, coalesce((SELECT max(id) FROM files), 0) WHERE NOT EXISTS (SELECT 1 FROM name_blocks_next);
)sql";

// The same in a library made before: an index of every file (15 bytes a
// file at ten million files).
constexpr const char* kFilesByFolder = "CREATE INDEX IF NOT EXISTS files_by_folder ON files(disc_id, folder_id);";

// 2: the gram counts of the names (NameGrams).
// 3: the change count (LibraryChanges), which starts at the library's
// creation time in milliseconds so that a library made anew (by a repair)
// never has the count of an older copy; and the discs whose gram counts
// are still to be made (those of a library of version 1, counted after it
// opens by UpgradeBuilder).
// 4: a new library's name indexes keep no copy of the folded names
// (kContentlessNames), and name_index_progress tells how far an import's
// close has indexed its rows. A library made before keeps its stored folds.
// 5: a new library's rows hold their type as an id into entry_types instead
// of the text, and no label id (an item's label is its disc's). A library
// made before keeps its rows as they are (both are read alike, EntryTypes).
// 6: a new library finds a folder's files by the range of their ids
// (file_spans) instead of an index of every file. A library made before
// keeps its index (both are read alike, FileSpans).
// 7: a new library keeps its files' names packed in blocks as well
// (file_name_blocks), for scans of every name.
// 8: a library of version 4 to 7 without them gets them after it opens
// (UpgradeBuilder) and scans its rows until then; one made before version
// 4 (stored folds) until a repair builds it anew.
constexpr int kVersion = 8;

bool HasTable(SqliteConnection& db, const char* name)
{
    auto query = db.Statement("SELECT EXISTS (SELECT 1 FROM sqlite_schema WHERE name = ?1)");
    if (!query) return false;
    query->BindUtf8(1, QByteArray(name));
    return query->Step() == SQLITE_ROW && query->Int64(0) != 0;
}
} // namespace

namespace LibrarySchema {

int Create(SqliteConnection& db)
{
    int64_t found = 0;
    {
        auto version = db.Statement("PRAGMA user_version");
        if (version && version->Step() == SQLITE_ROW) found = version->Int64(0);
    }
    if (found >= kVersion) return SQLITE_OK;
    int rc = db.Execute("BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) return rc;
    const bool fresh = !HasTable(db, "files");
    rc = db.Execute(kSchema);
    if (rc == SQLITE_OK) rc = db.Execute(fresh || !StoresFolds(db) ? kContentlessNames : kStoredFoldNames);
    if (rc == SQLITE_OK) rc = db.Execute(fresh || KeepsFileSpans(db) ? kFileSpans : kFilesByFolder);
    const bool blocks = fresh || KeepsNameBlocks(db), convert = !blocks && !StoresFolds(db);
    if (rc == SQLITE_OK && (blocks || convert)) rc = db.Execute(kNameBlocks);
    if (rc == SQLITE_OK && convert) rc = db.Execute(kNameBlocksConversion);
    if (rc == SQLITE_OK && found == 1) rc = NameGrams::MarkAllUncounted(db);
    if (rc == SQLITE_OK) rc = db.Execute("COMMIT");
    if (rc != SQLITE_OK) db.Execute("ROLLBACK");
    return rc;
}

bool StoresFolds(SqliteConnection& db) { return HasTable(db, "file_folds") || !HasTable(db, "file_names"); }

bool KeepsFileSpans(SqliteConnection& db) { return HasTable(db, "file_spans"); }

bool KeepsNameBlocks(SqliteConnection& db) { return HasTable(db, "file_name_blocks"); }

bool ConvertsNameBlocks(SqliteConnection& db) { return HasTable(db, "name_blocks_next"); }

bool ReadsNameBlocks(SqliteConnection& db) { return KeepsNameBlocks(db) && !ConvertsNameBlocks(db); }

bool StoresTypeTexts(SqliteConnection& db)
{
    auto query = db.Statement("SELECT EXISTS (SELECT 1 FROM pragma_table_info('files') WHERE name = 'label_id')");
    return query && query->Step() == SQLITE_ROW && query->Int64(0) != 0;
}

} // namespace LibrarySchema
