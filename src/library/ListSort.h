// Sorting the rows of the disc list or of a folder by a column. Each click
// on a column sorts it ascending, the next descending; folders come before
// files ascending and after them descending; names compare without regard
// to case in the user's language; dates sort by their value (a disc's as
// its import wrote it, a folder entry's to the second), with rows whose
// date does not parse first in both directions. Search results are not
// sorted.
#pragma once
#include "CAlbDataItem.h"
#include "SortEntries.h"
#include "SplitNames.h"

#include <QCollator>
#include <memory>
#include <vector>

namespace ListSort {

// Names in the user's language, without regard to case. The C locale has
// no language (Qt would compare code points, capitals first): its names
// sort as in the common order of the Latin script.
QCollator NameCollator();
// Makes ready, once per language, what a sort by `column` of the list in
// `mode` needs before it reads its first row (the check of ASCII name keys,
// tens of milliseconds): for a sort to do while its rows are still found.
void PrepareFor(int mode, int column);

// Updates the root's sort state for a click on `column` and reorders its
// children; false when the mode and column name no key (nothing sorted).
bool SortByColumn(CAlbDataItem* root, int mode, int column);
// Sorts by `column` in `direction` (1 or -1), as a list left sorted so is
// shown again; the children made so far are reordered (rows a failed
// listing could not read are left out).
bool SortInDirection(CAlbDataItem* root, int mode, int column, int direction);
// The direction a click on `column` sorts in: ascending first, then the
// reverse of the one shown.
int NextDirection(const CAlbDataItem* root, int column);
// Sets the root's sort state to `column` in `direction` without reordering;
// the direction, 0 when the mode and column name no key.
int SetDirection(CAlbDataItem* root, int mode, int column, int direction);
// The order of `entries` sorted by `column` in `direction` (indexes into
// `entries`); for a sort made away from the rows themselves (on a worker
// thread) as well as for the rows made. Large lists are keyed and sorted on
// two threads.
// `nameRanks`, when given, keeps the rank of every entry's name in collation
// order made by a sort by name, for the next one of the same entries.
// `names`, when given, are the entries' names split (NamesToSplit), sorted further here.
using NameRanks = std::shared_ptr<const std::vector<int>>;
std::vector<int> Order(const SortEntries& entries, int mode, int column, int direction, NameRanks* nameRanks = nullptr,
                       SplitNames* names = nullptr);
// For a sort by `column` whose entries are read a block at a time: the
// names to split as they come, for Order; null when the sort does not
// compare names. Makes the language's ASCII keys first (see PrepareFor).
std::unique_ptr<SplitNames> NamesToSplit(int mode, int column);
// The sorted column, or -1.
int SortedColumn(const CAlbDataItem* root);
// The direction now shown for a column: 1, -1 or 0.
int Direction(const CAlbDataItem* root, int column);

} // namespace ListSort
