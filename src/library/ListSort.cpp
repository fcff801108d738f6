#include "ListSort.h"

#include "AsciiNameKeys.h"
#include "ListTexts.h"
#include "SortInHalves.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

enum class Key { None, Name, Tags, Type, Date, Size };

Key KeyOf(int mode, int column)
{
    static constexpr Key discList[] = {Key::Name, Key::Tags, Key::Type, Key::Date, Key::Size};
    static constexpr Key folder[] = {Key::Name, Key::Size, Key::Type, Key::Date};
    if (mode == 1 && column >= 0 && column < 5) return discList[column];
    if (mode == 2 && column >= 0 && column < 4) return folder[column];
    return Key::None;
}

// What a row is compared by, computed once per row and sort, and sorted
// itself (side by side in memory, not reached through the row's index).
// Texts compare by rank: the distinct texts, or all names, are sorted by
// their collation keys once, so that the sort itself compares numbers.
struct RowKey {
    INT64 number = 0; // a size, a time, or the rank of a name or text in collation order
    DWORD flags = 0;
    int row = 0; // the row's place as given: equal keys keep it
    bool hasDate = false;
};

using NameKeys = std::vector<std::optional<QCollatorSortKey>>;

// 0, 1, ... count - 1.
std::vector<int> Positions(size_t count)
{
    std::vector<int> positions(count);
    for (size_t i = 0; i < count; ++i) positions[i] = int(i);
    return positions;
}

// The rank of each distinct text in collation order (equal texts share one).
std::vector<INT64> TextRanks(const std::vector<QString>& texts)
{
    const QCollator collator = ListSort::NameCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const QString& text : texts) keys.push_back(collator.sortKey(text));
    std::vector<int> byText = Positions(texts.size());
    std::sort(byText.begin(), byText.end(), [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    std::vector<INT64> ranks(texts.size());
    INT64 rank = 0;
    for (size_t i = 0; i < byText.size(); ++i) {
        if (i > 0 && keys[size_t(byText[i - 1])].compare(keys[size_t(byText[i])]) != 0) ++rank;
        ranks[size_t(byText[i])] = rank;
    }
    return ranks;
}

// The collation keys of the names of `rows`.
NameKeys MakeNameKeys(const SortEntries& entries, const std::vector<int>& rows)
{
    NameKeys names(rows.size());
    ForHalves(names.size(), [&](size_t begin, size_t end) {
        // A collator of this thread's own.
        const QCollator collator = ListSort::NameCollator();
        for (size_t i = begin; i < end; ++i) {
            const QStringView name = entries.Name(size_t(rows[i]));
            names[i] = collator.sortKey(QString::fromRawData(name.data(), name.size()));
        }
    });
    return names;
}

// Dates that are only text are parsed once per distinct text.
std::vector<RowKey> MakeDateKeys(const SortEntries& entries)
{
    std::vector<std::optional<QDateTime>> parsed(entries.Texts().size());
    std::vector<RowKey> keys(entries.Count());
    for (size_t row = 0; row < keys.size(); ++row) {
        RowKey& key = keys[row];
        key.flags = entries.Flags(row);
        key.row = int(row);
        if (entries.Time(row) >= 0) {
            // The time the text was made from, to the second and below: no
            // text of 100,000 rows is parsed.
            key.hasDate = true;
            key.number = entries.Time(row);
            continue;
        }
        std::optional<QDateTime>& date = parsed[size_t(entries.TextIndex(SortEntries::DateText, row))];
        if (!date) date = ListTexts::ParseDate(entries.Texts()[size_t(entries.TextIndex(SortEntries::DateText, row))]);
        key.hasDate = date->isValid();
        key.number = key.hasDate ? date->toMSecsSinceEpoch() : 0;
    }
    return keys;
}

std::vector<RowKey> MakeKeys(const SortEntries& entries, Key key)
{
    if (key == Key::Date) return MakeDateKeys(entries);
    std::vector<RowKey> keys(entries.Count());
    const std::vector<INT64> ranks = key == Key::Tags || key == Key::Type ? TextRanks(entries.Texts()) : std::vector<INT64>();
    const SortEntries::Field field = key == Key::Tags ? SortEntries::Tags : SortEntries::Type;
    for (size_t row = 0; row < keys.size(); ++row) {
        keys[row].flags = entries.Flags(row);
        keys[row].row = int(row);
        if (key == Key::Size) keys[row].number = entries.Size(row);
        else if (!ranks.empty()) keys[row].number = ranks[size_t(entries.TextIndex(field, row))];
    }
    return keys;
}

// A name in the merged order: its row and where its key is.
struct Placed {
    int row;
    bool ascii;
    int index; // into the ASCII keys' order or the collation keys
};

// Merges the ASCII names (in key order) and the others (in collation key
// order) by the collator: each other name is placed after the ASCII names
// below it, found by galloping from where the last one went, so that a few
// other names among many ASCII ones cost a few comparisons each.
std::vector<Placed> MergeNames(const SortEntries& entries, const SplitNames& split, const std::vector<int>& asciiOrder,
                               const std::vector<int>& otherOrder)
{
    const QCollator collator = ListSort::NameCollator();
    const size_t count = asciiOrder.size();
    std::vector<Placed> merged;
    merged.reserve(entries.Count());
    size_t next = 0;
    for (int other : otherOrder) {
        const QStringView name = entries.Name(size_t(split.OtherRows()[size_t(other)]));
        auto below = [&](size_t i) {
            return collator.compare(entries.Name(size_t(split.AsciiRows()[size_t(asciiOrder[i])])), name) < 0;
        };
        size_t low = next, high = count;
        for (size_t step = 1;; step *= 2) {
            const size_t probe = low + step - 1;
            if (probe >= count || !below(probe)) {
                high = std::min(probe, count);
                break;
            }
            low = probe + 1;
        }
        while (low < high) {
            const size_t middle = low + (high - low) / 2;
            if (below(middle)) low = middle + 1;
            else high = middle;
        }
        for (; next < low; ++next) merged.push_back({split.AsciiRows()[size_t(asciiOrder[next])], true, int(next)});
        merged.push_back({split.OtherRows()[size_t(other)], false, other});
    }
    for (; next < count; ++next) merged.push_back({split.AsciiRows()[size_t(asciiOrder[next])], true, int(next)});
    return merged;
}

// Places `rows` by index(row) (0 .. buckets - 1), keeping the order of rows
// of one index.
template <typename Index>
std::vector<int> PlaceBy(const std::vector<int>& rows, size_t buckets, const Index& index)
{
    std::vector<size_t> starts(buckets);
    for (int row : rows) ++starts[index(row)];
    size_t start = 0;
    for (size_t& bucket : starts) start += std::exchange(bucket, start);
    std::vector<int> placed(rows.size());
    for (int row : rows) placed[starts[index(row)]++] = row;
    return placed;
}

// Ranks placed by counting, not compared, while the counts stay in the
// processor's cache; beyond, random writes over megabytes cost more than
// comparing (a million distinct names).
constexpr INT64 kCountedRanks = INT64(1) << 18;

// The highest rank of `keys`.
INT64 TopRank(const std::vector<RowKey>& keys)
{
    INT64 top = 0;
    for (const RowKey& key : keys) top = std::max(top, key.number);
    return top;
}

// The order of rows whose numbers are ranks from 0 to `top` without gaps
// (of names, of texts), by the rules of Order: placed by rank, then by
// flags, each pass keeping the order of the one before, instead of compared.
std::vector<int> OrderByRank(const std::vector<RowKey>& keys, INT64 top, int direction)
{
    std::vector<DWORD> flags; // the few distinct ones, ascending
    for (const RowKey& key : keys)
        if (std::find(flags.begin(), flags.end(), key.flags) == flags.end()) flags.push_back(key.flags);
    std::sort(flags.begin(), flags.end());
    auto rankIndex = [&](int row) {
        const INT64 rank = keys[size_t(row)].number;
        return size_t(direction > 0 ? rank : top - rank);
    };
    auto flagsIndex = [&](int row) {
        const size_t index = size_t(std::lower_bound(flags.begin(), flags.end(), keys[size_t(row)].flags) - flags.begin());
        return direction > 0 ? index : flags.size() - 1 - index;
    };
    return PlaceBy(PlaceBy(Positions(keys.size()), size_t(top) + 1, rankIndex), flags.size(), flagsIndex);
}

// The rank of each entry's name among all names, in collation order. Names
// in printable ASCII are ordered by their bytes (AsciiNameKeys), the others
// by their collation keys, and the two merged. `made`: the names split
// already, used when they are those of `entries` in this language.
std::vector<int> MakeNameRanks(const SortEntries& entries, SplitNames* made)
{
    const QCollator collator = ListSort::NameCollator();
    const std::shared_ptr<const AsciiNameKeys> ascii = AsciiNameKeys::For(collator);
    std::optional<SplitNames> own;
    if (!made || made->Rows() != entries.Count() || made->Ascii() != ascii.get()) {
        own.emplace(ascii);
        own->Add(entries);
    }
    SplitNames& split = own ? *own : *made;
    const std::vector<int> asciiOrder = split.KeyOrder();
    const NameKeys names = MakeNameKeys(entries, split.OtherRows());
    std::vector<int> otherOrder = Positions(names.size());
    SortInHalves(otherOrder, [&](int a, int b) { return names[size_t(a)]->compare(*names[size_t(b)]) < 0; });
    const std::vector<Placed> merged = MergeNames(entries, split, asciiOrder, otherOrder);

    auto differ = [&](const Placed& a, const Placed& b) {
        // ASCII names next to each other are next to each other in key order.
        if (a.ascii && b.ascii) return !split.SameKeyAsPrevious(size_t(b.index));
        if (!a.ascii && !b.ascii) return names[size_t(a.index)]->compare(*names[size_t(b.index)]) != 0;
        return collator.compare(entries.Name(size_t(a.row)), entries.Name(size_t(b.row))) != 0;
    };
    std::vector<int> ranks(entries.Count());
    int rank = 0;
    for (size_t i = 0; i < merged.size(); ++i) {
        if (i > 0 && differ(merged[i - 1], merged[i])) ++rank;
        ranks[size_t(merged[i].row)] = rank;
    }
    return ranks;
}
} // namespace

namespace ListSort {

QCollator NameCollator()
{
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

void PrepareFor(int mode, int column)
{
    if (KeyOf(mode, column) == Key::Name) AsciiNameKeys::For(NameCollator());
}

int Direction(const CAlbDataItem* root, int column)
{
    return root && column >= 0 && column < CAlbDataItem::kSortColumns ? root->m_nSortState[column] : 0;
}

int NextDirection(const CAlbDataItem* root, int column)
{
    const int shown = Direction(root, column);
    return shown == 0 ? 1 : -shown;
}

int SetDirection(CAlbDataItem* root, int mode, int column, int direction)
{
    if (!root || column < 0 || column >= CAlbDataItem::kSortColumns) return 0;
    for (int c = 0; c < CAlbDataItem::kSortColumns; ++c) root->m_nSortState[c] = c == column ? direction : 0;
    return KeyOf(mode, column) == Key::None ? 0 : direction;
}

int SortedColumn(const CAlbDataItem* root)
{
    for (int column = 0; column < CAlbDataItem::kSortColumns; ++column)
        if (Direction(root, column) != 0) return column;
    return -1;
}

std::unique_ptr<SplitNames> NamesToSplit(int mode, int column)
{
    if (KeyOf(mode, column) != Key::Name) return nullptr;
    return std::make_unique<SplitNames>(AsciiNameKeys::For(NameCollator()));
}

std::vector<int> Order(const SortEntries& entries, int mode, int column, int direction, NameRanks* nameRanks,
                       SplitNames* names)
{
    const Key key = KeyOf(mode, column);
    std::vector<RowKey> keys = MakeKeys(entries, key);
    if (key == Key::Name) {
        NameRanks made;
        if (!nameRanks) nameRanks = &made;
        if (!*nameRanks) *nameRanks = std::make_shared<const std::vector<int>>(MakeNameRanks(entries, names));
        for (size_t row = 0; row < keys.size(); ++row) keys[row].number = (**nameRanks)[row];
    }

    // Whichever order the rows were shown in before, rows of one key keep
    // the order they were given in.
    if (key == Key::Name || key == Key::Tags || key == Key::Type) {
        const INT64 top = TopRank(keys);
        if (top < kCountedRanks) return OrderByRank(keys, top, direction);
    }
    SortInHalves(keys, [&](const RowKey& a, const RowKey& b) {
        if (a.flags != b.flags) return direction > 0 ? a.flags < b.flags : a.flags > b.flags;
        // Rows without a date come first, whichever the direction.
        if (key == Key::Date && a.hasDate != b.hasDate) return !a.hasDate;
        if (a.number != b.number) return direction > 0 ? a.number < b.number : a.number > b.number;
        return a.row < b.row;
    });
    std::vector<int> order(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].row;
    return order;
}

bool SortInDirection(CAlbDataItem* root, int mode, int column, int direction)
{
    if (SetDirection(root, mode, column, direction) == 0) return false;
    // Rows a listing could not read (it failed) are left out, not sorted as holes.
    root->MakeAllChildren();
    SortEntries entries;
    entries.Reserve(size_t(root->ChildCount()));
    for (int i = 0; i < root->ChildCount(); ++i) {
        const CAlbDataItem& item = *root->Child(i);
        entries.Add(item.m_dwFlags, item.m_strName, item.m_strText2, item.m_strText3, item.m_strText4, item.m_nTime,
                    item.m_nSize);
    }
    root->ReorderChildren(Order(entries, mode, column, direction));
    return true;
}

bool SortByColumn(CAlbDataItem* root, int mode, int column)
{
    return SortInDirection(root, mode, column, NextDirection(root, column));
}

} // namespace ListSort
