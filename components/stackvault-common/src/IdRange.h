// The smallest and largest of the ids noted (empty while first > last): the
// rows an import wrote, the span of a folder's files.
#pragma once
#include <algorithm>
#include <cstdint>

struct IdRange {
    int64_t first = 1;
    int64_t last = 0;

    bool IsEmpty() const { return first > last; }
    void Add(int64_t id)
    {
        if (IsEmpty()) first = last = id;
        first = std::min(first, id);
        last = std::max(last, id);
    }
};
