#include "NameGrams.h"

#include "GramTally.h"

#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using GramTally::Tally;

HRESULT Store(SqliteConnection& db, EntryKind kind, const std::unordered_map<int64_t, Tally>& tallies)
{
    auto upsert = db.Statement("INSERT INTO name_grams(gram, kind, disc_id, hits) VALUES(?1, ?2, ?3, ?4)"
                               " ON CONFLICT(gram, kind, disc_id) DO UPDATE SET hits = hits + excluded.hits");
    if (!upsert) return E_FAIL;
    for (const auto& [disc, tally] : tallies) {
        for (const auto& [gram, hits] : tally) {
            upsert->Reset();
            upsert->BindUtf8(1, QByteArray(gram.data(), qsizetype(gram.size())));
            upsert->Bind(2, static_cast<int64_t>(kind));
            upsert->Bind(3, disc);
            upsert->Bind(4, hits);
            const int rc = upsert->Run();
            if (rc != SQLITE_DONE) return db.Failure(rc, "name grams");
        }
    }
    return S_OK;
}

} // namespace

namespace NameGrams {

bool Answers(const QByteArray& foldedQuery) { return GramTally::Answers(foldedQuery); }

HRESULT Add(SqliteConnection& db, EntryKind kind, const char* select, int64_t parameter)
{
    auto names = db.Statement(select);
    if (!names) return E_FAIL;
    names->Bind(1, parameter); // a statement without ?1 ignores it
    std::unordered_map<int64_t, Tally> tallies;
    int rc = SQLITE_DONE;
    while ((rc = names->Step()) == SQLITE_ROW) GramTally::AddName(names->TextView(1), tallies[names->Int64(0)]);
    if (rc != SQLITE_DONE) return db.Failure(rc, "names for grams");
    return Store(db, kind, tallies);
}

HRESULT Count(SqliteConnection& db, EntryKind kind, const QByteArray& foldedQuery, LONG* count)
{
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
    HRESULT hr = Add(db, EntryKind::Files, "SELECT disc_id, fold FROM file_folds");
    if (SUCCEEDED(hr)) hr = Add(db, EntryKind::Folders, "SELECT disc_id, fold FROM folder_folds");
    return hr;
}

} // namespace NameGrams
