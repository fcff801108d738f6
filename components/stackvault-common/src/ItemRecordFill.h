// Fills a found folder or file record from a result row whose columns both
// engines select in this order: id, name, parent id, size, type, time,
// disc id, the disc's label id, the disc's name, path id. `row` gives a
// column as a number (Int64) and as text (Text).
#pragma once
#include "LibraryRecords.h"
#include "Utf16Text.h"

namespace ItemRecordFill {

template <class Row>
void Fill(const Row& row, ItemRecord& record)
{
    record.id = static_cast<int32_t>(row.Int64(0));
    Utf16Text::CopyToField(record.name, kLibraryTextLength, row.Text(1));
    record.parentId = static_cast<int32_t>(row.Int64(2));
    record.size = row.Int64(3);
    Utf16Text::CopyToField(record.type, kLibraryTextLength, row.Text(4));
    record.time = row.Int64(5);
    record.discId = static_cast<int32_t>(row.Int64(6));
    record.labelId = static_cast<int32_t>(row.Int64(7));
    Utf16Text::CopyToField(record.discName, kLibraryTextLength, row.Text(8));
    record.pathId = static_cast<int32_t>(row.Int64(9));
}

} // namespace ItemRecordFill
