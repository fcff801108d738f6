#include "ListSort.h"

#include "ListTexts.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <optional>

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

// What a row is compared by, computed once per row and sort.
struct RowKey {
    DWORD flags;
    std::optional<QCollatorSortKey> text;
    INT64 number = 0;
    bool hasDate = false;
};

const QString& TextOf(const CAlbDataItem& item, Key key)
{
    if (key == Key::Tags) return item.m_strText2;
    if (key == Key::Type) return item.m_strText3;
    return item.m_strName;
}

RowKey MakeKey(const CAlbDataItem& item, Key key, const QCollator& collator)
{
    RowKey row{item.m_dwFlags};
    if (key == Key::Size) {
        row.number = item.m_nSize;
    } else if (key == Key::Date && item.m_nTime >= 0) {
        // The time the text was made from: no text of 100,000 rows is parsed.
        row.hasDate = true;
        row.number = item.m_nTime;
    } else if (key == Key::Date) {
        const QDateTime date = ListTexts::ParseDate(item.m_strText4);
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

// Names in the user's language, without regard to case. The C locale has
// no language (Qt would compare code points, capitals first): its names
// sort as in the common order of the Latin script.
QCollator NameCollator()
{
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

namespace ListSort {

int Direction(const CAlbDataItem* root, int column)
{
    return root && column >= 0 && column < CAlbDataItem::kSortColumns ? root->m_nSortState[column] : 0;
}

bool SortByColumn(CAlbDataItem* root, int mode, int column)
{
    if (!root || column < 0 || column >= CAlbDataItem::kSortColumns) return false;
    const int state = root->m_nSortState[column];
    return SortInDirection(root, mode, column, state == 0 ? 1 : -state);
}

int SortedColumn(const CAlbDataItem* root)
{
    for (int column = 0; column < CAlbDataItem::kSortColumns; ++column)
        if (Direction(root, column) != 0) return column;
    return -1;
}

bool SortInDirection(CAlbDataItem* root, int mode, int column, int direction)
{
    if (!root || column < 0 || column >= CAlbDataItem::kSortColumns) return false;
    for (int c = 0; c < CAlbDataItem::kSortColumns; ++c) root->m_nSortState[c] = c == column ? direction : 0;
    const Key key = KeyOf(mode, column);
    if (key == Key::None) return false;
    // Rows a listing could not read (it failed) are left out, not sorted as holes.
    root->MakeAllChildren();

    const QCollator collator = NameCollator();
    std::vector<RowKey> keys;
    keys.reserve(size_t(root->ChildCount()));
    for (int i = 0; i < root->ChildCount(); ++i) keys.push_back(MakeKey(*root->Child(i), key, collator));

    std::vector<int> order(keys.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    // Stable: rows of one key keep the order the engine gave them.
    std::stable_sort(order.begin(), order.end(), [&](int left, int right) {
        const RowKey& a = keys[size_t(left)];
        const RowKey& b = keys[size_t(right)];
        if (a.flags != b.flags) return direction > 0 ? a.flags < b.flags : a.flags > b.flags;
        // Rows without a date come first, whichever the direction.
        if (key == Key::Date && a.hasDate != b.hasDate) return !a.hasDate;
        const int order = CompareKeys(a, b, key);
        return direction > 0 ? order < 0 : order > 0;
    });
    root->ReorderChildren(order);
    return true;
}

} // namespace ListSort
