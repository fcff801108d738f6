#include "PgTagStore.h"

#include "TagNames.h"
#include "Utf16Text.h"

HRESULT PgTagStore::Count(LONG* count)
{
    int64_t value = 0;
    const HRESULT hr = m_db.Number("SELECT count(*) FROM tags WHERE visible = 1", {}, &value, "tag count");
    if (SUCCEEDED(hr)) *count = static_cast<LONG>(value);
    return hr;
}

HRESULT PgTagStore::List(TagRecord* records, LONG count)
{
    static const std::string sql =
        std::string("SELECT id, name FROM tags WHERE visible = 1 ORDER BY ") + TagNames::kCategoryOrder + ", id LIMIT $1";
    PgResult rows;
    const HRESULT hr = m_db.Query(sql.c_str(), PgParams().Int(std::max<LONG>(count, 0)), rows, "tags");
    for (int i = 0; SUCCEEDED(hr) && i < rows.Rows(); ++i) {
        records[i].id = static_cast<int32_t>(rows.Int64(i, 0));
        Utf16Text::CopyToField(records[i].name, kLibraryTextLength, rows.Text(i, 1));
    }
    return hr;
}

const char* PgTagStore::VisibleNamesSql() { return "SELECT id, name FROM tags WHERE visible = 1"; }

void PgTagStore::ReadVisibleNames(const PgResult& rows, QHash<int, QString>& names)
{
    for (int i = 0; i < rows.Rows(); ++i) names.insert(static_cast<int>(rows.Int64(i, 0)), rows.Text(i, 1));
}

HRESULT PgTagStore::VisibleNames(QHash<int, QString>& names)
{
    PgResult rows;
    const HRESULT hr = m_db.Query(VisibleNamesSql(), {}, rows, "tag names");
    if (SUCCEEDED(hr)) ReadVisibleNames(rows, names);
    return hr;
}

HRESULT PgTagStore::Names(const QString& tagIds, QString& names)
{
    QHash<int, QString> visible;
    const HRESULT hr = VisibleNames(visible);
    if (SUCCEEDED(hr)) names = TagNames::Join(tagIds, visible);
    return hr;
}

HRESULT PgTagStore::Add(std::u16string_view name, LONG* id)
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
    int64_t added = 0;
    hr = m_db.Number("INSERT INTO tags(name, fold, visible) VALUES($1, $2, 1) RETURNING id",
                     PgParams().Text(name).Utf8(Utf16Text::Folded(name)), &added, "add tag");
    if (SUCCEEDED(hr) && id) *id = static_cast<LONG>(added);
    return hr;
}

HRESULT PgTagStore::SetVisible(std::u16string_view name, bool visible)
{
    const PgResult result = m_db.Exec("UPDATE tags SET visible = $1 WHERE fold = $2",
                                      PgParams().Int(visible ? 1 : 0).Utf8(Utf16Text::Folded(name)));
    if (!result.Ok()) return m_db.Failure(result, "tag visibility");
    return PgConnection::Changed(result) > 0 ? S_OK : E_INVALIDARG;
}

HRESULT PgTagStore::Find(std::u16string_view name, LONG* id, LONG* visible)
{
    PgResult rows;
    const HRESULT hr =
        m_db.Query("SELECT id, visible FROM tags WHERE fold = $1", PgParams().Utf8(Utf16Text::Folded(name)), rows, "find tag");
    if (FAILED(hr)) return hr;
    *id = rows.Rows() > 0 ? static_cast<LONG>(rows.Int64(0, 0)) : 0;
    *visible = rows.Rows() > 0 ? static_cast<LONG>(rows.Int64(0, 1)) : 0;
    return S_OK;
}

QStringList PgTagStore::CategoryTags(const QString& tagIds)
{
    static const std::string sql = std::string("SELECT name FROM tags WHERE id = $1 AND ") + TagNames::kIsCategory;
    QStringList categories;
    for (int id : TagNames::SplitIds(tagIds)) {
        PgResult rows;
        if (SUCCEEDED(m_db.Query(sql.c_str(), PgParams().Int(id), rows, "category tag")) && rows.Rows() > 0)
            categories.append(rows.Text(0, 0));
    }
    return categories;
}
