// A disc image held in memory (a plain 2048-byte-block image): the fuzz
// targets and the parser tests read through it.
#pragma once
#include "DiscMedium.h"

#include <cstddef>

class MemoryMedium : public DiscMedium {
public:
    MemoryMedium(const uint8_t* data, size_t size);
    bool ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer) override;

private:
    const uint8_t* m_data;
    size_t m_size;
};
