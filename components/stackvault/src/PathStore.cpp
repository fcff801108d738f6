#include "PathStore.h"

#include <sqlite3.h>

HRESULT PathStore::Insert(const ParsedBatch& batch, bool hasIds, std::vector<LONG>& storedIds)
{
    for (const PathRow& row : batch.paths) {
        LONG storedId = 0;
        const HRESULT hr = InsertOne(hasIds ? row.id : 0, batch.Text(row.text), &storedId);
        if (FAILED(hr)) return hr;
        storedIds.push_back(storedId);
    }
    return S_OK;
}

// One statement for a new path; a text already stored is looked up after.
HRESULT PathStore::InsertOne(LONG id, std::u16string_view text, LONG* storedId)
{
    if (text.empty()) return E_INVALIDARG;
    {
        auto insert = m_db.Statement("INSERT INTO paths(id, text) VALUES(?, ?) ON CONFLICT(text) DO NOTHING");
        if (!insert) return E_FAIL;
        if (id > 0)
            insert->Bind(1, id);
        else
            insert->BindNull(1);
        insert->BindText(2, text);
        const int rc = insert->Run();
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "insert path");
        if (m_db.Changes() > 0) {
            *storedId = static_cast<LONG>(m_db.LastInsertId());
            return S_OK;
        }
    }
    LONG existing = 0;
    const HRESULT hr = Find(text, &existing);
    if (FAILED(hr)) return hr;
    *storedId = existing;
    return id == 0 || id == existing ? S_OK : E_INVALIDARG;
}

HRESULT PathStore::Find(std::u16string_view text, LONG* id)
{
    auto query = m_db.Statement("SELECT id FROM paths WHERE text = ?");
    if (!query) return E_FAIL;
    query->BindText(1, text);
    const int rc = query->Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m_db.Failure(rc, "find path");
    *id = rc == SQLITE_ROW ? static_cast<LONG>(query->Int64(0)) : 0;
    return S_OK;
}

// The texts below "\A" sort between "\A\" and "\A]" (']' follows '\').
HRESULT PathStore::Below(std::u16string_view folder, const std::function<void(std::u16string_view, LONG)>& path)
{
    auto query = m_db.Statement("SELECT text, id FROM paths WHERE text > ?1 || '\\' AND text < ?1 || ']'");
    if (!query) return E_FAIL;
    query->BindText(1, folder);
    int rc = SQLITE_ROW;
    while ((rc = query->Step()) == SQLITE_ROW) path(query->Text16(0), static_cast<LONG>(query->Int64(1)));
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "paths below a folder");
}

HRESULT PathStore::Text(LONG id, QString& text)
{
    if (id == 0) {
        text.clear();
        return S_OK;
    }
    auto query = m_db.Statement("SELECT text FROM paths WHERE id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, id);
    const int rc = query->Step();
    if (rc == SQLITE_DONE) return E_INVALIDARG;
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "path text");
    text = query->Text(0);
    return S_OK;
}

HRESULT PathStore::Texts(LONG first, LONG last, const std::function<bool(LONG, std::string_view)>& path)
{
    auto query = m_db.Statement("SELECT id, text FROM paths WHERE id BETWEEN ? AND ?");
    if (!query) return E_FAIL;
    query->Bind(1, first);
    query->Bind(2, last);
    int rc = SQLITE_ROW;
    while ((rc = query->Step()) == SQLITE_ROW)
        if (!path(static_cast<LONG>(query->Int64(0)), query->TextView(1))) return S_OK;
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "path texts");
}

HRESULT PathStore::MaxId(LONG* id)
{
    auto query = m_db.Statement("SELECT coalesce(max(id), 0) FROM paths");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "max path id");
    *id = static_cast<LONG>(query->Int64(0));
    return S_OK;
}
