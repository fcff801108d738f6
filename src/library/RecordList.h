// Reads a list from the library engine the way the engine wants it read:
// ask the count, allocate that many zero-filled records, let it fill them.
// An empty list when either call fails or there is nothing.
#pragma once
#include "ILibraryEngine.h"

#include <vector>

template <typename Record, typename CountFn, typename FillFn>
std::vector<Record> ReadRecordList(CountFn count, FillFn fill)
{
    LONG n = 0;
    if (FAILED(count(&n)) || n < 1) return {};
    std::vector<Record> records(static_cast<size_t>(n));
    if (FAILED(fill(records.data(), n))) return {};
    return records;
}
