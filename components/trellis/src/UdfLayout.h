// Byte offsets of the UDF (ECMA-167) structures that UdfReader reads, one
// namespace per structure. Where a structure has a fixed size, the checks
// below tie its last field to that size.
#pragma once
#include <cstddef>
#include <cstdint>

namespace UdfLayout {

namespace Tag { // descriptor tag, at the start of every descriptor
constexpr size_t kIdentifier = 0;
constexpr size_t kChecksum = 4;
constexpr size_t kSize = 16;
constexpr uint16_t kPrimaryVolume = 1, kAnchor = 2, kPartition = 5, kLogicalVolume = 6, kTerminator = 8;
constexpr uint16_t kSparingTable = 0; // UDF's own table, under the tag number 0
constexpr uint16_t kFileSet = 256, kFileIdentifier = 257, kAllocationExtent = 258, kIndirectEntry = 259;
constexpr uint16_t kFileEntry = 261, kExtendedFileEntry = 266;
} // namespace Tag

namespace Anchor {
constexpr uint32_t kFirstBlock = 256, kFromEnd = 256; // where anchors stand: block 256, the last block, 256 before it
constexpr size_t kMainLength = 16, kMainLocation = 20; // extent of the main volume descriptor sequence
constexpr size_t kReserveLength = 24, kReserveLocation = 28;
} // namespace Anchor

namespace PrimaryVolume {
constexpr size_t kRecordingTime = 376;
}

namespace PartitionDescriptor {
constexpr size_t kNumber = 22, kStart = 188, kLength = 192;
}

namespace LogicalVolume {
constexpr size_t kLabel = 84, kLabelSize = 128;
constexpr size_t kBlockSize = 212;
constexpr size_t kDomainSuffix = 216 + 24; // the UDF revision in the domain identifier's suffix
constexpr size_t kFileSetBlock = 252, kFileSetPartition = 256;
constexpr size_t kMapTableLength = 264, kMapCount = 268;
constexpr size_t kMaps = 440;
static_assert(kLabel + kLabelSize == kBlockSize, "the label ends where the block size begins");
} // namespace LogicalVolume

namespace PartitionMap {
constexpr size_t kType = 0, kLength = 1;
constexpr size_t kType1Number = 4;
constexpr size_t kType2Identifier = 5, kType2Number = 38, kType2Size = 64;
constexpr size_t kMetadataFile = 40, kMetadataMirror = 44;
constexpr size_t kSparablePacketLength = 40, kSparableTableCount = 42, kSparableTableSize = 44;
constexpr size_t kSparableTableLocations = 48, kMaxSparingTables = 4;
static_assert(kSparableTableLocations + 4 * kMaxSparingTables == kType2Size, "four table locations fill the map");
} // namespace PartitionMap

namespace SparingTable {
constexpr size_t kIdentifier = Tag::kSize + 1; // after the identifier's flags byte
constexpr size_t kEntryCount = 48;
constexpr size_t kEntries = 56, kEntrySize = 8;
constexpr size_t kEntryOriginal = 0, kEntryMapped = 4; // a packet's first block, and the sector it moved to
constexpr uint32_t kUnused = 0xFFFFFFF0; // this and above: a free or defective spare packet
} // namespace SparingTable

namespace FileSet {
constexpr size_t kRootBlock = 404, kRootPartition = 408; // the root's long allocation descriptor
}

namespace IndirectEntry {
constexpr size_t kTargetBlock = 40, kTargetPartition = 44;
}

namespace FileEntry { // file entry and extended file entry
constexpr size_t kIcbFileType = Tag::kSize + 11;
constexpr size_t kIcbFlags = Tag::kSize + 18;
constexpr size_t kInformationLength = 56;
constexpr size_t kModificationTime = 84, kLengths = 168, kHeader = 176;
constexpr size_t kExtendedModificationTime = 92, kExtendedLengths = 208, kExtendedHeader = 216;
static_assert(kLengths + 8 == kHeader && kExtendedLengths + 8 == kExtendedHeader,
              "the extended attribute and allocation lengths end the fixed part");
constexpr uint8_t kTypeVirtualTable = 248, kTypeDirectory = 4, kTypeMetadata = 250, kTypeMetadataMirror = 251;
constexpr int kAllocationShort = 0, kAllocationLong = 1, kAllocationExtended = 2, kAllocationEmbedded = 3;
} // namespace FileEntry

namespace AllocationExtent {
constexpr size_t kLength = 20, kHeader = 24;
}

namespace ShortAd {
constexpr size_t kPosition = 4, kSize = 8;
}
namespace LongAd {
constexpr size_t kBlock = 4, kPartition = 8, kSize = 16;
}
namespace ExtendedAd {
constexpr size_t kBlock = 12, kPartition = 16, kSize = 20;
}

namespace FileIdentifier {
constexpr size_t kCharacteristics = 18, kNameLength = 19;
constexpr size_t kIcbBlock = 20 + LongAd::kBlock, kIcbPartition = 20 + LongAd::kPartition;
constexpr size_t kUseLength = 36, kHeader = 38;
static_assert(20 + LongAd::kSize == kUseLength, "the entry's address ends where the use length begins");
constexpr uint8_t kHidden = 0x01, kDirectory = 0x02, kDeleted = 0x04, kParent = 0x08;
} // namespace FileIdentifier

} // namespace UdfLayout
