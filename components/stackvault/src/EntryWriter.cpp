#include "EntryWriter.h"

#include "Utf16Text.h"

#include <sqlite3.h>

namespace {
const char* InsertRowSql(EntryKind kind)
{
    return kind == EntryKind::Files
               ? "INSERT INTO files(id, name, fold, size, type, time, disc_id, label_id, folder_id, path_id)"
                 " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
               : "INSERT INTO folders(id, name, fold, size, type, time, disc_id, label_id, parent_id, path_id)"
                 " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
}

const char* InsertNameSql(EntryKind kind)
{
    return kind == EntryKind::Files ? "INSERT INTO file_names(rowid, fold) VALUES(?, ?)"
                                    : "INSERT INTO folder_names(rowid, fold) VALUES(?, ?)";
}

void BindRow(SqliteStatement& insert, const ParsedBatch& batch, const EntryRow& row, const QByteArray& fold,
             bool hasIds)
{
    if (hasIds)
        insert.Bind(1, row.id);
    else
        insert.BindNull(1);
    insert.BindText(2, batch.Text(row.name));
    insert.BindUtf8(3, fold);
    insert.Bind(4, row.size);
    insert.BindText(5, batch.Text(row.type));
    insert.Bind(6, row.time);
    insert.Bind(7, row.discId);
    insert.Bind(8, row.labelId);
    insert.Bind(9, row.parentId);
    insert.Bind(10, row.pathId);
}
} // namespace

HRESULT EntryWriter::Insert(EntryKind kind, const ParsedBatch& batch, bool hasIds)
{
    auto insertRow = m_db.Statement(InsertRowSql(kind));
    auto insertName = m_db.Statement(InsertNameSql(kind));
    if (!insertRow || !insertName) return E_FAIL;
    for (const EntryRow& row : batch.entries) {
        const QByteArray fold = Utf16Text::Folded(batch.Text(row.name));
        insertRow->Reset();
        BindRow(*insertRow, batch, row, fold, hasIds);
        int rc = insertRow->Step();
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "insert row");
        insertName->Reset();
        insertName->Bind(1, m_db.LastInsertId());
        insertName->BindUtf8(2, fold);
        rc = insertName->Step();
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "index name");
    }
    return S_OK;
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

HRESULT EntryWriter::SetLabelId(EntryKind kind, LONG discId, LONG labelId)
{
    auto update = m_db.Statement(kind == EntryKind::Files ? "UPDATE files SET label_id = ? WHERE disc_id = ?"
                                                          : "UPDATE folders SET label_id = ? WHERE disc_id = ?");
    if (!update) return E_FAIL;
    update->Bind(1, labelId);
    update->Bind(2, discId);
    const int rc = update->Run();
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "set label id");
}
