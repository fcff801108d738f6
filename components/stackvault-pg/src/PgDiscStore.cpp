#include "PgDiscStore.h"

#include "DiscTypeMapping.h"
#include "PgDiscReadStore.h"
#include "PgFileSpans.h"
#include "TagNames.h"
#include "Utf16Text.h"

namespace {
// Steps that remove one disc ($1), in order. The paths only it used go,
// unless an open import has locked them (it found them and will use them).
const std::vector<std::string>& DeleteSteps()
{
    static const std::vector<std::string> steps = [] {
        std::vector<std::string> all = {
            "DELETE FROM paths WHERE id IN (SELECT p.id FROM paths p JOIN disc_paths dp ON dp.path_id = p.id"
            " WHERE dp.disc_id = $1 AND NOT EXISTS (SELECT 1 FROM disc_paths o WHERE o.path_id = p.id AND o.disc_id <> $1)"
            " FOR UPDATE OF p SKIP LOCKED)",
            "DELETE FROM disc_paths WHERE disc_id = $1"};
        for (std::string& files : PgFileSpans::DeleteFilesSql("$1")) all.push_back(std::move(files));
        for (const char* rest : {"DELETE FROM folders WHERE disc_id = $1", "DELETE FROM name_grams WHERE disc_id = $1",
                                 "DELETE FROM disc_gaps WHERE disc_id = $1",
                                 "DELETE FROM disc_replacements WHERE new_disc_id = $1", "DELETE FROM discs WHERE id = $1"})
            all.emplace_back(rest);
        return all;
    }();
    return steps;
}
} // namespace

HRESULT PgDiscStore::Add(const PgNewDisc& disc, LONG* discId)
{
    const DiscTypeCodes codes = DiscTypeMapping::Classify(disc.properties);
    const DiscProperties& p = disc.properties;
    PgParams params;
    params.Utf8(p.identity).Text(disc.name).Utf8(Utf16Text::Folded(disc.name)).Text(disc.tagIds).Int(disc.labelId);
    params.Int(codes.mediaClass).Int(codes.formatCode).Text(disc.dateText).Int(codes.totalSize).Int(p.audioFlag);
    params.Int(p.discClass).Int(p.folderCount).Int(p.fileCount).Int(p.usedBytes).Int(p.capacityBytes);
    if (disc.owner) params.Int(disc.owner);
    else params.Null();
    int64_t id = 0;
    const HRESULT hr = m_db.Number(
        "INSERT INTO discs(identity, name, name_fold, tag_ids, label_id, media_class, format_code, date_text,"
        " total_size, audio_flag, disc_class, folder_count, file_count, used_bytes, capacity_bytes, owner)"
        " VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16) RETURNING id",
        params, &id, "add disc");
    if (SUCCEEDED(hr)) *discId = static_cast<LONG>(id);
    return hr;
}

HRESULT PgDiscStore::SetTags(LONG discId, std::u16string_view tagIds)
{
    const PgResult result = m_db.Exec("UPDATE discs SET tag_ids = $1 WHERE id = $2", PgParams().Text(tagIds).Int(discId));
    if (!result.Ok()) return m_db.Failure(result, "set disc tags");
    return PgConnection::Changed(result) > 0 ? S_OK : E_INVALIDARG;
}

HRESULT PgDiscStore::SetName(LONG discId, const QString& name)
{
    const PgResult result = m_db.Exec("UPDATE discs SET name = $1, name_fold = $2 WHERE id = $3",
                                      PgParams().Text(name).Utf8(Utf16Text::Folded(name)).Int(discId));
    if (!result.Ok()) return m_db.Failure(result, "set disc name");
    return PgConnection::Changed(result) > 0 ? S_OK : E_INVALIDARG;
}

HRESULT PgDiscStore::IsImporting(LONG discId, LONG* importing)
{
    int64_t value = 0;
    const HRESULT hr = m_db.Number(
        "SELECT (EXISTS(SELECT 1 FROM discs WHERE id = $1 AND import_id IS NOT NULL)"
        " OR NOT pg_try_advisory_xact_lock_shared($2::int, $1::int))::int",
        PgParams().Int(discId).Int(PgDiscReadStore::kReplacedDiscLocks), &value, "disc importing");
    if (SUCCEEDED(hr)) *importing = static_cast<LONG>(value);
    return hr;
}

HRESULT PgDiscStore::SetLabelId(LONG discId, LONG labelId)
{
    const PgResult result = m_db.Exec("UPDATE discs SET label_id = $1 WHERE id = $2", PgParams().Int(labelId).Int(discId));
    if (!result.Ok()) return m_db.Failure(result, "set disc label");
    return PgConnection::Changed(result) > 0 ? S_OK : E_INVALIDARG;
}

HRESULT PgDiscStore::Delete(PgConnection& db, LONG discId)
{
    int64_t exists = 0;
    // The disc's row is locked first: an import closing with rows for it
    // ends before, and its rows are then seen and deleted here.
    HRESULT hr = db.Number("SELECT count(*) FROM (SELECT id FROM discs WHERE id = $1 FOR UPDATE) d", PgParams().Int(discId),
                           &exists, "disc");
    if (SUCCEEDED(hr) && !exists) hr = E_INVALIDARG;
    for (const std::string& step : DeleteSteps()) {
        if (FAILED(hr)) break;
        hr = db.Run(step.c_str(), PgParams().Int(discId), "delete disc");
    }
    return hr;
}

HRESULT PgDiscStore::Release(LONG discId)
{
    return m_db.Run("UPDATE discs SET owner = NULL WHERE id = $1 AND import_id IS NULL", PgParams().Int(discId),
                    "release disc");
}

HRESULT PgDiscStore::Count(LONG* count)
{
    int64_t value = 0;
    const HRESULT hr = m_db.Number("SELECT count(*) FROM discs WHERE import_id IS NULL", {}, &value, "disc count");
    if (SUCCEEDED(hr)) *count = static_cast<LONG>(value);
    return hr;
}

HRESULT PgDiscStore::List(DiscRecord* records, LONG count, const QHash<int, QString>& tagNames)
{
    static const std::string sql = std::string("SELECT ") + kRecordColumns +
                                   " FROM discs d WHERE d.import_id IS NULL ORDER BY d.id LIMIT $1";
    PgResult rows;
    const HRESULT hr = m_db.Query(sql.c_str(), PgParams().Int(std::max<LONG>(count, 0)), rows, "discs");
    for (int i = 0; SUCCEEDED(hr) && i < rows.Rows(); ++i) Fill(rows, i, tagNames, records[i]);
    return hr;
}

void PgDiscStore::Fill(const PgResult& rows, int row, const QHash<int, QString>& tagNames, DiscRecord& record)
{
    record.discId = static_cast<int32_t>(rows.Int64(row, 0));
    record.labelId = static_cast<int32_t>(rows.Int64(row, 1));
    Utf16Text::CopyToField(record.name, kLibraryTextLength, rows.Text(row, 2));
    const QString tagIds = rows.Text(row, 3);
    Utf16Text::CopyToField(record.tagNames, kLibraryTextLength, TagNames::Join(tagIds, tagNames));
    Utf16Text::CopyToField(record.tagIds, kLibraryTextLength, tagIds);
    record.mediaClass = static_cast<int32_t>(rows.Int64(row, 4));
    record.formatCode = static_cast<int32_t>(rows.Int64(row, 5));
    Utf16Text::CopyToField(record.dateText, kLibraryTextLength, rows.Text(row, 6));
    record.totalSize = rows.Int64(row, 7);
    record.folderCount = static_cast<int32_t>(rows.Int64(row, 8));
    record.fileCount = static_cast<int32_t>(rows.Int64(row, 9));
}

HRESULT PgDiscStore::Identity(LONG discId, QByteArray& identity)
{
    PgResult rows;
    const HRESULT hr = m_db.Query("SELECT identity FROM discs WHERE id = $1", PgParams().Int(discId), rows, "identity");
    if (FAILED(hr)) return hr;
    if (rows.Rows() == 0) return E_INVALIDARG;
    identity = rows.Utf8(0, 0);
    return S_OK;
}

HRESULT PgDiscStore::TagIds(LONG discId, QString& tagIds)
{
    PgResult rows;
    const HRESULT hr = m_db.Query("SELECT tag_ids FROM discs WHERE id = $1", PgParams().Int(discId), rows, "disc tags");
    if (FAILED(hr)) return hr;
    if (rows.Rows() == 0) return E_INVALIDARG;
    tagIds = rows.Text(0, 0);
    return S_OK;
}

HRESULT PgDiscStore::FindByIdentity(const QByteArray& identity, LONG* discId)
{
    int64_t id = 0;
    const HRESULT hr = m_db.Number("SELECT min(id) FROM discs WHERE identity = $1", PgParams().Utf8(identity), &id,
                                   "find disc");
    if (SUCCEEDED(hr)) *discId = static_cast<LONG>(id);
    return hr;
}

HRESULT PgDiscStore::LabelId(LONG discId, LONG* labelId)
{
    PgResult rows;
    const HRESULT hr = m_db.Query("SELECT label_id FROM discs WHERE id = $1", PgParams().Int(discId), rows, "disc label");
    if (FAILED(hr)) return hr;
    if (rows.Rows() == 0) return E_INVALIDARG;
    *labelId = static_cast<LONG>(rows.Int64(0, 0));
    return S_OK;
}

HRESULT PgDiscStore::Newest(LONG* discId)
{
    int64_t id = 0;
    const HRESULT hr = m_db.Number("SELECT coalesce(max(id), 0) FROM discs", {}, &id, "newest disc");
    if (SUCCEEDED(hr)) *discId = static_cast<LONG>(id);
    return hr;
}
