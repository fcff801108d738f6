// The blocks of file names a library made from version 7 keeps beside its
// file rows, in file_name_blocks(first_id, last_id, disc_id, entries): the
// id, path id and name of each file of a finished disc, packed
// (NameBlockFormat) in runs of one disc's files in id order. A scan of
// every name (a short query, the command line's search) reads one value
// per block instead of stepping the statement machine through a row per
// file, which cost more than the test of the name itself.
//
// A block holds the ids first_id..last_id of its disc's files between them;
// no two blocks' ranges overlap (an import's rows are written while it
// holds the import slot, and packed once, range by range, when it closes),
// so blocks in first_id order give the files in id order. Blocks are
// packed from the rows the name index takes when an import closes (in the
// same pass and transaction), and from every file when a repair builds the
// library anew; they go with their disc. Names, paths and discs of file
// rows never change afterwards.
#pragma once
#include "SqliteConnection.h"
#include "wintypes.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class SqliteStatement;

class NameBlocks {
public:
    explicit NameBlocks(SqliteConnection& db) : m_db(db) {}

    // Packs a file; files come in ascending id order (one that does not
    // makes Store fail).
    void Pack(int64_t id, int64_t discId, int64_t pathId, std::string_view name);
    // Writes the blocks packed so far (inside a write transaction).
    HRESULT Store();
    // Packs and stores every file of a finished disc (a library built anew).
    HRESULT AddAll();
    // Makes the blocks of the next range of ids of a library of an earlier
    // version (inside a write transaction): the files of the discs that were
    // finished when this version first opened it (later imports make their
    // own). *finished when no range is left; the conversion's tables go then.
    HRESULT ConvertNext(bool* finished);
    // Ids a conversion goes through per transaction.
    static constexpr int64_t kConvertIds = 65536;

    // Whether the blocks of the finished discs hold exactly their files, in
    // order: S_OK, or LIBRARY_E_DAMAGED with the first difference in
    // *finding (the full integrity check; a repair builds them anew).
    HRESULT Check(QString* finding);

    // Removes the blocks of disc ?1.
    static constexpr char kDeleteDiscSql[] = "DELETE FROM file_name_blocks WHERE disc_id = ?1";
    // The first and last block's first id (null when there are none).
    static constexpr char kFirstIdRangeSql[] =
        "SELECT (SELECT first_id FROM file_name_blocks ORDER BY first_id LIMIT 1),"
        " (SELECT first_id FROM file_name_blocks ORDER BY first_id DESC LIMIT 1)";

    // A block holds at most this many files and is cut after this many bytes.
    static constexpr int kMostEntries = 2048;
    static constexpr size_t kMostBytes = 32 * 1024;

private:
    struct Block {
        int64_t discId = 0;
        int64_t firstId = 0, lastId = 0, lastPathId = 0;
        int entries = 0;
        std::string bytes;
    };
    // Writes the first `count` blocks packed and drops them.
    HRESULT StoreFirst(size_t count);
    // Whether the block being packed takes a file of `discId`.
    bool Takes(int64_t discId) const;
    // Packs the rows (id, disc id, path id, name in id order), storing the
    // blocks as they fill, so that millions of files are never held at once.
    HRESULT PackAll(SqliteStatement& rows);
    // Check with both statements open: rows as AddAll reads them, blocks
    // in first id order.
    HRESULT Compare(SqliteStatement& rows, SqliteStatement& blocks, QString* finding);

    SqliteConnection& m_db;
    std::vector<Block> m_packed; // the last one still being packed
    bool m_outOfOrder = false;
};
