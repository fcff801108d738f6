#include "FileSpanSql.h"

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

namespace FileSpanSql {

std::string DiscTest(const char* row, const char* disc) { return std::string(row) + ".disc_id = " + disc; }

std::string FolderTest(const char* row, const char* disc, const char* folder)
{
    return DiscTest(row, disc) + " AND " + row + ".folder_id = " + folder;
}

std::string OfDisc(const char* row, const char* disc)
{
    return InSpan(std::string(row) + ".id", "min(span.first_id)", "max(span.last_id)", std::string("span.disc_id = ") + disc,
                  DiscTest(row, disc));
}

std::string OfFolder(const char* row, const char* disc, const char* folder)
{
    const std::string folderSpan = std::string("span.disc_id = ") + disc + " AND span.folder_id = " + folder;
    return InSpan(std::string(row) + ".id", "span.first_id", "span.last_id", folderSpan, FolderTest(row, disc, folder));
}

} // namespace FileSpanSql
