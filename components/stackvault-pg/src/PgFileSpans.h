// The file spans of the folders a batch of file rows lies in (FileSpanSql.h:
// a folder's files are found by the range of their ids, which costs a few
// bytes a folder where an index of every file by disc and folder cost a
// B-tree entry a file on every import). The rows' folders are noted as the
// batch is made; the statement that widens the stored spans runs in the
// batch's own script, inside its savepoint, so a batch that fails leaves
// no span behind.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class PgFileSpans {
public:
    // The statements that delete the files of the discs `disc` (an SQL
    // expression such as "$1" or "ANY($1::int[])") and then their spans, in order.
    static std::vector<std::string> DeleteFilesSql(const char* disc);

    // Notes a file row of folder `folderId` (0: the root) of disc `discId`.
    void Add(int32_t discId, int32_t folderId, int64_t fileId);
    // The statement that widens the stored spans to take in every row
    // noted; empty when no row was.
    std::string WidenSql() const;

private:
    // (disc, folder) -> the lowest and highest id noted.
    std::map<std::pair<int32_t, int32_t>, std::pair<int64_t, int64_t>> m_spans;
};
