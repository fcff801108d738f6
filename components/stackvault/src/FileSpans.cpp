#include "FileSpans.h"

#include <sqlite3.h>

namespace {
// "(SELECT <what> FROM file_spans span WHERE <where>)"
std::string SpanBound(const char* what, const std::string& where)
{
    return std::string("(SELECT ") + what + " FROM file_spans span WHERE " + where + ")";
}

// The rows whose id lies in the span chosen by `where` and that satisfy `test`.
std::string InSpan(const std::string& id, const char* first, const char* last, const std::string& where,
                   const std::string& test)
{
    return id + " BETWEEN " + SpanBound(first, where) + " AND " + SpanBound(last, where) + " AND " + test;
}
} // namespace

std::string FileSpans::OfDisc(const char* row, const char* disc, bool kept)
{
    const std::string test = std::string(row) + ".disc_id = " + disc;
    if (!kept) return test;
    return InSpan(std::string(row) + ".id", "min(span.first_id)", "max(span.last_id)", std::string("span.disc_id = ") + disc, test);
}

std::string FileSpans::OfFolder(const char* row, const char* disc, const char* folder, bool kept)
{
    const std::string test = std::string(row) + ".disc_id = " + disc + " AND " + row + ".folder_id = " + folder;
    if (!kept) return test;
    const std::string folderSpan = std::string("span.disc_id = ") + disc + " AND span.folder_id = " + folder;
    return InSpan(std::string(row) + ".id", "span.first_id", "span.last_id", folderSpan, test);
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
