#include "EntryWriter.h"

#include "EntryTypes.h"
#include "FileSpans.h"
#include "LibrarySchema.h"
#include "NameBlocks.h"
#include "NameMatch.h"
#include "Utf16Text.h"

#include <span>
#include <string>
#include <vector>
#include <sqlite3.h>

namespace {
// Rows bound into one statement: a statement per row would seek the table
// afresh for every row and open and close its cursor every time; rows
// given in one statement are appended through one cursor.
constexpr size_t kRowsPerStatement = 32;

// The columns a row binds, in the order BindRow binds them, by layout.
const char* InsertColumns(EntryKind kind, bool typeTexts)
{
    if (typeTexts)
        return kind == EntryKind::Files
                   ? "INSERT INTO files(id, name, size, type, time, disc_id, folder_id, path_id, label_id) VALUES"
                   : "INSERT INTO folders(id, name, size, type, time, disc_id, parent_id, path_id, label_id) VALUES";
    return kind == EntryKind::Files ? "INSERT INTO files(id, name, size, type, time, disc_id, folder_id, path_id) VALUES"
                                    : "INSERT INTO folders(id, name, size, type, time, disc_id, parent_id, path_id) VALUES";
}

int ColumnsPerRow(bool typeTexts) { return typeTexts ? 9 : 8; }

// The insert of `rows` rows. Made once per batch (no shared state between
// the threads that may write); the connection keeps the statement by its text.
std::string InsertRowsSql(EntryKind kind, bool typeTexts, size_t rows)
{
    std::string values = "(?";
    for (int column = 1; column < ColumnsPerRow(typeTexts); ++column) values += ", ?";
    values += ')';
    std::string sql = InsertColumns(kind, typeTexts);
    for (size_t row = 0; row < rows; ++row) sql += (row == 0 ? "" : ", ") + values;
    return sql;
}

// In a library without stored folds, the close indexes the rows of the
// import's discs in the id range above how far it has indexed (?1 import,
// ?2 and ?3 the range), and notes how far it has come; by EntryKind.
// The files' statement packs the names it indexes into the name blocks
// bound to ?4 (none bound: it only folds) in the same pass, in id order:
// the rows are read by id (NOT INDEXED: through an index of the files by
// disc, a library of version 5 has one, the result would be computed in
// that index's order and sorted afterwards).
constexpr const char* kIndexSql[] = {
    "INSERT INTO file_names(rowid, fold) SELECT f.id, sv_fold_packed(?4, f.id, f.disc_id, f.path_id, f.name)"
    " FROM files f NOT INDEXED WHERE f.id BETWEEN ?2 AND ?3"
    " AND f.disc_id IN (SELECT id FROM discs WHERE import_id = ?1)"
    " AND f.id > coalesce((SELECT last_id FROM name_index_progress WHERE import_id = ?1 AND kind = 0), 0)"
    " ORDER BY f.id",
    "INSERT INTO folder_names(rowid, fold) SELECT f.id, sv_fold(f.name) FROM folders f WHERE f.id BETWEEN ?2 AND ?3"
    " AND f.disc_id IN (SELECT id FROM discs WHERE import_id = ?1)"
    " AND f.id > coalesce((SELECT last_id FROM name_index_progress WHERE import_id = ?1 AND kind = 1), 0)",
};
constexpr const char* kIndexProgress[] = {
    "INSERT INTO name_index_progress(import_id, kind, last_id) VALUES(?1, 0, ?3)"
    " ON CONFLICT(import_id, kind) DO UPDATE SET last_id = excluded.last_id",
    "INSERT INTO name_index_progress(import_id, kind, last_id) VALUES(?1, 1, ?3)"
    " ON CONFLICT(import_id, kind) DO UPDATE SET last_id = excluded.last_id",
};

// With stored folds, a row is indexed exactly when it has a folded name.
constexpr const char* kStoredFoldFileSteps[] = {
    "DELETE FROM temp.slice_ids",
    "INSERT INTO temp.slice_ids SELECT f.id FROM files f WHERE f.id BETWEEN ?2 AND ?3"
    " AND f.disc_id IN (SELECT id FROM discs WHERE import_id = ?1)"
    " AND NOT EXISTS (SELECT 1 FROM file_folds WHERE id = f.id)",
    "INSERT INTO file_folds(id, disc_id, fold) SELECT f.id, f.disc_id, sv_fold(f.name)"
    " FROM temp.slice_ids s CROSS JOIN files f ON f.id = s.id",
    "INSERT INTO file_names(rowid, fold) SELECT n.id, n.fold FROM temp.slice_ids s CROSS JOIN file_folds n ON n.id = s.id",
};
constexpr const char* kStoredFoldFolderSteps[] = {
    "DELETE FROM temp.slice_ids",
    "INSERT INTO temp.slice_ids SELECT f.id FROM folders f WHERE f.id BETWEEN ?2 AND ?3"
    " AND f.disc_id IN (SELECT id FROM discs WHERE import_id = ?1)"
    " AND NOT EXISTS (SELECT 1 FROM folder_folds WHERE id = f.id)",
    "INSERT INTO folder_folds(id, disc_id, fold) SELECT f.id, f.disc_id, sv_fold(f.name)"
    " FROM temp.slice_ids s CROSS JOIN folders f ON f.id = s.id",
    "INSERT INTO folder_names(rowid, fold) SELECT n.id, n.fold FROM temp.slice_ids s"
    " CROSS JOIN folder_folds n ON n.id = s.id",
};

// UTF-8 copies of a row's texts, bound without a further copy; kept from
// row to row so that no row allocates.
struct RowTexts {
    std::string name;
    std::string type;
};

// Binds the row as the statement's row `place` (from 0); its type as an
// id of `types`, or as text when `types` is null.
HRESULT BindRow(SqliteStatement& insert, int place, const ParsedBatch& batch, const EntryRow& row, bool hasIds,
                EntryTypes* types, RowTexts& texts)
{
    const int first = place * ColumnsPerRow(types == nullptr);
    if (hasIds)
        insert.Bind(first + 1, row.id);
    else
        insert.BindNull(first + 1);
    Utf16Text::ToUtf8(batch.Text(row.name), texts.name);
    insert.BindUtf8View(first + 2, texts.name);
    insert.Bind(first + 3, row.size);
    insert.Bind(first + 5, row.time);
    insert.Bind(first + 6, row.discId);
    insert.Bind(first + 7, row.parentId);
    insert.Bind(first + 8, row.pathId);
    if (!types) {
        Utf16Text::ToUtf8(batch.Text(row.type), texts.type);
        insert.BindUtf8View(first + 4, texts.type);
        insert.Bind(first + 9, row.labelId);
        return S_OK;
    }
    int64_t type = 0;
    const HRESULT hr = types->IdOf(batch.Text(row.type), &type);
    insert.Bind(first + 4, type);
    return hr;
}
} // namespace

RowLayout EntryWriter::LayoutOf(SqliteConnection& db)
{
    return {LibrarySchema::StoresTypeTexts(db), LibrarySchema::KeepsFileSpans(db)};
}

// Rows with ids go kRowsPerStatement to a statement, the rest one by one;
// rows without ids one by one, each reading back the id it got.
HRESULT EntryWriter::Insert(EntryKind kind, const ParsedBatch& batch, bool hasIds, const RowLayout& layout,
                            IdRange& written)
{
    const bool typeTexts = layout.typeTexts;
    const bool spans = kind == EntryKind::Files && layout.fileSpans;
    EntryTypes types(m_db);
    FileSpans fileSpans(m_db);
    std::vector<RowTexts> texts(kRowsPerStatement); // before the statements: bound until their leases reset them
    auto several = m_db.Statement(InsertRowsSql(kind, typeTexts, kRowsPerStatement).c_str());
    auto single = m_db.Statement(InsertRowsSql(kind, typeTexts, 1).c_str());
    if (!several || !single) return E_FAIL;
    const std::vector<EntryRow>& rows = batch.entries;
    for (size_t next = 0; next < rows.size();) {
        const size_t count = hasIds && rows.size() - next >= kRowsPerStatement ? kRowsPerStatement : 1;
        SqliteStatement& insert = count > 1 ? *several : *single;
        insert.Rewind(); // every parameter is bound again
        for (size_t place = 0; place < count; ++place) {
            const HRESULT bound = BindRow(insert, static_cast<int>(place), batch, rows[next + place], hasIds,
                                          typeTexts ? nullptr : &types, texts[place]);
            if (FAILED(bound)) return bound;
        }
        const int rc = insert.Step();
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "insert row");
        for (size_t place = 0; place < count; ++place) {
            const EntryRow& row = rows[next + place];
            const int64_t id = hasIds ? row.id : m_db.LastInsertId();
            written.Add(id);
            if (spans) fileSpans.Add(row.discId, row.parentId, id);
        }
        next += count;
    }
    return spans ? fileSpans.Store() : S_OK;
}

HRESULT EntryWriter::IndexNames(EntryKind kind, int64_t importId, int64_t first, int64_t last)
{
    if (LibrarySchema::StoresFolds(m_db)) return IndexStoredFolds(kind, importId, first, last);
    NameBlocks blocks(m_db);
    const bool packs = kind == EntryKind::Files && LibrarySchema::KeepsNameBlocks(m_db);
    HRESULT hr = Run(kIndexSql[static_cast<int>(kind)], importId, first, last, packs ? &blocks : nullptr);
    if (SUCCEEDED(hr) && packs) hr = blocks.Store();
    return FAILED(hr) ? hr : Run(kIndexProgress[static_cast<int>(kind)], importId, first, last);
}

HRESULT EntryWriter::IndexStoredFolds(EntryKind kind, int64_t importId, int64_t first, int64_t last)
{
    for (const char* step : kind == EntryKind::Files ? std::span<const char* const>(kStoredFoldFileSteps)
                                                     : std::span<const char* const>(kStoredFoldFolderSteps)) {
        const HRESULT hr = Run(step, importId, first, last);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT EntryWriter::Run(const char* sql, int64_t first, int64_t second, int64_t third, NameBlocks* blocks)
{
    auto statement = m_db.Statement(sql);
    if (!statement) return E_FAIL;
    // Statements with fewer parameters ignore the others.
    statement->Bind(1, first);
    statement->Bind(2, second);
    statement->Bind(3, third);
    NameMatch::BindPack(*statement, 4, blocks); // null when none: the statement is kept from run to run
    const int rc = statement->Run();
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "index names");
}

HRESULT EntryWriter::MaxId(EntryKind kind, LONG* id)
{
    auto query = m_db.Statement(kind == EntryKind::Files ? "SELECT coalesce(max(id), 0) FROM files"
                                                         : "SELECT coalesce(max(id), 0) FROM folders");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "max id");
    *id = static_cast<LONG>(query->Int64(0));
    return S_OK;
}
