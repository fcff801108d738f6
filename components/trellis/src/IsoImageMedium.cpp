#include "IsoImageMedium.h"

#include "TrellisInterfaces.h"

IsoImageMedium::IsoImageMedium(ImageFile file) : m_file(std::move(file))
{
    const uint64_t blocks = m_file.Size() / kBlockSize;
    m_layout.leadOut = blocks > UINT32_MAX ? UINT32_MAX : uint32_t(blocks);
    m_layout.capacity = m_layout.leadOut;
    m_layout.tracks.push_back({0, TRELLIS_TRACK_DATA_MODE1, 1});
    m_layout.mediaType = TRELLIS_MEDIA_CD_ROM;
}

bool IsoImageMedium::ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer)
{
    if (uint64_t(lba) + count > m_layout.leadOut) return false;
    return m_file.Read(uint64_t(lba) * kBlockSize, buffer, size_t(count) * kBlockSize);
}
