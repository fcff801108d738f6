#include "DiscEntryCounts.h"

#include "FileSpans.h"
#include "LibrarySchema.h"

#include <sqlite3.h>
#include <string>

namespace {
std::string CountSql(bool spans)
{
    return "SELECT (SELECT count(*) FROM folders WHERE disc_id = ?1), (SELECT count(*) FROM files f WHERE " +
           FileSpans::OfDisc("f", "?1", spans) + ")";
}
} // namespace

namespace DiscEntryCounts {

HRESULT Count(SqliteConnection& db, LONG discId, LONG* folders, LONG* files)
{
    static const std::string sql[2] = {CountSql(false), CountSql(true)};
    auto query = db.Statement(sql[LibrarySchema::KeepsFileSpans(db)].c_str());
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return db.Failure(rc, "disc entry counts");
    *folders = static_cast<LONG>(query->Int64(0));
    *files = static_cast<LONG>(query->Int64(1));
    return S_OK;
}

} // namespace DiscEntryCounts
