// libFuzzer target for the reader of packed blocks of file names, which
// reads a library file's bytes. The first eight bytes are the block's first
// id; the rest is the block. What reads without damage must pack back into
// the same bytes.
#include "NameBlockFormat.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int64_t firstId = 0;
    if (size < sizeof firstId) return 0;
    std::memcpy(&firstId, data, sizeof firstId);
    const std::string_view block(reinterpret_cast<const char*>(data) + sizeof firstId, size - sizeof firstId);
    NameBlockFormat::Reader reader(firstId, block);
    NameBlockFormat::Entry entry, previous{firstId, 0, {}};
    std::string packed;
    while (reader.Next(entry)) {
        NameBlockFormat::Append(packed, previous, entry.id, entry.pathId, entry.name);
        previous = entry;
    }
    // Numbers written longer than needed read back but pack shorter.
    if (!reader.Damaged() && packed.size() > block.size()) std::abort();
    return 0;
}
