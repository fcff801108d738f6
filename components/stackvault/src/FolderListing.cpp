#include "FolderListing.h"

#include "EntryTypes.h"
#include "FileSpans.h"
#include "LibrarySchema.h"
#include "Utf16Text.h"

#include <sqlite3.h>
#include <string>

namespace {
constexpr char kVisible[] = " AND NOT EXISTS (SELECT 1 FROM discs WHERE id = ?1 AND import_id IS NOT NULL)";

// The rows of one kind in the folder, aliased f: "<table> f WHERE <condition>".
std::string RowsSql(EntryKind kind, bool spans)
{
    if (kind == EntryKind::Folders) return "folders f WHERE f.disc_id = ?1 AND f.parent_id = ?2";
    return "files f WHERE " + FileSpans::OfFolder("f", "?1", "?2", spans);
}

// The entries of one kind in a folder as Fill gives them: id, name, size, type, time.
std::string FillSql(EntryKind kind, bool typeTexts, bool spans)
{
    return "SELECT f.id, f.name, f.size, " + EntryTypes::TextSql("f", typeTexts) + ", f.time FROM " + RowsSql(kind, spans) +
           kVisible + " ORDER BY f.id";
}

std::string CountSql(bool spans)
{
    return "SELECT (SELECT count(*) FROM " + RowsSql(EntryKind::Folders, spans) + ") + (SELECT count(*) FROM " +
           RowsSql(EntryKind::Files, spans) + ") WHERE 1" + kVisible;
}

std::string IdsOf(EntryKind kind, bool spans)
{
    return "SELECT f.id FROM " + RowsSql(kind, spans) + kVisible + " ORDER BY f.id";
}
} // namespace

HRESULT FolderListing::Count(LONG discId, LONG folderId, LONG* count)
{
    static const std::string sql[2] = {CountSql(false), CountSql(true)};
    auto query = m_db.Statement(sql[LibrarySchema::KeepsFileSpans(m_db)].c_str());
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    query->Bind(2, folderId);
    const int rc = query->Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m_db.Failure(rc, "folder count");
    *count = rc == SQLITE_ROW ? static_cast<LONG>(query->Int64(0)) : 0;
    return S_OK;
}

const char* FolderListing::IdsSql(EntryKind kind, bool spans)
{
    static const std::string folders = IdsOf(EntryKind::Folders, false);
    static const std::string files[2] = {IdsOf(EntryKind::Files, false), IdsOf(EntryKind::Files, true)};
    return (kind == EntryKind::Files ? files[spans] : folders).c_str();
}

HRESULT FolderListing::Fill(LONG discId, LONG folderId, FolderItemRecord* records, LONG count)
{
    const bool typeTexts = LibrarySchema::StoresTypeTexts(m_db);
    const bool spans = LibrarySchema::KeepsFileSpans(m_db);
    static const std::string folders[2] = {FillSql(EntryKind::Folders, false, false), FillSql(EntryKind::Folders, true, false)};
    static const std::string files[2][2] = {{FillSql(EntryKind::Files, false, false), FillSql(EntryKind::Files, false, true)},
                                            {FillSql(EntryKind::Files, true, false), FillSql(EntryKind::Files, true, true)}};
    LONG filled = 0;
    const HRESULT hr = FillFrom(folders[typeTexts].c_str(), discId, folderId, records, count, &filled);
    if (FAILED(hr)) return hr;
    return FillFrom(files[typeTexts][spans].c_str(), discId, folderId, records + filled, count - filled, &filled);
}

HRESULT FolderListing::FillFrom(const char* sql, LONG discId, LONG folderId, FolderItemRecord* records, LONG count,
                                LONG* filled)
{
    auto query = m_db.Statement(sql);
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    query->Bind(2, folderId);
    int rc = SQLITE_DONE;
    for (LONG i = 0; i < count && (rc = query->Step()) == SQLITE_ROW; ++i, ++*filled) {
        FolderItemRecord& record = records[i];
        record.id = static_cast<int32_t>(query->Int64(0));
        Utf16Text::CopyToField(record.name, kLibraryTextLength, query->Text(1));
        record.parentId = folderId;
        record.size = query->Int64(2);
        Utf16Text::CopyToField(record.type, kLibraryTextLength, query->Text(3));
        record.time = query->Int64(4);
    }
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "folder items");
}
