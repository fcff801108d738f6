#include "DiscGapStore.h"

#include <sqlite3.h>

namespace {
bool IsEmpty(const DiscGapRecord& gaps) { return gaps.unreadFolders == 0 && gaps.unreadFiles == 0 && gaps.reasons == 0; }
} // namespace

HRESULT DiscGapStore::Set(LONG discId, const DiscGapRecord& gaps)
{
    auto clear = m_db.Statement("DELETE FROM disc_gaps WHERE disc_id = ?");
    if (!clear) return E_FAIL;
    clear->Bind(1, discId);
    int rc = clear->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "clear disc gaps");
    if (IsEmpty(gaps)) return S_OK;
    auto insert = m_db.Statement(
        "INSERT INTO disc_gaps(disc_id, unread_folders, unread_files, reasons, medium_bytes, volume_bytes)"
        " SELECT id, ?2, ?3, ?4, ?5, ?6 FROM discs WHERE id = ?1");
    if (!insert) return E_FAIL;
    insert->Bind(1, discId);
    insert->Bind(2, gaps.unreadFolders);
    insert->Bind(3, gaps.unreadFiles);
    insert->Bind(4, gaps.reasons);
    insert->Bind(5, gaps.mediumBytes);
    insert->Bind(6, gaps.volumeBytes);
    rc = insert->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "set disc gaps");
    return m_db.Changes() > 0 ? S_OK : E_INVALIDARG;
}

HRESULT DiscGapStore::Get(LONG discId, DiscGapRecord& gaps)
{
    gaps = DiscGapRecord{};
    auto query = m_db.Statement(
        "SELECT unread_folders, unread_files, reasons, medium_bytes, volume_bytes FROM disc_gaps WHERE disc_id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    const int rc = query->Step();
    if (rc == SQLITE_DONE) return S_OK;
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "disc gaps");
    gaps.unreadFolders = static_cast<int32_t>(query->Int64(0));
    gaps.unreadFiles = static_cast<int32_t>(query->Int64(1));
    gaps.reasons = static_cast<int32_t>(query->Int64(2));
    gaps.mediumBytes = query->Int64(3);
    gaps.volumeBytes = query->Int64(4);
    return S_OK;
}
