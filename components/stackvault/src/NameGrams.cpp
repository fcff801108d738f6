#include "NameGrams.h"

#include "FileSpans.h"
#include "GramTally.h"
#include "LibrarySchema.h"

#include <sqlite3.h>
#include <string_view>

namespace {

using NameGrams::DiscTallies;

HRESULT Store(SqliteConnection& db, EntryKind kind, const DiscTallies& tallies)
{
    auto upsert = db.Statement("INSERT INTO name_grams(gram, kind, disc_id, hits) VALUES(?1, ?2, ?3, ?4)"
                               " ON CONFLICT(gram, kind, disc_id) DO UPDATE SET hits = hits + excluded.hits");
    if (!upsert) return E_FAIL;
    int rc = SQLITE_DONE;
    for (const auto& [disc, tally] : tallies) {
        tally.ForEach([&](std::string_view gram, int hits) {
            if (rc != SQLITE_DONE) return;
            upsert->Reset();
            upsert->BindUtf8(1, QByteArray(gram.data(), qsizetype(gram.size())));
            upsert->Bind(2, static_cast<int64_t>(kind));
            upsert->Bind(3, disc);
            upsert->Bind(4, hits);
            rc = upsert->Run();
        });
        if (rc != SQLITE_DONE) return db.Failure(rc, "name grams");
    }
    return S_OK;
}

// (disc id, folded name) of the files of disc ?1, the fold read by its id
// or made from the name.
std::string DiscFileNamesSql(bool storedFolds, bool spans)
{
    const std::string files = " WHERE " + FileSpans::OfDisc("f", "?1", spans);
    return storedFolds ? "SELECT n.disc_id, n.fold FROM files f CROSS JOIN file_folds n ON n.id = f.id" + files
                       : "SELECT f.disc_id, sv_fold(f.name) FROM files f" + files;
}

} // namespace

namespace NameGrams {

bool Answers(const QByteArray& foldedQuery) { return GramTally::Answers(foldedQuery); }

HRESULT Add(SqliteConnection& db, EntryKind kind, const char* select, int64_t parameter)
{
    auto names = db.Statement(select);
    if (!names) return E_FAIL;
    names->Bind(1, parameter); // a statement without ?1 ignores it
    DiscTallies tallies;
    int rc = SQLITE_DONE;
    while ((rc = names->Step()) == SQLITE_ROW) tallies[names->Int64(0)].AddName(names->TextView(1));
    if (rc != SQLITE_DONE) return db.Failure(rc, "names for grams");
    return Store(db, kind, tallies);
}

HRESULT StoreImported(SqliteConnection& db, EntryKind kind, const DiscTallies& tallies, int64_t importId)
{
    auto ofImport = db.Statement("SELECT 1 FROM discs WHERE id = ?1 AND import_id = ?2");
    if (!ofImport) return E_FAIL;
    DiscTallies kept;
    for (const auto& [disc, tally] : tallies) {
        ofImport->Reset();
        ofImport->Bind(1, disc);
        ofImport->Bind(2, importId);
        const int rc = ofImport->Step();
        if (rc == SQLITE_ROW) kept.emplace(disc, tally);
        else if (rc != SQLITE_DONE) return db.Failure(rc, "import discs");
    }
    return Store(db, kind, kept);
}

HRESULT Count(SqliteConnection& db, EntryKind kind, const QByteArray& foldedQuery, LONG* count)
{
    if (NextUncounted(db) != 0) return E_NOTIMPL;
    auto query = db.Statement("SELECT coalesce(sum(hits), 0) FROM name_grams WHERE gram = ?1 AND kind = ?2"
                              " AND disc_id NOT IN (SELECT id FROM discs WHERE import_id IS NOT NULL)");
    if (!query) return E_NOTIMPL; // a library opened read-only before the counts were built
    query->BindUtf8(1, foldedQuery);
    query->Bind(2, static_cast<int64_t>(kind));
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return db.Failure(rc, "gram count");
    *count = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT AddAll(SqliteConnection& db)
{
    const bool stored = LibrarySchema::StoresFolds(db);
    HRESULT hr = Add(db, EntryKind::Files,
                     stored ? "SELECT disc_id, fold FROM file_folds"
                            : "SELECT f.disc_id, sv_fold(f.name) FROM files f"
                              " WHERE f.disc_id IN (SELECT id FROM discs WHERE import_id IS NULL)");
    if (SUCCEEDED(hr))
        hr = Add(db, EntryKind::Folders,
                 stored ? "SELECT disc_id, fold FROM folder_folds"
                        : "SELECT f.disc_id, sv_fold(f.name) FROM folders f"
                          " WHERE f.disc_id IN (SELECT id FROM discs WHERE import_id IS NULL)");
    return hr;
}

int MarkAllUncounted(SqliteConnection& db)
{
    return db.Execute("INSERT OR IGNORE INTO name_grams_uncounted(disc_id) SELECT id FROM discs WHERE import_id IS NULL");
}

int64_t NextUncounted(SqliteConnection& db)
{
    auto next = db.Statement("SELECT disc_id FROM name_grams_uncounted ORDER BY disc_id LIMIT 1");
    return next && next->Step() == SQLITE_ROW ? next->Int64(0) : 0;
}

// The disc's names through the index of its folders and the span of its
// files, each fold read by its id or made from the name.
HRESULT CountDisc(SqliteConnection& db, int64_t disc)
{
    auto mark = db.Statement("DELETE FROM name_grams_uncounted WHERE disc_id = ?1");
    if (!mark) return E_FAIL;
    mark->Bind(1, disc);
    const int rc = mark->Run();
    if (rc != SQLITE_DONE) return db.Failure(rc, "uncounted disc");
    if (db.Changes() == 0) return S_FALSE;
    const bool stored = LibrarySchema::StoresFolds(db);
    static const std::string files[2][2] = {{DiscFileNamesSql(false, false), DiscFileNamesSql(false, true)},
                                            {DiscFileNamesSql(true, false), DiscFileNamesSql(true, true)}};
    HRESULT hr = Add(db, EntryKind::Files, files[stored][LibrarySchema::KeepsFileSpans(db)].c_str(), disc);
    if (SUCCEEDED(hr))
        hr = Add(db, EntryKind::Folders,
                 stored ? "SELECT n.disc_id, n.fold FROM folders f CROSS JOIN folder_folds n ON n.id = f.id WHERE f.disc_id = ?1"
                        : "SELECT f.disc_id, sv_fold(f.name) FROM folders f WHERE f.disc_id = ?1",
                 disc);
    return hr;
}

} // namespace NameGrams
