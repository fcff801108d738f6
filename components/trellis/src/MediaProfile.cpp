#include "MediaProfile.h"

#include "DiscMedium.h"
#include "FileSystemReader.h"

#include <span>

namespace MediaProfile {

uint32_t MediaTypeOf(int profile)
{
    switch (profile) {
    case 0x08: return TRELLIS_MEDIA_CD_ROM;
    case 0x09: return TRELLIS_MEDIA_CD_R;
    case 0x0A: return TRELLIS_MEDIA_CD_RW;
    case 0x10: return TRELLIS_MEDIA_DVD_ROM;
    case 0x11: return TRELLIS_MEDIA_DVD_R;
    case 0x12: return TRELLIS_MEDIA_DVD_RAM;
    case 0x13:
    case 0x14: return TRELLIS_MEDIA_DVD_RW;
    case 0x15: return TRELLIS_MEDIA_DVD_R_DL;
    case 0x16: return TRELLIS_MEDIA_DVD_R_DL_JUMP;
    case 0x1A: return TRELLIS_MEDIA_DVD_PLUS_RW;
    case 0x1B: return TRELLIS_MEDIA_DVD_PLUS_R;
    case 0x2A: return TRELLIS_MEDIA_DVD_PLUS_RW_DL;
    case 0x2B: return TRELLIS_MEDIA_DVD_PLUS_R_DL;
    case 0x40: return TRELLIS_MEDIA_BD_ROM;
    case 0x41:
    case 0x42: return TRELLIS_MEDIA_BD_R;
    case 0x43: return TRELLIS_MEDIA_BD_RE;
    case 0x50:
    case 0x51:
    case 0x52: return TRELLIS_MEDIA_HD_DVD;
    default: return 0;
    }
}

uint32_t ImageMediaType(const DiscLayout& layout, const VolumeInfo& volume, bool blockImage)
{
    constexpr uint32_t kLongestCdBlocks = 405000; // 90 minutes
    if (!blockImage) return TRELLIS_MEDIA_CD_ROM;
    if (volume.udfRevision >= 0x0250) return TRELLIS_MEDIA_BD_ROM;
    if (volume.udfRevision) return TRELLIS_MEDIA_DVD_ROM;
    return layout.leadOut <= kLongestCdBlocks ? TRELLIS_MEDIA_CD_ROM : TRELLIS_MEDIA_DVD_ROM;
}

uint32_t ImageCapacity(uint32_t mediaType, uint32_t blocks)
{
    static constexpr uint32_t kCd[] = {360000};                                  // 80 minutes, 703 MiB
    static constexpr uint32_t kDvd[] = {2295104, 4173824};                       // 4.7 GB, 8.5 GB
    static constexpr uint32_t kBd[] = {12219392, 24438784, 48878592, 62500864}; // 25, 50, 100, 128 GB
    const bool bd = mediaType >= TRELLIS_MEDIA_BD_ROM;
    const bool dvd = !bd && mediaType >= TRELLIS_MEDIA_DVD_ROM;
    const std::span<const uint32_t> sizes = bd ? std::span<const uint32_t>(kBd) : dvd ? std::span<const uint32_t>(kDvd)
                                                                                      : std::span<const uint32_t>(kCd);
    for (const uint32_t size : sizes)
        if (blocks <= size) return size;
    return blocks;
}

} // namespace MediaProfile
