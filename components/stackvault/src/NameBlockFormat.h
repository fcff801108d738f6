// The packed form of a block of file names (file_name_blocks.entries): the
// id, path id and name of a run of one disc's files, in ascending id order,
// so that a scan of every name (a short query) reads one value per block
// instead of stepping through a table row per file.
//
// An entry, one after another to the value's end:
//   id step      unsigned LEB128: id minus the previous entry's id (the
//                first entry's minus the block's first id, so 0 there)
//   path step    LEB128 of the zigzag form of path id minus the previous
//                entry's path id (the first entry's minus 0)
//   name bytes   unsigned LEB128: the length of the name
//   name         the name's UTF-8 as the row stores it
// Every id after the first is greater than the one before.
//
// A library file is outside input: the reader checks every length against
// the value's end and each step, and tells a damaged block from its end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace NameBlockFormat {

struct Entry {
    int64_t id = 0;
    int64_t pathId = 0;
    std::string_view name; // inside the block's value
};

// Appends an entry that follows `previous` (the block's first entry: an
// Entry with the block's first id and path id 0).
void Append(std::string& block, const Entry& previous, int64_t id, int64_t pathId, std::string_view name);

class Reader {
public:
    // Ids are positive: a negative first id is damage.
    Reader(int64_t firstId, std::string_view block) : m_block(block), m_damaged(firstId < 0) { m_entry.id = firstId; }

    // The next entry into `entry`; false at the end or at damage (Damaged).
    bool Next(Entry& entry);
    bool Damaged() const { return m_damaged; }

private:
    bool ReadNumber(uint64_t* value);
    bool Fail();

    std::string_view m_block;
    bool m_damaged;
    size_t m_at = 0;
    Entry m_entry;
    bool m_first = true;
};

} // namespace NameBlockFormat
