#include "PgPathStore.h"

namespace PgPathStore {

HRESULT Find(PgConnection& db, std::u16string_view text, bool lock, LONG* id)
{
    int64_t found = 0;
    const HRESULT hr = db.Number(lock ? "SELECT id FROM paths WHERE text = $1 FOR KEY SHARE"
                                      : "SELECT id FROM paths WHERE text = $1",
                                 PgParams().Text(text), &found, "find path");
    if (SUCCEEDED(hr)) *id = static_cast<LONG>(found);
    return hr;
}

HRESULT Insert(PgConnection& db, const ParsedBatch& batch, bool hasIds, std::vector<LONG>& used)
{
    LONG next = 0;
    HRESULT hr = hasIds ? S_OK : MaxId(db, &next);
    for (const PathRow& row : batch.paths) {
        if (FAILED(hr)) return hr;
        const std::u16string_view text = batch.Text(row.text);
        if (text.empty()) return E_INVALIDARG;
        LONG existing = 0;
        hr = Find(db, text, true, &existing);
        if (FAILED(hr)) return hr;
        if (existing > 0) {
            if (hasIds && row.id != existing) return E_INVALIDARG;
            used.push_back(existing);
            continue;
        }
        const LONG id = hasIds ? row.id : ++next;
        hr = db.Run("INSERT INTO paths(id, text) VALUES($1, $2)", PgParams().Int(id).Text(text), "insert path");
        if (SUCCEEDED(hr)) used.push_back(id);
    }
    return hr;
}

HRESULT Text(PgConnection& db, LONG id, QString& text)
{
    if (id == 0) {
        text.clear();
        return S_OK;
    }
    PgResult rows;
    const HRESULT hr = db.Query("SELECT text FROM paths WHERE id = $1", PgParams().Int(id), rows, "path text");
    if (FAILED(hr)) return hr;
    if (rows.Rows() == 0) return E_INVALIDARG;
    text = rows.Text(0, 0);
    return S_OK;
}

HRESULT MaxId(PgConnection& db, LONG* id)
{
    int64_t value = 0;
    const HRESULT hr = db.Number("SELECT coalesce(max(id), 0) FROM paths", {}, &value, "max path id");
    if (SUCCEEDED(hr)) *id = static_cast<LONG>(value);
    return hr;
}

} // namespace PgPathStore
