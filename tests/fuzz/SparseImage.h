// A disc image for fuzzing, written compactly: records of a 16-bit
// little-endian block number (below 4096) and the 2048 bytes of that block;
// blocks not named read as zeros, up to the last one named. Small inputs thus reach
// structures far into an image (UDF's anchor at block 256).
#pragma once
#include "DiscMedium.h"

#include <cstring>
#include <map>
#include <vector>

class SparseImage : public DiscMedium {
public:
    SparseImage(const uint8_t* data, size_t size)
    {
        constexpr size_t kRecord = 2 + kBlockSize;
        uint32_t last = 0;
        for (size_t at = 0; at + kRecord <= size; at += kRecord) {
            const uint32_t block = uint32_t(data[at] | data[at + 1] << 8) & 0x0FFF;
            m_blocks[block] = data + at + 2;
            last = block > last ? block : last;
        }
        m_layout.leadOut = m_blocks.empty() ? 0 : last + 1;
        m_layout.capacity = m_layout.leadOut;
        m_layout.tracks.push_back({0, 1, 1});
    }

    bool ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer) override
    {
        if (uint64_t(lba) + count > m_layout.leadOut) return false;
        for (uint32_t i = 0; i < count; ++i) {
            const auto found = m_blocks.find(lba + i);
            if (found == m_blocks.end())
                std::memset(buffer + size_t(i) * kBlockSize, 0, kBlockSize);
            else
                std::memcpy(buffer + size_t(i) * kBlockSize, found->second, kBlockSize);
        }
        return true;
    }

private:
    std::map<uint32_t, const uint8_t*> m_blocks;
};
