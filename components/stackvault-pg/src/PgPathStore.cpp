#include "PgPathStore.h"

#include "Utf16Text.h"

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

// The batch's stored paths are found (and locked) with one statement and
// its new ones written with another: two round trips a batch, not two a path.
HRESULT Insert(PgConnection& db, const ParsedBatch& batch, bool hasIds, QHash<QString, LONG>& stored)
{
    std::vector<QString> texts;
    for (const PathRow& row : batch.paths) {
        if (row.text.length == 0) return E_INVALIDARG;
        texts.push_back(Utf16Text::ToQString(batch.Text(row.text)));
    }
    PgResult rows;
    HRESULT hr = db.Query("SELECT id, text FROM paths WHERE text = ANY($1::text[]) FOR KEY SHARE", PgParams().Texts(texts),
                          rows, "find paths");
    LONG next = 0;
    if (SUCCEEDED(hr) && !hasIds) hr = MaxId(db, &next);
    if (FAILED(hr)) return hr;
    QHash<QString, LONG> known;
    for (int i = 0; i < rows.Rows(); ++i) known.insert(rows.Text(i, 1), static_cast<LONG>(rows.Int64(i, 0)));
    std::vector<LONG> newIds;
    std::vector<QString> newTexts;
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto found = known.constFind(texts[i]);
        if (found != known.constEnd()) {
            if (hasIds && batch.paths[i].id != *found) return E_INVALIDARG;
            stored.insert(texts[i], *found);
            continue;
        }
        const LONG id = hasIds ? batch.paths[i].id : ++next;
        known.insert(texts[i], id);
        stored.insert(texts[i], id);
        newIds.push_back(id);
        newTexts.push_back(texts[i]);
    }
    if (newIds.empty()) return S_OK;
    return db.Run("INSERT INTO paths(id, text) SELECT * FROM unnest($1::int[], $2::text[])",
                  PgParams().Ints(newIds).Texts(newTexts), "insert paths");
}

HRESULT Children(PgConnection& db, const QString& parent, QHash<QString, LONG>& found)
{
    // Every path below `parent` lies between "parent\" and "parent]" in byte
    // order ('\' is 0x5C, ']' 0x5D); the direct children have no further '\'.
    const QString first = parent + QLatin1Char('\\'), end = parent + QLatin1Char(']');
    PgResult rows;
    const HRESULT hr = db.Query("SELECT id, text FROM paths WHERE text COLLATE \"C\" >= $1 AND text COLLATE \"C\" < $2"
                                " AND strpos(substr(text, length($1) + 1), E'\\\\') = 0 FOR KEY SHARE",
                                PgParams().Text(first).Text(end), rows, "child paths");
    for (int i = 0; SUCCEEDED(hr) && i < rows.Rows(); ++i) found.insert(rows.Text(i, 1), static_cast<LONG>(rows.Int64(i, 0)));
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
