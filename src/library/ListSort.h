// Sorting the rows of the disc list or of a folder by a column. Each click
// on a column sorts it ascending, the next descending; folders come before
// files ascending and after them descending; dates sort by their value in
// the user's locale, with rows whose date does not parse first in both
// directions. Search results are not sorted.
#pragma once
#include "CAlbDataItem.h"

#include <vector>

namespace ListSort {

// What a row is sorted by: the fields of a CAlbDataItem the keys come from.
struct RowFields {
    DWORD flags = 0;
    QString name;
    QString text2;
    QString text3;
    QString text4;
    INT64 time = -1;
    INT64 size = 0;
};

// Updates the root's sort state for a click on `column` and reorders its
// children; false when the mode and column name no key (nothing sorted).
bool SortByColumn(CAlbDataItem* root, int mode, int column);
// Updates the root's sort state for a click on `column` only; the new
// direction (1 or -1), 0 when the mode and column name no key.
int ClickColumn(CAlbDataItem* root, int mode, int column);
// The order of `rows` sorted by `column` in `direction` (indexes into
// `rows`), by the same rules as SortByColumn; for a sort made away from the
// rows themselves (on a worker thread).
std::vector<int> Order(const std::vector<RowFields>& rows, int mode, int column, int direction);
// The direction now shown for a column: 1, -1 or 0.
int Direction(const CAlbDataItem* root, int column);

} // namespace ListSort
