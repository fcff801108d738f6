// Conditions that find the files of a disc or of a folder through the
// library's file spans (file_spans(disc_id, folder_id, first_id, last_id):
// the lowest and highest id of each folder's files). The rows are read by
// their id range and each still tests its disc and folder, so the result is
// exact also when rows of other folders lie within the range. Both engines
// use them; the disc and folder are SQL expressions (a parameter such as
// "?1" or "$1", or a column).
#pragma once
#include <string>

namespace FileSpanSql {

// The files aliased `row` of the disc `disc`.
std::string OfDisc(const char* row, const char* disc);
// The files aliased `row` of folder `folder` of the disc (folder 0: its root).
std::string OfFolder(const char* row, const char* disc, const char* folder);
// The same tests without the spans (for a library that has none).
std::string DiscTest(const char* row, const char* disc);
std::string FolderTest(const char* row, const char* disc, const char* folder);

// Makes the spans of every file row of a library (the spans must be empty).
inline constexpr char kRebuildSql[] =
    "INSERT INTO file_spans(disc_id, folder_id, first_id, last_id)"
    " SELECT disc_id, folder_id, min(id), max(id) FROM files GROUP BY disc_id, folder_id";

} // namespace FileSpanSql
