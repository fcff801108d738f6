#include "TagStore.h"

#include "TagNames.h"
#include "Utf16Text.h"

#include <sqlite3.h>

using TagNames::SplitIds;

HRESULT TagStore::Count(LONG* count)
{
    auto query = m_db.Statement("SELECT count(*) FROM tags WHERE visible = 1");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "tag count");
    *count = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT TagStore::List(TagRecord* records, LONG count)
{
    static const std::string sql =
        std::string("SELECT id, name FROM tags WHERE visible = 1 ORDER BY ") + TagNames::kCategoryOrder + ", id";
    auto query = m_db.Statement(sql.c_str());
    if (!query) return E_FAIL;
    int rc = SQLITE_OK;
    for (LONG i = 0; i < count && (rc = query->Step()) == SQLITE_ROW; ++i) {
        records[i].id = static_cast<int32_t>(query->Int64(0));
        Utf16Text::CopyToField(records[i].name, kLibraryTextLength, query->Text(1));
    }
    return rc == SQLITE_ROW || rc == SQLITE_DONE || rc == SQLITE_OK ? S_OK : m_db.Failure(rc, "tags");
}

HRESULT TagStore::VisibleNames(QHash<int, QString>& names)
{
    auto query = m_db.Statement("SELECT id, name FROM tags WHERE visible = 1");
    if (!query) return E_FAIL;
    int rc;
    while ((rc = query->Step()) == SQLITE_ROW) names.insert(static_cast<int>(query->Int64(0)), query->Text(1));
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "tag names");
}

HRESULT TagStore::Names(const QString& tagIds, QString& names)
{
    QHash<int, QString> visible;
    const HRESULT hr = VisibleNames(visible);
    if (SUCCEEDED(hr)) names = TagNames::Join(tagIds, visible);
    return hr;
}

HRESULT TagStore::Add(std::u16string_view name, LONG* id)
{
    if (!TagNames::IsValidName(name)) return E_INVALIDARG;
    LONG existing = 0, visible = 0;
    HRESULT hr = Find(name, &existing, &visible);
    if (FAILED(hr)) return hr;
    if (existing > 0) {
        hr = SetVisible(name, true);
        if (SUCCEEDED(hr) && id) *id = existing;
        return FAILED(hr) ? hr : S_FALSE;
    }
    auto insert = m_db.Statement("INSERT INTO tags(name, fold, visible) VALUES(?, ?, 1)");
    if (!insert) return E_FAIL;
    insert->BindText(1, name);
    insert->BindUtf8(2, Utf16Text::Folded(name));
    const int rc = insert->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "add tag");
    if (id) *id = static_cast<LONG>(m_db.LastInsertId());
    return S_OK;
}

HRESULT TagStore::SetVisible(std::u16string_view name, bool visible)
{
    auto update = m_db.Statement("UPDATE tags SET visible = ? WHERE fold = ?");
    if (!update) return E_FAIL;
    update->Bind(1, visible ? 1 : 0);
    update->BindUtf8(2, Utf16Text::Folded(name));
    const int rc = update->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "tag visibility");
    return m_db.Changes() > 0 ? S_OK : E_INVALIDARG;
}

HRESULT TagStore::Find(std::u16string_view name, LONG* id, LONG* visible)
{
    auto query = m_db.Statement("SELECT id, visible FROM tags WHERE fold = ?");
    if (!query) return E_FAIL;
    query->BindUtf8(1, Utf16Text::Folded(name));
    const int rc = query->Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m_db.Failure(rc, "find tag");
    *id = rc == SQLITE_ROW ? static_cast<LONG>(query->Int64(0)) : 0;
    *visible = rc == SQLITE_ROW ? static_cast<LONG>(query->Int64(1)) : 0;
    return S_OK;
}

QStringList TagStore::CategoryTags(const QString& tagIds)
{
    QStringList categories;
    static const std::string sql = std::string("SELECT name FROM tags WHERE id = ? AND ") + TagNames::kIsCategory;
    auto query = m_db.Statement(sql.c_str());
    if (!query) return categories;
    for (int id : SplitIds(tagIds)) {
        query->Reset();
        query->Bind(1, id);
        if (query->Step() == SQLITE_ROW) categories.append(query->Text(0));
    }
    return categories;
}
