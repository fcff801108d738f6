#include "SplitNames.h"

#include "SortInHalves.h"

#include <QtEndian>
#include <algorithm>

namespace {
constexpr size_t kWordBytes = sizeof(uint64_t);
constexpr size_t kPrefixBytes = 2 * kWordBytes;

// Eight bytes of `key` from `first`, as a number that orders as they do.
uint64_t WordOf(std::string_view key, size_t first)
{
    if (key.size() >= first + kWordBytes) return qFromBigEndian<uint64_t>(key.data() + first);
    uint64_t word = 0;
    for (size_t i = first; i < first + kWordBytes; ++i)
        word = word << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return word;
}
} // namespace

SplitNames::SplitNames(std::shared_ptr<const AsciiNameKeys> ascii) : m_ascii(std::move(ascii)) {}

void SplitNames::Reserve(size_t rows)
{
    m_keyEnds.reserve(rows);
    m_asciiRows.reserve(rows);
    m_sorted.reserve(rows);
}

void SplitNames::Add(const SortEntries& entries)
{
    for (size_t row = Rows(); row < entries.Count(); ++row) {
        if (m_ascii && m_ascii->Append(entries.Name(row), m_keys)) {
            m_asciiRows.push_back(int(row));
            m_keyEnds.push_back(m_keys.size());
            const size_t index = m_keyEnds.size() - 1;
            const std::string_view key = KeyOf(index);
            m_sorted.push_back({WordOf(key, 0), WordOf(key, kWordBytes), int(index)});
        } else {
            m_otherRows.push_back(int(row));
        }
    }
}

// Keys of equal prefixes are at least that long, or equal.
bool SplitNames::Less(const PrefixedKey& a, const PrefixedKey& b) const
{
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    const std::string_view left = KeyOf(size_t(a.index)), right = KeyOf(size_t(b.index));
    return left.substr(std::min(kPrefixBytes, left.size())) < right.substr(std::min(kPrefixBytes, right.size()));
}

void SplitNames::SortAdded()
{
    const size_t first = m_runEnds.empty() ? 0 : m_runEnds.back();
    if (first == m_sorted.size()) return;
    SortInHalves(m_sorted, [this](const PrefixedKey& a, const PrefixedKey& b) { return Less(a, b); }, first);
    m_runEnds.push_back(m_sorted.size());
    while (m_runEnds.size() >= 2) {
        const size_t end = m_runEnds.back(), middle = m_runEnds[m_runEnds.size() - 2];
        const size_t start = m_runEnds.size() >= 3 ? m_runEnds[m_runEnds.size() - 3] : 0;
        if (end - middle < middle - start) break;
        MergeLastRuns();
    }
}

void SplitNames::MergeLastRuns()
{
    const size_t end = m_runEnds.back();
    m_runEnds.pop_back();
    const size_t middle = m_runEnds.back();
    const size_t start = m_runEnds.size() >= 2 ? m_runEnds[m_runEnds.size() - 2] : 0;
    // The second run is set aside and the two are merged from their ends:
    // equal keys of the second run go after those of the first. Once it is
    // placed, the rest of the first run is where it belongs.
    const auto keys = m_sorted.begin();
    const std::vector<PrefixedKey> second(keys + std::ptrdiff_t(middle), keys + std::ptrdiff_t(end));
    size_t out = end, first = middle;
    for (auto key = second.rbegin(); key != second.rend(); ++key) {
        while (first > start && Less(*key, m_sorted[first - 1])) m_sorted[--out] = m_sorted[--first];
        m_sorted[--out] = *key;
    }
    m_runEnds.back() = end;
}

std::vector<int> SplitNames::KeyOrder()
{
    SortAdded();
    while (m_runEnds.size() >= 2) MergeLastRuns();
    std::vector<int> order(m_sorted.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = m_sorted[i].index;
    return order;
}
