// Byte offsets of the ISO 9660 structures that Iso9660Reader reads: the
// volume descriptor, the directory record, and the System Use Sharing
// Protocol entries that carry Rock Ridge. Where a structure has a fixed
// size, the checks below tie its fields to that size.
#pragma once
#include <cstddef>
#include <cstdint>

namespace Iso9660Layout {

namespace VolumeDescriptor {
constexpr uint32_t kFirstBlock = 16; // after the system area
constexpr size_t kType = 0, kStandardId = 1; // "CD001"
constexpr uint8_t kPrimary = 1, kSupplementary = 2, kTerminator = 255;
constexpr size_t kLabel = 40, kLabelSize = 32;
constexpr size_t kVolumeBlocks = 80;     // little-endian half of the both-endian field
constexpr size_t kEscapeSequences = 88;  // a supplementary descriptor's character set (Joliet)
constexpr size_t kRootRecord = 156, kRootRecordSize = 34;
constexpr size_t kCreationTime = 813, kModificationTime = 830, kTimeSize = 17;
static_assert(kLabel + kLabelSize <= kVolumeBlocks - 8, "the label lies before the unused field and the size");
static_assert(kRootRecord + kRootRecordSize == 190, "the root record ends where the volume set name begins");
static_assert(kCreationTime + kTimeSize == kModificationTime, "the times follow one another");
} // namespace VolumeDescriptor

namespace DirectoryRecord {
constexpr size_t kLength = 0;
constexpr size_t kExtent = 2;      // little-endian half of the both-endian fields
constexpr size_t kDataLength = 10;
constexpr size_t kRecordingTime = 18;
constexpr size_t kFlags = 25;
constexpr size_t kNameLength = 32, kName = 33;
constexpr size_t kMinimumSize = kName + 1;
static_assert(kRecordingTime + 7 == kFlags, "the 7-byte time ends at the flags");
constexpr uint8_t kHidden = 0x01, kDirectory = 0x02, kAssociated = 0x04, kMultiExtent = 0x80;
} // namespace DirectoryRecord

// A System Use entry: two signature bytes, its length, its version, data.
namespace SystemUse {
constexpr size_t kLength = 2, kData = 4, kHeader = 4;
constexpr size_t kSpCheck = 4, kSpSkip = 6, kSpSize = 7;  // "SP": 0xBE 0xEF, then the bytes to skip
constexpr size_t kNmFlags = 4, kNmName = 5;               // "NM": flags 0x02 current, 0x04 parent
constexpr size_t kTfFlags = 4, kTfStamps = 5;             // "TF": which times, then the times
constexpr size_t kClLocation = 4, kClSize = 12;           // "CL": where a relocated directory lies
constexpr size_t kCeBlock = 4, kCeOffset = 12, kCeLength = 20, kCeSize = 28; // "CE": where the area goes on
static_assert(kCeLength + 8 == kCeSize, "the continuation's three both-endian fields fill it");
} // namespace SystemUse

} // namespace Iso9660Layout
