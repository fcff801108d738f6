#include "DiscEntryCounts.h"

#include <sqlite3.h>

namespace DiscEntryCounts {

HRESULT Count(SqliteConnection& db, LONG discId, LONG* folders, LONG* files)
{
    auto query = db.Statement("SELECT (SELECT count(*) FROM folders WHERE disc_id = ?1),"
                              " (SELECT count(*) FROM files WHERE disc_id = ?1)");
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return db.Failure(rc, "disc entry counts");
    *folders = static_cast<LONG>(query->Int64(0));
    *files = static_cast<LONG>(query->Int64(1));
    return S_OK;
}

} // namespace DiscEntryCounts
