#include "PgSchema.h"

#include "Diagnostics.h"
#include "FileSpanSql.h"
#include "LibraryServerErrors.h"
#include "PgConnection.h"
#include "PgGramRecount.h"
#include "PgNameSearch.h"
#include "PgTransaction.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace {
// Migration n takes a library from version n to n + 1: its statements, then
// the rewriting of stored rows that statements alone cannot do, if any.
struct Migration {
    const char* sql;
    HRESULT (*rewrite)(PgConnection& db) = nullptr;
};

// Names holding a character beyond ASCII, by id, in each kind's own index:
// a short query holding such a character reads these rows only (no trigram
// index serves a query of one or two characters). A library marked with an
// earlier version than its tables have (as a restore may be) keeps them.
HRESULT IndexNamesBeyondAscii(PgConnection& db)
{
    HRESULT hr = S_OK;
    for (const char* table : {"folders", "files"}) {
        const std::string sql = std::string("CREATE INDEX IF NOT EXISTS ") + table + "_beyond_ascii ON " + table +
                                "(id) WHERE " + PgNameSearch::kBeyondAscii;
        if (SUCCEEDED(hr)) hr = db.Run(sql.c_str(), {}, "migration");
    }
    return hr;
}

// The spans of the rows stored before.
HRESULT BuildFileSpans(PgConnection& db) { return db.Run(FileSpanSql::kRebuildSql, {}, "migration"); }

constexpr Migration kMigrations[] = {
    {R"sql(
CREATE EXTENSION IF NOT EXISTS pg_trgm;
CREATE TABLE library_schema(version integer NOT NULL);
INSERT INTO library_schema VALUES(0);
CREATE SEQUENCE owner_ids;
CREATE SEQUENCE import_ids;
CREATE TABLE discs(
  id serial PRIMARY KEY,
  identity text NOT NULL,
  name text NOT NULL,
  name_fold text NOT NULL,
  tag_ids text NOT NULL,
  label_id integer NOT NULL,
  media_class integer NOT NULL,
  format_code integer NOT NULL,
  date_text text NOT NULL,
  total_size bigint NOT NULL,
  audio_flag integer NOT NULL,
  disc_class integer NOT NULL,
  folder_count integer NOT NULL,
  file_count integer NOT NULL,
  used_bytes bigint NOT NULL,
  capacity_bytes bigint NOT NULL,
  owner bigint,
  import_id bigint);
CREATE INDEX discs_by_identity ON discs(identity);
CREATE INDEX discs_importing ON discs(import_id) WHERE import_id IS NOT NULL;
CREATE INDEX discs_owned ON discs(owner) WHERE owner IS NOT NULL;
CREATE TABLE folders(
  id integer PRIMARY KEY,
  disc_id integer NOT NULL,
  parent_id integer NOT NULL,
  path_id integer NOT NULL,
  label_id integer NOT NULL,
  name text NOT NULL,
  size bigint NOT NULL,
  type text NOT NULL,
  time bigint NOT NULL,
  fold text NOT NULL);
CREATE INDEX folders_by_parent ON folders(disc_id, parent_id, id);
CREATE INDEX folders_by_fold ON folders USING gin (fold gin_trgm_ops);
CREATE TABLE files(
  id integer PRIMARY KEY,
  disc_id integer NOT NULL,
  folder_id integer NOT NULL,
  path_id integer NOT NULL,
  label_id integer NOT NULL,
  name text NOT NULL,
  size bigint NOT NULL,
  type text NOT NULL,
  time bigint NOT NULL,
  fold text NOT NULL);
CREATE INDEX files_by_folder ON files(disc_id, folder_id, id);
CREATE INDEX files_by_fold ON files USING gin (fold gin_trgm_ops);
CREATE TABLE name_grams(
  gram text NOT NULL,
  kind integer NOT NULL,
  disc_id integer NOT NULL,
  hits integer NOT NULL,
  PRIMARY KEY(gram, kind, disc_id));
CREATE INDEX name_grams_by_disc ON name_grams(disc_id);
CREATE TABLE paths(id integer PRIMARY KEY, text text NOT NULL UNIQUE);
CREATE TABLE disc_paths(path_id integer NOT NULL, disc_id integer NOT NULL, PRIMARY KEY(path_id, disc_id));
CREATE INDEX disc_paths_by_disc ON disc_paths(disc_id);
CREATE TABLE imports(id bigint PRIMARY KEY, owner bigint NOT NULL, holder text NOT NULL);
CREATE TABLE tags(
  id serial PRIMARY KEY,
  name text NOT NULL,
  fold text NOT NULL UNIQUE,
  visible integer NOT NULL DEFAULT 1);
CREATE TABLE labels(
  id serial PRIMARY KEY,
  picture32 bytea NOT NULL,
  picture128 bytea NOT NULL,
  picture360 bytea NOT NULL);
CREATE TABLE disc_gaps(
  disc_id integer PRIMARY KEY,
  unread_folders integer NOT NULL,
  unread_files integer NOT NULL,
  reasons integer NOT NULL,
  medium_bytes bigint NOT NULL,
  volume_bytes bigint NOT NULL);
CREATE TABLE disc_replacements(
  new_disc_id integer PRIMARY KEY,
  old_disc_id integer NOT NULL,
  import_id bigint NOT NULL);
)sql"},
    // Changes others should see send a notice naming the writer (see PgChangeWatch).
    {R"sql(
CREATE FUNCTION note_library_change() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pg_notify('library_changes', coalesce(current_setting('albireo.writer', true), ''));
  RETURN NULL;
END $$;
CREATE TRIGGER discs_changed AFTER INSERT OR UPDATE OR DELETE ON discs
  FOR EACH ROW EXECUTE FUNCTION note_library_change();
CREATE TRIGGER tags_changed AFTER INSERT OR UPDATE OR DELETE ON tags
  FOR EACH ROW EXECUTE FUNCTION note_library_change();
CREATE TRIGGER labels_changed AFTER INSERT OR UPDATE OR DELETE ON labels
  FOR EACH ROW EXECUTE FUNCTION note_library_change();
CREATE TRIGGER disc_gaps_changed AFTER INSERT OR UPDATE OR DELETE ON disc_gaps
  FOR EACH ROW EXECUTE FUNCTION note_library_change();
)sql"},
    // Paths in byte order whatever the database's collation: an import reads
    // the stored children of a folder's path as one range (PgPathStore::Children).
    {R"sql(
CREATE INDEX paths_in_byte_order ON paths(text COLLATE "C");
)sql"},
    // Names are tallied by their grams of up to three characters (they
    // were by those of one and two): every tally is counted again.
    {nullptr, PgGramRecount::Run},
    // A query's counts are read from the tallies' key alone: the key holds
    // the hits, so the few index pages of one gram answer (an index-only
    // scan) instead of one table page for every disc.
    {R"sql(
ALTER TABLE name_grams DROP CONSTRAINT name_grams_pkey,
  ADD CONSTRAINT name_grams_pkey PRIMARY KEY (gram, kind, disc_id) INCLUDE (hits);
)sql"},
    {nullptr, IndexNamesBeyondAscii},
    // A folder's files are found by the range of their ids (FileSpanSql.h)
    // instead of an index of every file by disc and folder. The lock waits
    // for any transaction still writing files and holds off new ones, so
    // the spans are made from every row; a library marked with an earlier
    // version than its tables have gets its spans made anew.
    {R"sql(
LOCK TABLE files IN SHARE MODE;
DROP INDEX IF EXISTS files_by_folder;
CREATE TABLE IF NOT EXISTS file_spans(
  disc_id integer NOT NULL,
  folder_id integer NOT NULL,
  first_id integer NOT NULL,
  last_id integer NOT NULL,
  PRIMARY KEY(disc_id, folder_id));
DELETE FROM file_spans;
)sql", BuildFileSpans},
};
constexpr int kVersion = static_cast<int>(std::size(kMigrations));
// Serialises migrations of one library between clients.
constexpr char kMigrationLock[] = "SELECT pg_advisory_xact_lock(1095516993, 1)";

// The library's version, -1 when it has no tables yet. The catalogue is read
// as a table, so that a client that waited for the migration lock sees the
// tables another client created meanwhile (to_regclass could answer from a
// cache that the lock does not refresh).
HRESULT FoundVersion(PgConnection& db, int64_t* version)
{
    int64_t exists = 0;
    const HRESULT hr = db.Number("SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n"
                                 " ON n.oid = c.relnamespace WHERE c.relname = 'library_schema'"
                                 " AND n.nspname = current_schema()",
                                 {}, &exists, "schema");
    if (FAILED(hr) || !exists) return *version = -1, hr;
    return db.Number("SELECT max(version) FROM library_schema", {}, version, "schema version");
}

// Whether this role may write the library's rows.
constexpr char kRights[] = "SELECT has_table_privilege('discs', 'INSERT')::int";
constexpr char kVersionAndRights[] = "SELECT max(version), has_table_privilege('discs', 'INSERT')::int FROM library_schema";
constexpr char kUndefinedTable[] = "42P01";

HRESULT Migrate(PgConnection& db)
{
    PgTransaction transaction(db);
    HRESULT hr = transaction.Started();
    if (SUCCEEDED(hr)) hr = db.Run(kMigrationLock, {}, "migration lock");
    int64_t version = 0;
    if (SUCCEEDED(hr)) hr = FoundVersion(db, &version);
    if (SUCCEEDED(hr) && version > kVersion) hr = LIBRARY_E_SCHEMA_NEWER;
    for (int64_t step = std::max<int64_t>(version, 0); SUCCEEDED(hr) && step < kVersion; ++step) {
        const Migration& migration = kMigrations[step];
        if (migration.sql) hr = db.Run(migration.sql, {}, "migration");
        if (SUCCEEDED(hr) && migration.rewrite) hr = migration.rewrite(db);
        if (SUCCEEDED(hr))
            hr = db.Run("UPDATE library_schema SET version = $1", PgParams().Int(step + 1), "schema version");
        if (SUCCEEDED(hr)) DumpMsg("StackvaultPg", "library schema now at version %lld", static_cast<long long>(step + 1));
    }
    return transaction.Finish(hr);
}
} // namespace

namespace PgSchema {

int CurrentVersion() { return kVersion; }

HRESULT Open(PgConnection& db, bool create, bool* writable)
{
    // A library that exists (nearly always) answers its version and this
    // role's rights in one round trip; the catalogue is asked only when it
    // has no tables yet.
    PgResult found = db.Exec(kVersionAndRights);
    int64_t version = found.Ok() && found.Rows() > 0 && !found.IsNull(0, 0) ? found.Int64(0, 0) : -1;
    if (!found.Ok() && std::string_view(found.SqlState()) != kUndefinedTable) return db.Failure(found, "schema version");
    if (!found.Ok()) {
        const HRESULT hr = FoundVersion(db, &version);
        if (FAILED(hr)) return hr;
    }
    if (version > kVersion) return LIBRARY_E_SCHEMA_NEWER;
    if (version < 0 && !create) return HresultFromWin32(2); // ERROR_FILE_NOT_FOUND
    const HRESULT hr = version == kVersion ? S_OK : Migrate(db);
    if (FAILED(hr)) return hr;
    if (found.Ok()) return *writable = found.Int64(0, 1) != 0, S_OK;
    int64_t rights = 0;
    const HRESULT asked = db.Number(kRights, {}, &rights, "privileges");
    *writable = rights != 0;
    return asked;
}

} // namespace PgSchema
