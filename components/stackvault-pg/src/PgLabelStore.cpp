#include "PgLabelStore.h"

#include "LabelPicture.h"

HRESULT PgLabelStore::Count(LONG* count)
{
    int64_t value = 0;
    const HRESULT hr = m_db.Number("SELECT count(*) FROM labels", {}, &value, "label count");
    if (SUCCEEDED(hr)) *count = static_cast<LONG>(value);
    return hr;
}

HRESULT PgLabelStore::Exists(LONG labelId, bool* exists)
{
    int64_t found = 0;
    const HRESULT hr = m_db.Number("SELECT count(*) FROM labels WHERE id = $1", PgParams().Int(labelId), &found, "label");
    *exists = found > 0;
    return hr;
}

HRESULT PgLabelStore::Add(const QString& path32, const QString& path128, const QString& path360, LONG* id)
{
    const QString paths[3] = {path32, path128, path360};
    PgParams pictures;
    for (int i = 0; i < 3; ++i) {
        QByteArray png;
        const HRESULT hr = LabelPicture::Read(paths[i], LabelPicture::kSizes[i], png);
        if (FAILED(hr)) return hr;
        pictures.Bytes(png);
    }
    int64_t added = 0;
    const HRESULT hr = m_db.Number("INSERT INTO labels(picture32, picture128, picture360) VALUES($1, $2, $3) RETURNING id",
                                   pictures, &added, "add label");
    if (SUCCEEDED(hr) && id) *id = static_cast<LONG>(added);
    return hr;
}

HRESULT PgLabelStore::Picture(LONG labelId, int size, QImage** picture)
{
    const bool thumbnail = size == 32;
    if (const auto kept = m_thumbnails.constFind(labelId); thumbnail && kept != m_thumbnails.constEnd())
        return LabelPicture::Decode(*kept, picture);
    PgResult rows;
    const HRESULT hr = m_db.Query(thumbnail ? "SELECT picture32 FROM labels WHERE id = $1"
                                            : "SELECT picture360 FROM labels WHERE id = $1",
                                  PgParams().Int(labelId), rows, "label picture");
    if (FAILED(hr)) return hr;
    if (rows.Rows() == 0) return E_INVALIDARG;
    const QByteArray png = rows.Bytes(0, 0);
    if (thumbnail) {
        if (m_thumbnails.size() >= kKeptThumbnails) m_thumbnails.clear();
        m_thumbnails.insert(labelId, png);
    }
    return LabelPicture::Decode(png, picture);
}

HRESULT PgLabelStore::LastId(LONG* id)
{
    int64_t value = 0;
    const HRESULT hr = m_db.Number("SELECT coalesce(max(id), 0) FROM labels", {}, &value, "last label");
    if (SUCCEEDED(hr)) *id = static_cast<LONG>(value);
    return hr;
}

HRESULT PgLabelStore::Delete(LONG labelId)
{
    const PgResult result = m_db.Exec("DELETE FROM labels WHERE id = $1", PgParams().Int(labelId));
    if (!result.Ok()) return m_db.Failure(result, "delete label");
    return PgConnection::Changed(result) > 0 ? S_OK : E_INVALIDARG;
}
