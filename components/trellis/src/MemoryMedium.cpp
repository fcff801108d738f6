#include "MemoryMedium.h"

#include "TrellisInterfaces.h"

#include <cstring>

MemoryMedium::MemoryMedium(const uint8_t* data, size_t size) : m_data(data), m_size(size)
{
    m_layout.leadOut = static_cast<uint32_t>(size / kBlockSize);
    m_layout.capacity = m_layout.leadOut;
    m_layout.tracks.push_back({0, TRELLIS_TRACK_DATA_MODE1, 1});
    m_layout.mediaType = TRELLIS_MEDIA_CD_ROM;
}

bool MemoryMedium::ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer)
{
    const uint64_t begin = uint64_t(lba) * kBlockSize;
    const uint64_t length = uint64_t(count) * kBlockSize;
    if (begin + length > m_size) return false;
    std::memcpy(buffer, m_data + begin, length);
    return true;
}
