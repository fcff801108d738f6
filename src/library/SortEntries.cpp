#include "SortEntries.h"

#include <cstdint>

namespace {
std::u16string_view ViewOf(QStringView text) { return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())}; }
} // namespace

void SortEntries::Reserve(size_t rows)
{
    m_flags.reserve(rows);
    m_nameEnds.reserve(rows);
    for (std::vector<int>& indexes : m_textIndexes) indexes.reserve(rows);
    m_times.reserve(rows);
    m_sizes.reserve(rows);
}

void SortEntries::Add(DWORD flags, QStringView name, QStringView tags, QStringView type, QStringView dateText,
                      INT64 time, INT64 size)
{
    m_flags.push_back(flags);
    const std::u16string_view chars = ViewOf(name);
    m_nameChars.insert(m_nameChars.end(), chars.begin(), chars.end());
    m_nameEnds.push_back(m_nameChars.size());
    m_textIndexes[Tags].push_back(TextIndexOf(tags));
    m_textIndexes[Type].push_back(TextIndexOf(type));
    m_textIndexes[DateText].push_back(TextIndexOf(dateText));
    m_times.push_back(time);
    m_sizes.push_back(size);
}

QStringView SortEntries::Name(size_t row) const
{
    const size_t begin = row == 0 ? 0 : m_nameEnds[row - 1];
    return QStringView(m_nameChars.data() + begin, qsizetype(m_nameEnds[row] - begin));
}

int SortEntries::TextIndexOf(QStringView text)
{
    // Most rows have no tags and no date text: looked up once.
    if (text.isEmpty() && m_emptyTextIndex >= 0) return m_emptyTextIndex;
    // The address's bits mixed (Fibonacci hashing): strings' characters lie
    // at addresses of a few alignments, which their low bits alone would
    // crowd into a few places.
    const uint64_t mixed = uint64_t(reinterpret_cast<uintptr_t>(text.data())) * 0x9E3779B97F4A7C15u;
    Seen& seen = m_seen[size_t(mixed >> (64 - kSeenBits))];
    // The characters are compared too: the string seen there may have gone
    // and another taken its place.
    if (seen.index >= 0 && seen.chars == text.data() && seen.size == text.size() && m_texts[size_t(seen.index)] == text)
        return seen.index;
    int index = int(m_texts.size());
    if (const auto found = m_textIndexOf.find(ViewOf(text)); found != m_textIndexOf.end()) {
        index = found->second;
    } else {
        m_texts.push_back(text.toString());
        m_textIndexOf.emplace(ViewOf(m_texts.back()), index);
        if (text.isEmpty()) m_emptyTextIndex = index;
    }
    seen = {text.data(), text.size(), index};
    return index;
}
