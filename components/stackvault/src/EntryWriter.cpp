#include "EntryWriter.h"

#include "NameGrams.h"

#include <sqlite3.h>

namespace {
const char* InsertRowSql(EntryKind kind)
{
    return kind == EntryKind::Files
               ? "INSERT INTO files(id, name, size, type, time, disc_id, label_id, folder_id, path_id)"
                 " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"
               : "INSERT INTO folders(id, name, size, type, time, disc_id, label_id, parent_id, path_id)"
                 " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)";
}

// The steps of IndexNames: ?1 import, ?2 and ?3 the id range. The rows are
// gathered first so that exactly they get a folded name and an index entry.
constexpr const char* kIndexFileSteps[] = {
    "DELETE FROM temp.slice_ids",
    "INSERT INTO temp.slice_ids SELECT f.id FROM files f WHERE f.id BETWEEN ?2 AND ?3"
    " AND f.disc_id IN (SELECT id FROM discs WHERE import_id = ?1)"
    " AND NOT EXISTS (SELECT 1 FROM file_folds WHERE id = f.id)",
    "INSERT INTO file_folds(id, disc_id, fold) SELECT f.id, f.disc_id, sv_fold(f.name)"
    " FROM temp.slice_ids s CROSS JOIN files f ON f.id = s.id",
    "INSERT INTO file_names(rowid, fold) SELECT n.id, n.fold FROM temp.slice_ids s CROSS JOIN file_folds n ON n.id = s.id",
};
constexpr const char* kIndexFolderSteps[] = {
    "DELETE FROM temp.slice_ids",
    "INSERT INTO temp.slice_ids SELECT f.id FROM folders f WHERE f.id BETWEEN ?2 AND ?3"
    " AND f.disc_id IN (SELECT id FROM discs WHERE import_id = ?1)"
    " AND NOT EXISTS (SELECT 1 FROM folder_folds WHERE id = f.id)",
    "INSERT INTO folder_folds(id, disc_id, fold) SELECT f.id, f.disc_id, sv_fold(f.name)"
    " FROM temp.slice_ids s CROSS JOIN folders f ON f.id = s.id",
    "INSERT INTO folder_names(rowid, fold) SELECT n.id, n.fold FROM temp.slice_ids s"
    " CROSS JOIN folder_folds n ON n.id = s.id",
};

void BindRow(SqliteStatement& insert, const ParsedBatch& batch, const EntryRow& row, bool hasIds)
{
    if (hasIds)
        insert.Bind(1, row.id);
    else
        insert.BindNull(1);
    insert.BindText(2, batch.Text(row.name));
    insert.Bind(3, row.size);
    insert.BindText(4, batch.Text(row.type));
    insert.Bind(5, row.time);
    insert.Bind(6, row.discId);
    insert.Bind(7, row.labelId);
    insert.Bind(8, row.parentId);
    insert.Bind(9, row.pathId);
}
} // namespace

HRESULT EntryWriter::Insert(EntryKind kind, const ParsedBatch& batch, bool hasIds, IdRange& written)
{
    auto insert = m_db.Statement(InsertRowSql(kind));
    if (!insert) return E_FAIL;
    for (const EntryRow& row : batch.entries) {
        insert->Reset();
        BindRow(*insert, batch, row, hasIds);
        const int rc = insert->Step();
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "insert row");
        written.Add(m_db.LastInsertId());
    }
    return S_OK;
}

HRESULT EntryWriter::IndexNames(EntryKind kind, int64_t importId, int64_t first, int64_t last)
{
    for (const char* step : kind == EntryKind::Files ? kIndexFileSteps : kIndexFolderSteps) {
        const HRESULT hr = Run(step, importId, first, last);
        if (FAILED(hr)) return hr;
    }
    return NameGrams::Add(m_db, kind,
                          kind == EntryKind::Files
                              ? "SELECT n.disc_id, n.fold FROM temp.slice_ids s CROSS JOIN file_folds n ON n.id = s.id"
                              : "SELECT n.disc_id, n.fold FROM temp.slice_ids s CROSS JOIN folder_folds n ON n.id = s.id");
}

HRESULT EntryWriter::Run(const char* sql, int64_t first, int64_t second, int64_t third)
{
    auto statement = m_db.Statement(sql);
    if (!statement) return E_FAIL;
    // Statements with fewer parameters ignore the others.
    statement->Bind(1, first);
    statement->Bind(2, second);
    statement->Bind(3, third);
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
