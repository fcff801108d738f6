// Where the files of a folder and of a disc lie among the file ids. An
// import's rows get ids counting up from the largest in use, one import at
// a time, and the scanner numbers a folder's files one after another, so a
// disc's files, and mostly a folder's, lie in a narrow range of ids. A
// library keeps the lowest and highest id of each folder's files
// (file_spans, a few bytes a folder) instead of an index of every file by
// disc and folder (15 bytes a file). A folder's or a disc's files are read
// by a scan of that range that still tests each row's disc and folder, so
// it is exact also when rows of other folders lie within.
//
// A library made before version 6 has the index and no spans
// (LibrarySchema::KeepsFileSpans); the conditions below select the same
// rows in both layouts.
#pragma once
#include "EntryWriter.h"
#include "SqliteConnection.h"
#include "wintypes.h"

#include <map>
#include <string>
#include <utility>

class FileSpans {
public:
    // SQL condition for the files aliased `row` of the disc given by the SQL
    // expression `disc` (a parameter such as "?1", or a column).
    static std::string OfDisc(const char* row, const char* disc, bool kept);
    // The same for the files of one folder of the disc (folder 0: its root).
    static std::string OfFolder(const char* row, const char* disc, const char* folder, bool kept);

    explicit FileSpans(SqliteConnection& db) : m_db(db) {}

    // Notes a file row written; Store widens the spans to take in every row noted.
    void Add(int64_t discId, int64_t folderId, int64_t fileId) { m_spans[{discId, folderId}].Add(fileId); }
    // Call inside the write transaction that wrote the rows.
    HRESULT Store();

private:
    SqliteConnection& m_db;
    std::map<std::pair<int64_t, int64_t>, IdRange> m_spans;
};
