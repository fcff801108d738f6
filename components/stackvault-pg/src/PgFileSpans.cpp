#include "PgFileSpans.h"

#include "FileSpanSql.h"
#include "PgConnection.h"


std::vector<std::string> PgFileSpans::DeleteFilesSql(const char* disc)
{
    return {"DELETE FROM files f WHERE " + FileSpanSql::OfDisc("f", disc),
            std::string("DELETE FROM file_spans WHERE disc_id = ") + disc};
}

void PgFileSpans::Add(const PgFileSpans& other)
{
    for (const auto& [folder, ids] : other.m_spans) {
        Add(folder.first, folder.second, ids.first);
        Add(folder.first, folder.second, ids.last);
    }
}

HRESULT PgFileSpans::Store(PgConnection& db)
{
    const std::string sql = WidenSql();
    const HRESULT hr = sql.empty() ? S_OK : db.Run(sql.c_str(), {}, "file spans");
    if (SUCCEEDED(hr)) m_spans.clear();
    return hr;
}

std::string PgFileSpans::WidenSql() const
{
    if (m_spans.empty()) return {};
    std::string sql = "INSERT INTO file_spans(disc_id, folder_id, first_id, last_id) VALUES";
    const char* separator = "(";
    for (const auto& [folder, ids] : m_spans) {
        sql += separator + std::to_string(folder.first) + "," + std::to_string(folder.second) + "," +
               std::to_string(ids.first) + "," + std::to_string(ids.last);
        separator = "),(";
    }
    return sql + ") ON CONFLICT(disc_id, folder_id) DO UPDATE SET first_id = least(file_spans.first_id, excluded.first_id),"
                 " last_id = greatest(file_spans.last_id, excluded.last_id)";
}
