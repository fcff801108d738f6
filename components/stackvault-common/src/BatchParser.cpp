#include "BatchParser.h"

#include "Utf16Text.h"

#include <cstring>
#include <limits>

namespace {
constexpr std::u16string_view kFirstRow = u" SELECT ";
constexpr std::u16string_view kFirstFolderRow = u"  SELECT ";
constexpr std::u16string_view kNextRow = u" UNION SELECT ";
constexpr std::u16string_view kFieldSeparator = u", ";
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
// Decimal numbers of this many digits always fit in 64 bits.
constexpr size_t kPlainDigits = 18;
} // namespace

bool BatchParser::ParseEntries(bool hasIds, ParsedBatch& out)
{
    // A row takes some 60 characters, a third of them its texts: room for
    // most batches at once.
    out.entries.reserve(out.entries.size() + m_text.size() / 48);
    out.texts.reserve(out.texts.size() + m_text.size() / 2);
    return ParseRows([&] { return ParseEntry(hasIds, out); });
}

bool BatchParser::ParsePaths(bool hasIds, ParsedBatch& out)
{
    return ParseRows([&] { return ParsePath(hasIds, out); });
}

template <class ParseRow>
bool BatchParser::ParseRows(ParseRow parseRow)
{
    m_pos = 0;
    m_row = 0;
    m_error.clear();
    if (m_text.empty()) return Fail("empty batch");
    while (m_pos < m_text.size()) {
        if (!ReadRowStart(m_row == 0) || !parseRow()) return false;
        ++m_row;
    }
    return true;
}

bool BatchParser::ParseEntry(bool hasIds, ParsedBatch& out)
{
    EntryRow row;
    int64_t size = 0, time = 0;
    if (hasIds && (!ReadInt32(1, row.id) || !ReadSeparator())) return false;
    if (!ReadText(out.texts, row.name) || !ReadSeparator()) return false;
    if (!ReadNumber(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), size) || !ReadSeparator())
        return false;
    if (!ReadText(out.texts, row.type) || !ReadSeparator()) return false;
    if (!ReadNumber(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), time) || !ReadSeparator())
        return false;
    if (!ReadInt32(1, row.discId) || !ReadSeparator()) return false;
    if (!ReadInt32(kInt32Min, row.labelId) || !ReadSeparator()) return false;
    if (!ReadInt32(0, row.parentId) || !ReadSeparator()) return false;
    if (!ReadInt32(kInt32Min, row.pathId)) return false;
    row.size = size;
    row.time = time;
    out.entries.push_back(row);
    return true;
}

bool BatchParser::ParsePath(bool hasIds, ParsedBatch& out)
{
    PathRow row;
    if (hasIds && (!ReadInt32(1, row.id) || !ReadSeparator())) return false;
    if (!ReadText(out.texts, row.text)) return false;
    out.paths.push_back(row);
    return true;
}

bool BatchParser::ReadRowStart(bool first)
{
    if (!first) return ReadLiteral(kNextRow) || Fail("expected \" UNION SELECT \" or the end of the batch");
    return ReadLiteral(kFirstFolderRow) || ReadLiteral(kFirstRow) || Fail("expected \" SELECT \" at the start");
}

bool BatchParser::ReadSeparator()
{
    return ReadLiteral(kFieldSeparator) || Fail("expected \", \" between fields");
}

bool BatchParser::ReadLiteral(std::u16string_view literal)
{
    if (m_text.size() - m_pos < literal.size() ||
        std::memcmp(m_text.data() + m_pos, literal.data(), literal.size() * sizeof(char16_t)) != 0)
        return false;
    m_pos += literal.size();
    return true;
}

// Up to kPlainDigits digits are summed without a check; longer numbers
// (leading zeros, or out of range) are checked digit by digit.
bool BatchParser::ReadNumber(int64_t minimum, int64_t maximum, int64_t& value)
{
    const char16_t* const text = m_text.data();
    const size_t size = m_text.size();
    const bool negative = m_pos < size && text[m_pos] == u'-';
    const size_t firstDigit = m_pos + (negative ? 1 : 0);
    size_t end = firstDigit;
    uint64_t magnitude = 0; // wraps past kPlainDigits digits, and is then not used
    for (unsigned digit = 0; end < size && (digit = unsigned(text[end]) - u'0') <= 9; ++end)
        magnitude = magnitude * 10 + digit;
    if (end == firstDigit) return Fail("expected a number");
    int64_t result = 0;
    if (end - firstDigit <= kPlainDigits) {
        result = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    } else if (!CheckedNumber(m_text.substr(firstDigit, end - firstDigit), negative, result)) {
        return Fail("number out of range");
    }
    if (result < minimum || result > maximum) return Fail("number out of range");
    value = result;
    m_pos = end;
    return true;
}

bool BatchParser::CheckedNumber(std::u16string_view digits, bool negative, int64_t& value)
{
    // Accumulate negatively so that the smallest 64-bit value fits.
    int64_t accumulated = 0;
    constexpr int64_t kLowest = std::numeric_limits<int64_t>::min();
    for (const char16_t unit : digits) {
        const int digit = unit - u'0';
        if (accumulated < (kLowest + digit) / 10) return false;
        accumulated = accumulated * 10 - digit;
    }
    if (!negative && accumulated == kLowest) return false;
    value = negative ? accumulated : -accumulated;
    return true;
}

bool BatchParser::ReadInt32(int32_t minimum, int32_t& value)
{
    int64_t wide = 0;
    if (!ReadNumber(minimum, kInt32Max, wide)) return false;
    value = static_cast<int32_t>(wide);
    return true;
}

bool BatchParser::ReadText(std::u16string& buffer, TextSpan& span)
{
    if (m_pos >= m_text.size() || m_text[m_pos] != u'\'') return Fail("expected a quoted text");
    span.offset = static_cast<uint32_t>(buffer.size());
    size_t pos = m_pos + 1;
    while (true) {
        const size_t quote = m_text.find(u'\'', pos);
        if (quote == std::u16string_view::npos) return Fail("unterminated text");
        buffer.append(m_text.substr(pos, quote - pos));
        if (quote + 1 < m_text.size() && m_text[quote + 1] == u'\'') {
            buffer.push_back(u'\'');
            pos = quote + 2;
            continue;
        }
        m_pos = quote + 1;
        break;
    }
    span.length = static_cast<uint32_t>(buffer.size() - span.offset);
    if (!Utf16Text::IsWellFormed(std::u16string_view(buffer).substr(span.offset))) return Fail("text is not valid UTF-16");
    return true;
}

bool BatchParser::Fail(const char* what)
{
    if (m_error.empty())
        m_error = "row " + std::to_string(m_row + 1) + ", offset " + std::to_string(m_pos) + ": " + what;
    return false;
}
