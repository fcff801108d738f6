#include "EntryTypeTexts.h"

#include "EntryTypes.h"

#include <sqlite3.h>

namespace {
// The type SQL applied to a bound value, so that a value read raw gives the
// same text as the row's own type column through that SQL.
const std::string kTextOfValue = "SELECT " + EntryTypes::TextSql("v", false) + " FROM (SELECT ?1 AS type) v";
} // namespace

HRESULT EntryTypeTexts::TextOf(const SqliteStatement& row, int column, std::string_view* text)
{
    if (row.IsInteger(column)) {
        const int64_t id = row.Int64(column);
        auto known = m_byId.find(id);
        if (known == m_byId.end()) {
            std::string found;
            const HRESULT hr = LookUp(row, column, &found);
            if (FAILED(hr)) return hr;
            known = m_byId.emplace(id, std::move(found)).first;
        }
        *text = known->second;
        return S_OK;
    }
    if (!row.IsText(column)) {
        const HRESULT hr = LookUp(row, column, &m_other);
        *text = m_other;
        return hr;
    }
    const std::string_view value = row.TextView(column);
    auto known = m_byText.find(value);
    if (known == m_byText.end()) {
        std::string found;
        const HRESULT hr = LookUp(row, column, &found);
        if (FAILED(hr)) return hr;
        known = m_byText.emplace(std::string(value), std::move(found)).first;
    }
    *text = known->second;
    return S_OK;
}

HRESULT EntryTypeTexts::LookUp(const SqliteStatement& row, int column, std::string* text)
{
    auto query = m_db.Statement(kTextOfValue.c_str());
    if (!query) return E_FAIL;
    query->BindColumn(1, row, column);
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "type text");
    *text = query->TextView(0);
    return S_OK;
}
