// Sorting the rows of the disc list or of a folder by a column. Each click
// on a column sorts it ascending, the next descending; folders come before
// files ascending and after them descending; dates sort by their value in
// the user's locale, with rows whose date does not parse first in both
// directions. Search results are not sorted.
#pragma once
#include "CAlbDataItem.h"

namespace ListSort {

// Updates the root's sort state for a click on `column` and reorders its
// children; false when the mode and column name no key (nothing sorted).
bool SortByColumn(CAlbDataItem* root, int mode, int column);
// The direction now shown for a column: 1, -1 or 0.
int Direction(const CAlbDataItem* root, int column);

} // namespace ListSort
