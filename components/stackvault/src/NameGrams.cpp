#include "NameGrams.h"

#include <algorithm>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using Tally = std::unordered_map<std::string, int>; // gram -> names holding it

// Length in bytes of the UTF-8 sequence a lead byte starts.
int SequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

// Where each code point of a UTF-8 text starts, and the text's end.
std::vector<size_t> CodePointStarts(std::string_view text)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); i += size_t(SequenceLength(static_cast<unsigned char>(text[i]))))
        starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

// Every distinct gram of one name, added to the disc's tally once. Grams
// are at most eight bytes, so the strings never leave their small buffer.
void TallyName(std::string_view fold, Tally& tally)
{
    const std::vector<size_t> starts = CodePointStarts(fold);
    std::vector<std::string_view> grams;
    for (size_t i = 0; i + 1 < starts.size(); ++i) {
        grams.push_back(fold.substr(starts[i], starts[i + 1] - starts[i]));
        if (i + 2 < starts.size()) grams.push_back(fold.substr(starts[i], starts[i + 2] - starts[i]));
    }
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
    for (const std::string_view gram : grams) ++tally[std::string(gram)];
}

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

bool Answers(const QByteArray& foldedQuery)
{
    const size_t points = CodePointStarts(std::string_view(foldedQuery.constData(), size_t(foldedQuery.size()))).size() - 1;
    return points == 1 || points == 2;
}

HRESULT Add(SqliteConnection& db, EntryKind kind, const char* select, int64_t parameter)
{
    auto names = db.Statement(select);
    if (!names) return E_FAIL;
    names->Bind(1, parameter); // a statement without ?1 ignores it
    std::unordered_map<int64_t, Tally> tallies;
    int rc = SQLITE_DONE;
    while ((rc = names->Step()) == SQLITE_ROW) TallyName(names->TextView(1), tallies[names->Int64(0)]);
    if (rc != SQLITE_DONE) return db.Failure(rc, "names for grams");
    return Store(db, kind, tallies);
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
    HRESULT hr = Add(db, EntryKind::Files, "SELECT disc_id, fold FROM file_folds");
    if (SUCCEEDED(hr)) hr = Add(db, EntryKind::Folders, "SELECT disc_id, fold FROM folder_folds");
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

// The disc's names through the indexes by disc, each fold read by its id.
HRESULT CountDisc(SqliteConnection& db, int64_t disc)
{
    auto mark = db.Statement("DELETE FROM name_grams_uncounted WHERE disc_id = ?1");
    if (!mark) return E_FAIL;
    mark->Bind(1, disc);
    const int rc = mark->Run();
    if (rc != SQLITE_DONE) return db.Failure(rc, "uncounted disc");
    if (db.Changes() == 0) return S_FALSE;
    HRESULT hr = Add(db, EntryKind::Files,
                     "SELECT n.disc_id, n.fold FROM files f CROSS JOIN file_folds n ON n.id = f.id WHERE f.disc_id = ?1",
                     disc);
    if (SUCCEEDED(hr))
        hr = Add(db, EntryKind::Folders,
                 "SELECT n.disc_id, n.fold FROM folders f CROSS JOIN folder_folds n ON n.id = f.id WHERE f.disc_id = ?1",
                 disc);
    return hr;
}

} // namespace NameGrams
