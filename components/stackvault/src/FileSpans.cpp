#include "FileSpans.h"

#include "FileSpanSql.h"

#include <sqlite3.h>

std::string FileSpans::OfDisc(const char* row, const char* disc, bool kept)
{
    return kept ? FileSpanSql::OfDisc(row, disc) : FileSpanSql::DiscTest(row, disc);
}

std::string FileSpans::OfFolder(const char* row, const char* disc, const char* folder, bool kept)
{
    return kept ? FileSpanSql::OfFolder(row, disc, folder) : FileSpanSql::FolderTest(row, disc, folder);
}

HRESULT FileSpans::Store()
{
    auto widen = m_db.Statement(
        "INSERT INTO file_spans(disc_id, folder_id, first_id, last_id) VALUES(?1, ?2, ?3, ?4)"
        " ON CONFLICT(disc_id, folder_id) DO UPDATE SET first_id = min(first_id, excluded.first_id),"
        " last_id = max(last_id, excluded.last_id)");
    if (!widen) return E_FAIL;
    for (const auto& [folder, ids] : m_spans) {
        widen->Reset();
        widen->Bind(1, folder.first);
        widen->Bind(2, folder.second);
        widen->Bind(3, ids.first);
        widen->Bind(4, ids.last);
        const int rc = widen->Run();
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "file spans");
    }
    m_spans.clear();
    return S_OK;
}
