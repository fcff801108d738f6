// Strict parser of record batches. A batch is a list of rows; the first is
// preceded by " SELECT " (or "  SELECT "), each later one by " UNION SELECT ".
// Fields are separated by ", "; numbers are decimal with an optional minus;
// texts stand between apostrophes with every inner apostrophe doubled.
//   entry row: id, 'name', size, 'type', time, disc, label, folder, path
//   (track rows lack the leading id)
//   path row:  id, 'text'   (or just 'text' without ids)
// Anything else is refused with a message naming the row and offset.
#pragma once
#include "ParsedBatch.h"

#include <string>
#include <string_view>

class BatchParser {
public:
    explicit BatchParser(std::u16string_view batch) : m_text(batch) {}

    bool ParseEntries(bool hasIds, ParsedBatch& out);
    bool ParsePaths(bool hasIds, ParsedBatch& out);
    // Why the last parse failed.
    const std::string& Error() const { return m_error; }

private:
    template <class ParseRow>
    bool ParseRows(ParseRow parseRow);
    bool ParseEntry(bool hasIds, ParsedBatch& out);
    bool ParsePath(bool hasIds, ParsedBatch& out);
    bool ReadRowStart(bool first);
    bool ReadSeparator();
    bool ReadLiteral(std::u16string_view literal);
    bool ReadNumber(int64_t minimum, int64_t maximum, int64_t& value);
    // The number of `digits` (more than fit unchecked); false when out of range.
    static bool CheckedNumber(std::u16string_view digits, bool negative, int64_t& value);
    bool ReadInt32(int32_t minimum, int32_t& value);
    bool ReadText(std::u16string& buffer, TextSpan& span);
    bool Fail(const char* what);

    std::u16string_view m_text;
    size_t m_pos = 0;
    size_t m_row = 0;
    std::string m_error;
};
