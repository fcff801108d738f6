#include "UdfReader.h"

#include "ByteOrder.h"
#include "DiscTime.h"
#include "FileDataRuns.h"
#include "TextDecode.h"
#include "UdfLayout.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace UdfLayout;

constexpr uint32_t kBlock = DiscMedium::kBlockSize;
constexpr uint16_t kAnyTag = 0xFFFF;
constexpr uint32_t kMaxBlankBlocksBeforeTable = 32768;
constexpr uint32_t kMaxSparingTableBlocks = 256; // 65535 entries of 8 bytes
constexpr uint32_t kMaxDescriptorBlocks = 256;
constexpr uint32_t kMaxDirectoryBytes = 64u << 20;
constexpr int kMaxAllocationHops = 1024;
constexpr size_t kMaxExtentsPerEntry = 1u << 20;
constexpr int kMaxIndirections = 8;

// A descriptor tag whose checksum holds and whose identifier is expected.
bool TagIs(const uint8_t* block, uint16_t tagId)
{
    uint8_t sum = 0;
    for (size_t i = 0; i < Tag::kSize; ++i)
        if (i != Tag::kChecksum) sum = uint8_t(sum + block[i]);
    if (sum != block[Tag::kChecksum]) return false;
    return tagId == kAnyTag || Le16(block + Tag::kIdentifier) == tagId;
}

uint64_t AddressKey(uint16_t partition, uint32_t block) { return uint64_t(partition) << 32 | block; }

} // namespace

UdfReader::UdfReader(DiscMedium& medium, uint32_t sessionStart) : m_medium(medium), m_sessionStart(sessionStart) {}

bool UdfReader::Fail(uint32_t reason) const
{
    m_failure = reason;
    return false;
}

uint32_t UdfReader::TakeFailure() const
{
    const uint32_t reason = m_failure ? m_failure : TRELLIS_GAP_DAMAGED;
    m_failure = 0;
    return reason;
}

bool UdfReader::ReadSector(uint32_t sector, uint8_t* block)
{
    if (m_medium.ReadBlocks(sector, 1, block)) return true;
    return Fail(sector >= m_medium.Layout().leadOut ? TRELLIS_GAP_BEYOND_END : TRELLIS_GAP_READ_ERROR);
}

bool UdfReader::ReadTagged(uint32_t sector, uint8_t* block, uint16_t tagId)
{
    if (!ReadSector(sector, block)) return false;
    return TagIs(block, tagId) || Fail(TRELLIS_GAP_DAMAGED);
}

bool UdfReader::FindAnchor(uint8_t* block)
{
    const uint32_t end = m_medium.Layout().leadOut;
    const uint32_t candidates[] = {m_sessionStart + Anchor::kFirstBlock, end ? end - 1 : 0,
                                   end > Anchor::kFromEnd ? end - 1 - Anchor::kFromEnd : 0};
    for (uint32_t sector : candidates)
        if (sector && ReadTagged(sector, block, Tag::kAnchor)) return true;
    return false;
}

bool UdfReader::Probe(VolumeInfo& info)
{
    uint8_t anchor[kBlock];
    if (!FindAnchor(anchor)) return false;
    if (!ReadVolumeDescriptors(Le32(anchor + Anchor::kMainLocation), Le32(anchor + Anchor::kMainLength), info) &&
        !ReadVolumeDescriptors(Le32(anchor + Anchor::kReserveLocation), Le32(anchor + Anchor::kReserveLength), info))
        return false;

    uint8_t block[kBlock];
    if (!ReadLogical(m_fileSet, block, Tag::kFileSet)) return false;
    m_root.block = Le32(block + FileSet::kRootBlock);
    m_root.partition = Le16(block + FileSet::kRootPartition);
    if (m_root.partition >= m_maps.size()) return false;
    info.fsType = TRELLIS_FS_UDF;
    return true;
}

bool UdfReader::ReadVolumeDescriptors(uint32_t location, uint32_t length, VolumeInfo& info)
{
    uint32_t blocks = length / kBlock;
    if (blocks > kMaxDescriptorBlocks) blocks = kMaxDescriptorBlocks;
    uint8_t block[kBlock];
    bool logicalVolume = false;
    m_havePartition = false;
    for (uint32_t i = 0; i < blocks; ++i) {
        if (!ReadTagged(location + i, block, kAnyTag)) break;
        const uint16_t tag = Le16(block);
        if (tag == Tag::kTerminator) break;
        if (tag == Tag::kPrimaryVolume) {
            std::memcpy(&info.time, block + PrimaryVolume::kRecordingTime, sizeof info.time);
            if (info.time.year == 0) {
                info.time = TrellisVolumeTime{};
            } else if ((info.time.typeAndZone >> 12) != 1) {
                info.time.typeAndZone = 0x1000; // UTC, written as local time at offset 0
            }
        } else if (tag == Tag::kPartition && !m_havePartition) {
            m_havePartition = true;
            m_partitionNumber = Le16(block + PartitionDescriptor::kNumber);
            m_partitionStart = Le32(block + PartitionDescriptor::kStart);
            m_partitionLength = Le32(block + PartitionDescriptor::kLength);
        } else if (tag == Tag::kLogicalVolume) {
            if (Le32(block + LogicalVolume::kBlockSize) != kBlock || !ReadPartitionMaps(block)) return false;
            info.label = TextDecode::FromDstring(block + LogicalVolume::kLabel, LogicalVolume::kLabelSize);
            info.udfRevision = Le16(block + LogicalVolume::kDomainSuffix);
            m_fileSet.block = Le32(block + LogicalVolume::kFileSetBlock);
            m_fileSet.partition = Le16(block + LogicalVolume::kFileSetPartition);
            logicalVolume = true;
        }
    }
    if (!logicalVolume || !m_havePartition || m_fileSet.partition >= m_maps.size()) return false;
    const uint32_t end = m_medium.Layout().leadOut;
    if (m_partitionStart >= end) return false;
    m_declaredPartitionLength = m_partitionLength;
    info.describedBlocks = uint64_t(m_partitionStart) + m_partitionLength;
    if (m_partitionLength > end - m_partitionStart) m_partitionLength = end - m_partitionStart;
    info.partitionSize = m_partitionLength;
    info.usedBlocks = uint64_t(m_partitionStart) + m_partitionLength;
    // A plain view of the physical partition, for the metadata files.
    const size_t mapCount = m_maps.size();
    m_maps.push_back(PartitionMap{});
    const uint16_t physical = uint16_t(mapCount);
    for (size_t i = 0; i < mapCount; ++i)
        if (m_maps[i].isVirtual && !LoadVirtualTable(m_maps[i], physical)) return false;
    for (size_t i = 0; i < mapCount; ++i)
        if (m_maps[i].sparable && !LoadSparingTable(m_maps[i])) return false;
    for (size_t i = 0; i < mapCount; ++i)
        if (m_maps[i].metadata && !LoadMetadataPartition(m_maps[i], physical)) return false;
    return true;
}

bool UdfReader::ReadPartitionMaps(const uint8_t* lvd)
{
    m_maps.clear();
    using namespace UdfLayout::PartitionMap;
    const uint32_t tableLength = Le32(lvd + LogicalVolume::kMapTableLength);
    const uint32_t count = Le32(lvd + LogicalVolume::kMapCount);
    if (tableLength > kBlock - LogicalVolume::kMaps) return false;
    const uint8_t* map = lvd + LogicalVolume::kMaps;
    const uint8_t* end = map + tableLength;
    for (uint32_t i = 0; i < count && i < 64; ++i) {
        if (map + 2 > end || map[kLength] < 6 || map + map[kLength] > end) return false;
        PartitionMap entry;
        if (map[kType] == 1) {
            entry.partitionNumber = Le16(map + kType1Number);
        } else if (map[kType] == 2 && map[kLength] >= kType2Size) {
            const char* identifier = reinterpret_cast<const char*>(map + kType2Identifier);
            entry.partitionNumber = Le16(map + kType2Number);
            if (std::memcmp(identifier, "*UDF Metadata Partition", 23) == 0) {
                entry.metadata = true;
                entry.metadataFile = Le32(map + kMetadataFile);
                entry.metadataMirror = Le32(map + kMetadataMirror);
            } else if (std::memcmp(identifier, "*UDF Virtual Partition", 22) == 0) {
                entry.isVirtual = true;
            } else if (std::memcmp(identifier, "*UDF Sparable Partition", 23) == 0) {
                entry.sparable = true;
                entry.packetLength = Le16(map + kSparablePacketLength);
                entry.sparingTableBytes = Le32(map + kSparableTableSize);
                const size_t copies = std::min<size_t>(map[kSparableTableCount], kMaxSparingTables);
                for (size_t copy = 0; copy < copies; ++copy)
                    entry.sparingTables.push_back(Le32(map + kSparableTableLocations + 4 * copy));
                if (entry.packetLength == 0) return false;
            } else {
                return false;
            }
        } else {
            return false;
        }
        m_maps.push_back(entry);
        map += map[kLength];
    }
    return !m_maps.empty();
}

bool UdfReader::LoadSparingTable(PartitionMap& map)
{
    // Any copy whose descriptor holds will do; they are kept identical.
    std::vector<uint8_t> table(size_t(kMaxSparingTableBlocks) * kBlock);
    const uint32_t blocks = std::min((map.sparingTableBytes + kBlock - 1) / kBlock, kMaxSparingTableBlocks);
    for (uint32_t location : map.sparingTables) {
        if (blocks == 0 || !ReadTagged(location, table.data(), Tag::kSparingTable) ||
            std::memcmp(table.data() + SparingTable::kIdentifier, "*UDF Sparing Table", 18) != 0 ||
            (blocks > 1 && !m_medium.ReadBlocks(location + 1, blocks - 1, table.data() + kBlock)))
            continue;
        const size_t entries = std::min<size_t>(Le16(table.data() + SparingTable::kEntryCount),
                                                (size_t(blocks) * kBlock - SparingTable::kEntries) /
                                                    SparingTable::kEntrySize);
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* entry = table.data() + SparingTable::kEntries + i * SparingTable::kEntrySize;
            const uint32_t original = Le32(entry + SparingTable::kEntryOriginal);
            if (original < SparingTable::kUnused) map.spared[original] = Le32(entry + SparingTable::kEntryMapped);
        }
        return true;
    }
    return false;
}

bool UdfReader::LoadMetadataPartition(PartitionMap& map, uint16_t physical)
{
    // The metadata file lies in the physical partition; its extents map
    // the metadata partition's blocks. The mirror stands in when it fails.
    for (uint32_t location : {map.metadataFile, map.metadataMirror}) {
        Entry entry;
        if (location >= m_partitionLength || !ReadEntry({location, physical}, entry)) continue;
        if ((entry.fileType != FileEntry::kTypeMetadata && entry.fileType != FileEntry::kTypeMetadataMirror) ||
            entry.isEmbedded)
            continue;
        map.metadataExtents = std::move(entry.extents);
        return true;
    }
    return false;
}

bool UdfReader::LoadVirtualTable(PartitionMap& map, uint16_t physical)
{
    // The table is the last block written: the last one that is not blank.
    uint8_t block[kBlock];
    uint32_t sector = m_medium.Layout().leadOut;
    for (uint32_t scanned = 0; sector > m_partitionStart && scanned < kMaxBlankBlocksBeforeTable; ++scanned) {
        --sector;
        if (!m_medium.ReadBlocks(sector, 1, block)) return false;
        if (std::any_of(block, block + kBlock, [](uint8_t b) { return b != 0; })) break;
    }
    Entry entry;
    if (!ReadEntry({sector - m_partitionStart, physical}, entry)) return false;
    std::vector<uint8_t> data;
    if (!ReadData(entry, data)) return false;
    size_t first = 0, end = data.size();
    if (entry.fileType == FileEntry::kTypeVirtualTable) {
        if (data.size() < 2) return false;
        first = Le16(data.data()); // header length (UDF 2.00 and later)
    } else if (data.size() >= 36 &&
               std::memcmp(data.data() + data.size() - 35, "*UDF Virtual Alloc Tbl", 22) == 0) {
        end = data.size() - 36; // UDF 1.50: entries, then an identifier and the previous table
    } else {
        return false;
    }
    if (first > end) return false;
    for (size_t position = first; position + 4 <= end; position += 4)
        map.virtualTable.push_back(Le32(data.data() + position));
    return !map.virtualTable.empty();
}

bool UdfReader::Translate(const Address& address, uint32_t& sector) const
{
    if (address.partition >= m_maps.size()) return Fail(TRELLIS_GAP_DAMAGED);
    const PartitionMap& map = m_maps[address.partition];
    uint32_t block = address.block;
    if (map.isVirtual) {
        if (block >= map.virtualTable.size()) return Fail(TRELLIS_GAP_DAMAGED);
        block = map.virtualTable[block];
    } else if (map.sparable) {
        if (block >= m_partitionLength) return OutsidePartition(block);
        const uint32_t packet = block - block % map.packetLength;
        const auto moved = map.spared.find(packet);
        if (moved != map.spared.end()) {
            sector = moved->second + (block - packet);
            return true;
        }
    } else if (map.metadata) {
        uint64_t first = 0;
        bool found = false;
        for (const Extent& extent : map.metadataExtents) {
            const uint64_t blocks = (uint64_t(extent.length) + kBlock - 1) / kBlock;
            if (block < first + blocks) {
                block = uint32_t(extent.where.block + (block - first));
                found = true;
                break;
            }
            first += blocks;
        }
        if (!found) return Fail(TRELLIS_GAP_DAMAGED);
    }
    if (block >= m_partitionLength) return OutsidePartition(block);
    sector = m_partitionStart + block;
    return true;
}

bool UdfReader::OutsidePartition(uint32_t block) const
{
    return Fail(block < m_declaredPartitionLength ? TRELLIS_GAP_BEYOND_END : TRELLIS_GAP_DAMAGED);
}

bool UdfReader::ReadLogical(const Address& address, uint8_t* block, uint16_t tagId)
{
    uint32_t sector;
    return Translate(address, sector) && ReadTagged(sector, block, tagId);
}

bool UdfReader::ReadEntry(Address icb, Entry& entry, bool withExtents)
{
    uint8_t block[kBlock];
    for (int indirections = 0;; ++indirections) {
        if (!ReadLogical(icb, block, kAnyTag)) return false;
        if (Le16(block) != Tag::kIndirectEntry) break;
        if (indirections >= kMaxIndirections) return false;
        icb.block = Le32(block + IndirectEntry::kTargetBlock);
        icb.partition = Le16(block + IndirectEntry::kTargetPartition);
    }
    const uint16_t tag = Le16(block);
    size_t timeOffset, lengthsOffset, headerLength;
    entry.headerRead = false;
    if (tag == Tag::kFileEntry) {
        timeOffset = FileEntry::kModificationTime;
        lengthsOffset = FileEntry::kLengths;
        headerLength = FileEntry::kHeader;
    } else if (tag == Tag::kExtendedFileEntry) {
        timeOffset = FileEntry::kExtendedModificationTime;
        lengthsOffset = FileEntry::kExtendedLengths;
        headerLength = FileEntry::kExtendedHeader;
    } else {
        return Fail(TRELLIS_GAP_DAMAGED);
    }
    entry.fileType = block[FileEntry::kIcbFileType];
    entry.size = Le64(block + FileEntry::kInformationLength);
    entry.fileTime = DiscTime::FromEcma(block + timeOffset);
    const uint32_t eaLength = Le32(block + lengthsOffset);
    const uint32_t adLength = Le32(block + lengthsOffset + 4);
    if (eaLength > kBlock || adLength > kBlock || headerLength + eaLength + adLength > kBlock)
        return Fail(TRELLIS_GAP_DAMAGED);
    entry.headerRead = true;
    const uint8_t* area = block + headerLength + eaLength;
    const int type = Le16(block + FileEntry::kIcbFlags) & 7;
    if (!withExtents) return true;
    if (type == FileEntry::kAllocationEmbedded) {
        entry.isEmbedded = true;
        entry.embedded.assign(area, area + adLength);
        return true;
    }
    return ReadAllocation(area, adLength, type, icb.partition, entry);
}

bool UdfReader::ReadAllocation(const uint8_t* area, size_t length, int type, uint16_t partition, Entry& entry)
{
    const size_t step = type == FileEntry::kAllocationShort  ? ShortAd::kSize
                        : type == FileEntry::kAllocationLong ? LongAd::kSize
                        : type == FileEntry::kAllocationExtended ? ExtendedAd::kSize
                                                                 : 0;
    if (!step) return Fail(TRELLIS_GAP_DAMAGED);
    uint8_t continuation[kBlock];
    for (int hops = 0;;) {
        bool next = false;
        for (size_t position = 0; position + step <= length; position += step) {
            const uint8_t* ad = area + position;
            const uint32_t raw = Le32(ad);
            const uint32_t bytes = raw & 0x3FFFFFFF;
            if (bytes == 0) break;
            Extent extent;
            extent.length = bytes;
            extent.recorded = (raw >> 30) == 0;
            if (type == FileEntry::kAllocationShort) {
                extent.where = {Le32(ad + ShortAd::kPosition), partition};
            } else if (type == FileEntry::kAllocationLong) {
                extent.where = {Le32(ad + LongAd::kBlock), Le16(ad + LongAd::kPartition)};
            } else {
                extent.where = {Le32(ad + ExtendedAd::kBlock), Le16(ad + ExtendedAd::kPartition)};
            }
            if ((raw >> 30) == 3) {
                // The descriptors go on in an allocation extent descriptor.
                if (++hops > kMaxAllocationHops) return Fail(TRELLIS_GAP_LIMIT);
                if (!ReadLogical(extent.where, continuation, Tag::kAllocationExtent)) return false;
                const uint32_t more = Le32(continuation + AllocationExtent::kLength);
                if (more > kBlock - AllocationExtent::kHeader) return Fail(TRELLIS_GAP_DAMAGED);
                area = continuation + AllocationExtent::kHeader;
                length = more;
                next = true;
                break;
            }
            if (entry.extents.size() >= kMaxExtentsPerEntry) return Fail(TRELLIS_GAP_LIMIT);
            entry.extents.push_back(extent);
        }
        if (!next) return true;
    }
}

bool UdfReader::ReadData(const Entry& entry, std::vector<uint8_t>& data)
{
    if (entry.isEmbedded) {
        data = entry.embedded;
        if (data.size() > entry.size) data.resize(size_t(entry.size));
        return true;
    }
    const uint64_t size = entry.size < kMaxDirectoryBytes ? entry.size : kMaxDirectoryBytes;
    data.clear();
    data.reserve(size_t(size));
    uint8_t block[kBlock];
    for (const Extent& extent : entry.extents) {
        for (uint32_t offset = 0; offset < extent.length && data.size() < size; offset += kBlock) {
            const size_t take = size_t(std::min<uint64_t>({uint64_t(kBlock), uint64_t(extent.length - offset), size - data.size()}));
            if (!extent.recorded) {
                data.insert(data.end(), take, 0);
                continue;
            }
            uint32_t sector;
            if (!Translate({extent.where.block + offset / kBlock, extent.where.partition}, sector) ||
                !ReadSector(sector, block))
                return false;
            data.insert(data.end(), block, block + take);
        }
    }
    return data.size() == size || Fail(TRELLIS_GAP_DAMAGED);
}

bool UdfReader::DataOnDisc(const Entry& entry) const
{
    uint32_t sector;
    for (const Extent& extent : entry.extents) {
        if (!extent.recorded || extent.length == 0) continue;
        const Address last{extent.where.block + (extent.length - 1) / kBlock, extent.where.partition};
        if (last.block < extent.where.block || !Translate(extent.where, sector) || !Translate(last, sector))
            return false;
    }
    return true;
}

uint32_t UdfReader::ReadFolder(const Address& icb, std::vector<uint8_t>& data)
{
    Entry entry;
    if (!ReadEntry(icb, entry)) return TakeFailure();
    if (entry.size > m_directoryBytesLeft) return TRELLIS_GAP_LIMIT;
    if (!ReadData(entry, data)) return TakeFailure();
    m_directoryBytesLeft -= data.size();
    return 0;
}

HRESULT UdfReader::ReadTree(FileTree& tree, ParseControl& control)
{
    m_jobs.clear();
    m_visited.clear();
    m_directoryBytesLeft = (uint64_t(m_partitionLength) + 512) * kBlock;
    m_jobs.push_back({m_root, FileTree::kRoot, 0});
    m_visited.insert(AddressKey(m_root.partition, m_root.block));
    std::vector<uint8_t> data;
    uint32_t done = 0;
    while (!m_jobs.empty()) {
        if (control.Aborted()) return E_ABORT;
        const DirectoryJob job = m_jobs.front();
        m_jobs.pop_front();
        if (const uint32_t failure = ReadFolder(job.icb, data)) {
            tree.MissFolder(failure);
        } else {
            if (data.size() == kMaxDirectoryBytes) tree.MissFolder(TRELLIS_GAP_LIMIT); // read in part
            ParseDirectory(job, data, tree, control);
        }
        ++done;
        control.Report(double(done) / double(done + m_jobs.size()));
    }
    return S_OK;
}

void UdfReader::ParseDirectory(const DirectoryJob& job, const std::vector<uint8_t>& data, FileTree& tree,
                               const ParseControl& control)
{
    size_t position = 0;
    using namespace UdfLayout::FileIdentifier;
    for (uint32_t count = 0; position + kHeader <= data.size(); ++count) {
        if ((count & 1023) == 1023 && control.Aborted()) return;
        const uint8_t* fid = data.data() + position;
        if (!TagIs(fid, Tag::kFileIdentifier)) {
            tree.MissFolder(TRELLIS_GAP_DAMAGED);
            return;
        }
        const uint8_t characteristics = fid[kCharacteristics];
        const uint8_t nameLength = fid[kNameLength];
        const uint16_t useLength = Le16(fid + kUseLength);
        const size_t total = (kHeader + size_t(useLength) + nameLength + 3) & ~size_t(3);
        if (position + kHeader + useLength + nameLength > data.size()) {
            tree.MissFolder(TRELLIS_GAP_DAMAGED);
            return;
        }
        position += total;
        if (characteristics & (kParent | kDeleted)) continue;
        FileNode node;
        node.name = TextDecode::FromOstaCs0(fid + kHeader + useLength, nameLength);
        if (node.name.empty()) continue;
        const Address icb{Le32(fid + kIcbBlock), Le16(fid + kIcbPartition)};
        node.location = (uint64_t(icb.partition) << 32) | icb.block;
        const bool declaredFolder = characteristics & kDirectory;
        Entry entry;
        // A file's allocation is read too: its data must lie on the disc.
        const bool complete = ReadEntry(icb, entry, !declaredFolder);
        const bool folder = declaredFolder || (entry.headerRead && entry.fileType == FileEntry::kTypeDirectory);
        node.attributes = TRELLIS_ATTRIBUTE_READONLY | (folder ? TRELLIS_ATTRIBUTE_DIRECTORY : 0) |
                          ((characteristics & kHidden) ? TRELLIS_ATTRIBUTE_HIDDEN : 0);
        if (entry.headerRead) {
            node.fileTime = entry.fileTime;
            if (!folder) node.size = entry.size;
        }
        const uint32_t index = tree.Add(job.node, std::move(node));
        if (index == FileTree::kNone) return;
        if (!entry.headerRead) {
            folder ? tree.MissFolder(TakeFailure()) : tree.MissFile(TakeFailure());
            continue;
        }
        if (!folder) {
            if (!complete || !DataOnDisc(entry)) tree.MissFile(TakeFailure());
            continue;
        }
        if (job.depth + 1 >= FileTree::kMaxDepth || !m_visited.insert(AddressKey(icb.partition, icb.block)).second) {
            tree.MissFolder(TRELLIS_GAP_LOOP);
            continue;
        }
        m_jobs.push_back({icb, index, job.depth + 1});
    }
}

HRESULT UdfReader::ReadFileData(uint32_t, const FileNode& node, uint64_t offset, uint8_t* buffer, uint32_t size,
                                uint32_t* read)
{
    if (!read || (!buffer && size)) return E_POINTER;
    *read = 0;
    Entry entry;
    if (!ReadEntry({uint32_t(node.location), uint16_t(node.location >> 32)}, entry)) return HresultFromWin32(30);
    if (entry.isEmbedded) {
        const uint64_t length = std::min<uint64_t>(entry.embedded.size(), entry.size);
        if (offset >= length) return S_OK;
        *read = uint32_t(std::min<uint64_t>(size, length - offset));
        std::memcpy(buffer, entry.embedded.data() + offset, *read);
        return S_OK;
    }
    std::vector<DataRun> runs;
    for (const Extent& extent : entry.extents) runs.push_back({extent.length, extent.recorded});
    return FileDataRuns::Read(runs, entry.size, offset, buffer, size, read,
                              [&](size_t run, uint32_t block, uint8_t* data) {
                                  const Extent& extent = entry.extents[run];
                                  uint32_t sector = 0;
                                  return Translate({extent.where.block + block, extent.where.partition}, sector) &&
                                         ReadSector(sector, data);
                              });
}
