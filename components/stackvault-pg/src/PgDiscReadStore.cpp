#include "PgDiscReadStore.h"

#include "PgTransaction.h"

namespace PgDiscReadStore {

HRESULT SetGaps(PgConnection& db, LONG discId, const DiscGapRecord& gaps)
{
    const bool empty = gaps.unreadFolders == 0 && gaps.unreadFiles == 0 && gaps.reasons == 0;
    PgTransaction transaction(db);
    HRESULT hr = transaction.Started();
    if (SUCCEEDED(hr)) hr = db.Run("DELETE FROM disc_gaps WHERE disc_id = $1", PgParams().Int(discId), "clear disc gaps");
    if (FAILED(hr) || empty) return transaction.Finish(hr);
    const PgResult result = db.Exec(
        "INSERT INTO disc_gaps(disc_id, unread_folders, unread_files, reasons, medium_bytes, volume_bytes)"
        " SELECT id, $2, $3, $4, $5, $6 FROM discs WHERE id = $1",
        PgParams().Int(discId).Int(gaps.unreadFolders).Int(gaps.unreadFiles).Int(gaps.reasons).Int(gaps.mediumBytes).Int(
            gaps.volumeBytes));
    if (!result.Ok()) hr = db.Failure(result, "set disc gaps");
    else if (PgConnection::Changed(result) == 0) hr = E_INVALIDARG;
    return transaction.Finish(hr);
}

HRESULT Gaps(PgConnection& db, LONG discId, DiscGapRecord& gaps)
{
    gaps = DiscGapRecord{};
    PgResult rows;
    const HRESULT hr = db.Query("SELECT unread_folders, unread_files, reasons, medium_bytes, volume_bytes FROM disc_gaps"
                                " WHERE disc_id = $1",
                                PgParams().Int(discId), rows, "disc gaps");
    if (FAILED(hr) || rows.Rows() == 0) return hr;
    gaps.unreadFolders = static_cast<int32_t>(rows.Int64(0, 0));
    gaps.unreadFiles = static_cast<int32_t>(rows.Int64(0, 1));
    gaps.reasons = static_cast<int32_t>(rows.Int64(0, 2));
    gaps.mediumBytes = rows.Int64(0, 3);
    gaps.volumeBytes = rows.Int64(0, 4);
    return S_OK;
}

HRESULT RegisterReplacement(PgConnection& db, int64_t importId, LONG newDiscId, LONG oldDiscId)
{
    if (newDiscId == oldDiscId) return E_INVALIDARG;
    int64_t exists = 0;
    HRESULT hr = db.Number("SELECT count(*) FROM discs WHERE id = $1", PgParams().Int(oldDiscId), &exists, "old disc");
    if (SUCCEEDED(hr) && !exists) hr = E_INVALIDARG;
    if (SUCCEEDED(hr))
        hr = db.Run("INSERT INTO disc_replacements(new_disc_id, old_disc_id, import_id) VALUES($1, $2, $3)"
                    " ON CONFLICT(new_disc_id) DO UPDATE SET old_disc_id = excluded.old_disc_id, import_id = excluded.import_id",
                    PgParams().Int(newDiscId).Int(oldDiscId).Int(importId), "register replacement");
    if (SUCCEEDED(hr))
        hr = db.Run("SELECT pg_advisory_xact_lock($1::int, $2::int)", PgParams().Int(kReplacedDiscLocks).Int(oldDiscId),
                    "mark replaced disc");
    return hr;
}

} // namespace PgDiscReadStore
