#include "LabelStore.h"

#include "LabelPicture.h"

#include <sqlite3.h>

HRESULT LabelStore::Count(LONG* count)
{
    auto query = m_db.Statement("SELECT count(*) FROM labels");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "label count");
    *count = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT LabelStore::Add(const QString& path32, const QString& path128, const QString& path360, LONG* id)
{
    const QString paths[3] = {path32, path128, path360};
    QByteArray pictures[3];
    for (int i = 0; i < 3; ++i) {
        const HRESULT hr = LabelPicture::Read(paths[i], LabelPicture::kSizes[i], pictures[i]);
        if (FAILED(hr)) return hr;
    }
    auto insert = m_db.Statement("INSERT INTO labels(picture32, picture128, picture360) VALUES(?, ?, ?)");
    if (!insert) return E_FAIL;
    for (int i = 0; i < 3; ++i) insert->BindBlob(i + 1, pictures[i]);
    const int rc = insert->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "add label");
    if (id) *id = static_cast<LONG>(m_db.LastInsertId());
    return S_OK;
}

HRESULT LabelStore::Picture(LONG labelId, int size, QImage** picture)
{
    auto query = m_db.Statement(size == 32 ? "SELECT picture32 FROM labels WHERE id = ?"
                                           : "SELECT picture360 FROM labels WHERE id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, labelId);
    const int rc = query->Step();
    if (rc == SQLITE_DONE) return E_INVALIDARG;
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "label picture");
    return LabelPicture::Decode(query->Blob(0), picture);
}

HRESULT LabelStore::LastId(LONG* id)
{
    auto query = m_db.Statement("SELECT coalesce(max(id), 0) FROM labels");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "last label");
    *id = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT LabelStore::Exists(LONG labelId, bool* exists)
{
    auto query = m_db.Statement("SELECT 1 FROM labels WHERE id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, labelId);
    const int rc = query->Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m_db.Failure(rc, "label lookup");
    *exists = rc == SQLITE_ROW;
    return S_OK;
}

HRESULT LabelStore::Delete(LONG labelId)
{
    auto remove = m_db.Statement("DELETE FROM labels WHERE id = ?");
    if (!remove) return E_FAIL;
    remove->Bind(1, labelId);
    const int rc = remove->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "delete label");
    return m_db.Changes() > 0 ? S_OK : E_INVALIDARG;
}
