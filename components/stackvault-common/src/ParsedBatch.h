// The rows of one record batch after parsing: numbers as read, texts with
// their doubled apostrophes undone, kept in one buffer per batch.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TextSpan {
    uint32_t offset = 0;
    uint32_t length = 0;
};

// A file, folder or track row. Track rows have no id column (id 0 here).
struct EntryRow {
    int32_t id = 0;
    TextSpan name;
    int64_t size = 0;
    TextSpan type;
    int64_t time = 0;
    int32_t discId = 0;
    int32_t labelId = 0;
    int32_t parentId = 0; // containing folder, 0 for the root
    int32_t pathId = 0;   // path of the containing folder
};

struct PathRow {
    int32_t id = 0;
    TextSpan text;
};

struct ParsedBatch {
    std::u16string texts;
    std::vector<EntryRow> entries;
    std::vector<PathRow> paths;

    std::u16string_view Text(TextSpan span) const
    {
        return std::u16string_view(texts).substr(span.offset, span.length);
    }
};
