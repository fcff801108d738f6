// The names of a list split into those AsciiNameKeys keys (their keys side
// by side, in row order) and the others, and the keyed names put in key
// order, for a sort by name. Built a run of rows at a time: a folder's
// names are split and their keys sorted as its entries are read, so that
// little is left to do once the last is read.
#pragma once
#include "AsciiNameKeys.h"
#include "SortEntries.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SplitNames {
public:
    // `ascii`: the keys of the names' language; null keys no name.
    explicit SplitNames(std::shared_ptr<const AsciiNameKeys> ascii);

    // Makes room for `rows` names in all.
    void Reserve(size_t rows);
    // Splits the rows of `entries` not split yet.
    void Add(const SortEntries& entries);
    // Sorts the keys added since the last call, as a run of their own merged
    // with the runs before as a binary counter adds: each key is merged a
    // few times (the logarithm of the number of runs), not once per run.
    void SortAdded();
    // The keyed names in key order, as indexes into their keys (KeyOf).
    std::vector<int> KeyOrder();
    // Whether the key at `position` of KeyOrder's order equals the one
    // before it (most are told apart by their first sixteen bytes alone).
    bool SameKeyAsPrevious(size_t position) const
    {
        return position > 0 && !Less(m_sorted[position - 1], m_sorted[position]);
    }

    // The rows split so far.
    size_t Rows() const { return m_asciiRows.size() + m_otherRows.size(); }
    const AsciiNameKeys* Ascii() const { return m_ascii.get(); }
    // The key of the i-th keyed name.
    std::string_view KeyOf(size_t i) const
    {
        const size_t begin = i == 0 ? 0 : m_keyEnds[i - 1];
        return std::string_view(m_keys).substr(begin, m_keyEnds[i] - begin);
    }
    const std::vector<int>& AsciiRows() const { return m_asciiRows; }
    const std::vector<int>& OtherRows() const { return m_otherRows; }

private:
    // A key's first sixteen bytes, read as two numbers that order as the
    // bytes do (a shorter key is padded with zeros, which no key holds),
    // and where the key is: most comparisons end at the numbers, without
    // reaching for the key itself.
    struct PrefixedKey {
        uint64_t high;
        uint64_t low;
        int index;
    };
    bool Less(const PrefixedKey& a, const PrefixedKey& b) const;
    // Merges the last two runs.
    void MergeLastRuns();

    std::shared_ptr<const AsciiNameKeys> m_ascii;
    std::string m_keys;
    std::vector<size_t> m_keyEnds;
    std::vector<int> m_asciiRows;
    std::vector<int> m_otherRows;
    // Every key, in sorted runs, then those added since.
    std::vector<PrefixedKey> m_sorted;
    std::vector<size_t> m_runEnds; // each run's end in m_sorted, runs longest first
};
