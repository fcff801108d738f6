// The engine's media type flag for an MMC profile, and for disc images.
#pragma once
#include <cstdint>

struct DiscLayout;
struct VolumeInfo;

namespace MediaProfile {

// TRELLIS_MEDIA_* of the drive's current MMC profile; 0 when unknown.
uint32_t MediaTypeOf(int profile);
// The media an image stands for: CUE/BIN and other CD formats CD-ROM; a
// block image with UDF 2.50 or later BD-ROM, with older UDF DVD-ROM,
// otherwise CD-ROM up to the size of a 90-minute CD and DVD-ROM beyond.
uint32_t ImageMediaType(const DiscLayout& layout, const VolumeInfo& volume, bool blockImage);
// The capacity in blocks an image of that media stands for: an image has no
// physical size, so it is the smallest standard 12 cm disc of its media
// that holds all its blocks (an 80-minute CD, a single- or dual-layer DVD,
// a BD of one to four layers), or the image's own size beyond them all.
uint32_t ImageCapacity(uint32_t mediaType, uint32_t blocks);

} // namespace MediaProfile
