// The file spans of the folders an import's file rows lie in (FileSpanSql.h:
// a folder's files are found by the range of their ids, which costs a few
// bytes a folder where an index of every file by disc and folder cost a
// B-tree entry a file on every import). A batch's folders are noted as its
// rows are made and join the import's once the batch is stored, so a batch
// that fails leaves no span behind; the import widens the stored spans in
// one statement before anything reads them in its transaction (deleting a
// disc) and at its close.
#pragma once
#include "IdRange.h"
#include "hresult.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class PgConnection;

class PgFileSpans {
public:
    // The statements that delete the files of the discs `disc` (an SQL
    // expression such as "$1" or "ANY($1::int[])") and then their spans, in order.
    static std::vector<std::string> DeleteFilesSql(const char* disc);

    // Notes a file row of folder `folderId` (0: the root) of disc `discId`.
    void Add(int32_t discId, int32_t folderId, int64_t fileId) { m_spans[{discId, folderId}].Add(fileId); }
    // Notes every row `other` noted.
    void Add(const PgFileSpans& other);
    // Widens the stored spans to take in every row noted, and forgets them.
    HRESULT Store(PgConnection& db);

private:
    // The statement that widens the stored spans; empty when no row was noted.
    std::string WidenSql() const;

    // (disc, folder) -> the ids noted.
    std::map<std::pair<int32_t, int32_t>, IdRange> m_spans;
};
