#include "PgFolderListing.h"

#include "FileSpanSql.h"
#include "Utf16Text.h"

#include <string>

namespace {
constexpr char kVisible[] = " AND NOT EXISTS (SELECT 1 FROM discs WHERE id = $1 AND import_id IS NOT NULL)";

// The files of folder $2 of disc $1, aliased f.
const std::string& FolderFiles()
{
    static const std::string files = "files f WHERE " + FileSpanSql::OfFolder("f", "$1", "$2");
    return files;
}

HRESULT FillFrom(PgConnection& db, const std::string& sql, LONG discId, LONG folderId, FolderItemRecord* records,
                 LONG count, LONG* filled)
{
    if (count <= 0) return S_OK;
    PgResult rows;
    const HRESULT hr = db.Query(sql.c_str(), PgParams().Int(discId).Int(folderId).Int(count), rows, "folder items");
    for (int i = 0; SUCCEEDED(hr) && i < rows.Rows(); ++i, ++*filled) {
        FolderItemRecord& record = records[i];
        record.id = static_cast<int32_t>(rows.Int64(i, 0));
        Utf16Text::CopyToField(record.name, kLibraryTextLength, rows.Text(i, 1));
        record.parentId = folderId;
        record.size = rows.Int64(i, 2);
        Utf16Text::CopyToField(record.type, kLibraryTextLength, rows.Text(i, 3));
        record.time = rows.Int64(i, 4);
    }
    return hr;
}
} // namespace

namespace PgFolderListing {

HRESULT Count(PgConnection& db, LONG discId, LONG folderId, LONG* count)
{
    static const std::string sql =
        std::string("SELECT (SELECT count(*) FROM folders WHERE disc_id = $1 AND parent_id = $2)"
                    " + (SELECT count(*) FROM ") + FolderFiles() + ") WHERE true" + kVisible;
    int64_t value = 0;
    const HRESULT hr = db.Number(sql.c_str(), PgParams().Int(discId).Int(folderId), &value, "folder count");
    if (SUCCEEDED(hr)) *count = static_cast<LONG>(value);
    return hr;
}

const char* IdsSql(PgEntryKind kind)
{
    static const std::string folders =
        std::string("SELECT id FROM folders WHERE disc_id = $1 AND parent_id = $2") + kVisible + " ORDER BY id";
    static const std::string files =
        "SELECT f.id FROM " + FolderFiles() + kVisible + " ORDER BY f.id";
    return (kind == PgEntryKind::Files ? files : folders).c_str();
}

HRESULT Fill(PgConnection& db, LONG discId, LONG folderId, FolderItemRecord* records, LONG count)
{
    static const std::string folders =
        std::string("SELECT id, name, size, type, time FROM folders WHERE disc_id = $1 AND parent_id = $2") + kVisible +
        " ORDER BY id LIMIT $3";
    static const std::string files =
        "SELECT f.id, f.name, f.size, f.type, f.time FROM " + FolderFiles() + kVisible + " ORDER BY f.id LIMIT $3";
    LONG filled = 0;
    const HRESULT hr = FillFrom(db, folders, discId, folderId, records, count, &filled);
    if (FAILED(hr)) return hr;
    return FillFrom(db, files, discId, folderId, records + filled, count - filled, &filled);
}

HRESULT DiscCounts(PgConnection& db, LONG discId, LONG* folders, LONG* files)
{
    PgResult counts;
    static const std::string sql = "SELECT (SELECT count(*) FROM folders WHERE disc_id = $1),"
                                   " (SELECT count(*) FROM files f WHERE " + FileSpanSql::OfDisc("f", "$1") + ")";
    const HRESULT hr = db.Query(sql.c_str(), PgParams().Int(discId), counts, "disc entry counts");
    if (FAILED(hr)) return hr;
    *folders = static_cast<LONG>(counts.Int64(0, 0));
    *files = static_cast<LONG>(counts.Int64(0, 1));
    return S_OK;
}

} // namespace PgFolderListing
