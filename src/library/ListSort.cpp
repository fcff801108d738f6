#include "ListSort.h"

#include "ListTexts.h"

#include <QCollator>
#include <algorithm>
#include <optional>

namespace {

constexpr INT64 kFileTimeMinute = 600000000; // 100 ns units

enum class Key { None, Name, Tags, Type, Date, Size };

Key KeyOf(int mode, int column)
{
    static constexpr Key discList[] = {Key::Name, Key::Tags, Key::Type, Key::Date, Key::Size};
    static constexpr Key folder[] = {Key::Name, Key::Size, Key::Type, Key::Date};
    if (mode == 1 && column >= 0 && column < 5) return discList[column];
    if (mode == 2 && column >= 0 && column < 4) return folder[column];
    return Key::None;
}

// What a row is compared by, computed once per row and sort.
struct RowKey {
    DWORD flags;
    std::optional<QCollatorSortKey> text;
    INT64 number = 0;
    bool hasDate = false;
};

const QString& TextOf(const ListSort::RowFields& item, Key key)
{
    if (key == Key::Tags) return item.text2;
    if (key == Key::Type) return item.text3;
    return item.name;
}

RowKey MakeKey(const ListSort::RowFields& item, Key key, const QCollator& collator)
{
    RowKey row{item.flags, std::nullopt};
    if (key == Key::Size) {
        row.number = item.size;
    } else if (key == Key::Date && item.time >= 0) {
        // The text shows this time to the minute; comparing the minutes
        // orders as the parsed text would, without parsing 100,000 texts.
        row.hasDate = true;
        row.number = item.time / kFileTimeMinute;
    } else if (key == Key::Date) {
        const QDateTime date = ListTexts::ParseDate(item.text4);
        row.hasDate = date.isValid();
        row.number = row.hasDate ? date.toMSecsSinceEpoch() : 0;
    } else {
        row.text = collator.sortKey(TextOf(item, key));
    }
    return row;
}

// Ascending order of two rows by key (flags are compared by the caller).
int CompareKeys(const RowKey& a, const RowKey& b, Key key)
{
    if (key == Key::Size) return a.number < b.number ? -1 : a.number > b.number;
    if (key == Key::Date) {
        if (a.hasDate != b.hasDate) return 0; // decided by the caller in either direction
        return a.number < b.number ? -1 : a.number > b.number;
    }
    return a.text->compare(*b.text);
}

} // namespace

namespace ListSort {

int Direction(const CAlbDataItem* root, int column)
{
    return root && column >= 0 && column < CAlbDataItem::kSortColumns ? root->m_nSortState[column] : 0;
}

int ClickColumn(CAlbDataItem* root, int mode, int column)
{
    if (!root) return 0;
    for (int c = 0; c < CAlbDataItem::kSortColumns; ++c)
        root->m_nSortState[c] = c == column ? (root->m_nSortState[c] == 0 ? 1 : -root->m_nSortState[c]) : 0;
    return KeyOf(mode, column) == Key::None ? 0 : root->m_nSortState[column];
}

std::vector<int> Order(const std::vector<RowFields>& rows, int mode, int column, int direction)
{
    const Key key = KeyOf(mode, column);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<RowKey> keys;
    keys.reserve(rows.size());
    for (const RowFields& row : rows) keys.push_back(MakeKey(row, key, collator));

    std::vector<int> order(keys.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    // Stable: rows of one key keep the order the engine gave them, whichever
    // order they were shown in before.
    std::stable_sort(order.begin(), order.end(), [&](int left, int right) {
        const RowKey& a = keys[size_t(left)];
        const RowKey& b = keys[size_t(right)];
        if (a.flags != b.flags) return direction > 0 ? a.flags < b.flags : a.flags > b.flags;
        // Rows without a date come first, whichever the direction.
        if (key == Key::Date && a.hasDate != b.hasDate) return !a.hasDate;
        const int order = CompareKeys(a, b, key);
        return direction > 0 ? order < 0 : order > 0;
    });
    return order;
}

bool SortByColumn(CAlbDataItem* root, int mode, int column)
{
    const int direction = ClickColumn(root, mode, column);
    if (direction == 0) return false;
    std::vector<RowFields> rows;
    rows.reserve(size_t(root->ChildCount()));
    for (int i = 0; i < root->ChildCount(); ++i) {
        const CAlbDataItem& item = *root->Child(i);
        rows.push_back({item.m_dwFlags, item.m_strName, item.m_strText2, item.m_strText3, item.m_strText4,
                        item.m_nTime, item.m_nSize});
    }
    root->ReorderChildren(Order(rows, mode, column, direction));
    return true;
}

} // namespace ListSort
