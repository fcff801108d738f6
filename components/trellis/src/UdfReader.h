// UDF 1.02 to 2.60: anchor, volume descriptors, partition maps (physical,
// sparable read through its sparing table as packet-written rewritable discs
// need, the metadata partition of Blu-ray discs with its mirror, and the
// virtual partition of write-once discs with its allocation table), file set, and the directory tree with each entry's
// size and modification time. Every location and length is checked
// against the medium; loops, long allocation chains and bad descriptors end
// in a partial tree.
#pragma once
#include "DiscMedium.h"
#include "FileSystemReader.h"

#include <deque>
#include <unordered_map>
#include <unordered_set>

class UdfReader : public FileSystemReader {
public:
    UdfReader(DiscMedium& medium, uint32_t sessionStart);

    // Reads the descriptors up to the root directory; false when there is
    // no UDF volume that this reader can read.
    bool Probe(VolumeInfo& info);
    HRESULT ReadTree(FileTree& tree, ParseControl& control) override;
    // A file's data, from its file entry (the node's location).
    HRESULT ReadFileData(uint32_t index, const FileNode& node, uint64_t offset, uint8_t* buffer, uint32_t size,
                         uint32_t* read) override;

private:
    struct Address {
        uint32_t block = 0;
        uint16_t partition = 0; // index into the partition maps
    };
    struct Extent {
        uint32_t length = 0; // bytes
        Address where;
        bool recorded = true;
    };
    struct PartitionMap {
        bool metadata = false;
        bool isVirtual = false;
        bool sparable = false;
        std::vector<uint32_t> virtualTable; // virtual block -> block of the physical partition
        uint16_t packetLength = 0;              // sparable: blocks per packet
        std::vector<uint32_t> sparingTables;    // sparable: sectors of the table's copies
        uint32_t sparingTableBytes = 0;
        std::unordered_map<uint32_t, uint32_t> spared; // first block of a packet -> sector it moved to
        uint16_t partitionNumber = 0;
        uint32_t metadataFile = 0;
        uint32_t metadataMirror = 0;
        std::vector<Extent> metadataExtents;
    };
    struct Entry {
        uint8_t fileType = 0;
        uint64_t size = 0;
        uint64_t fileTime = 0;
        std::vector<Extent> extents;
        std::vector<uint8_t> embedded;
        bool isEmbedded = false;
        bool headerRead = false; // size, time and type are known
    };
    struct DirectoryJob {
        Address icb;
        uint32_t node;
        uint32_t depth;
    };

    bool FindAnchor(uint8_t* block);
    bool ReadVolumeDescriptors(uint32_t location, uint32_t length, VolumeInfo& info);
    bool ReadPartitionMaps(const uint8_t* lvd);
    bool LoadMetadataPartition(PartitionMap& map, uint16_t physical);
    bool LoadVirtualTable(PartitionMap& map, uint16_t physical);
    bool LoadSparingTable(PartitionMap& map);
    // Failed reads leave their reason (a TRELLIS_GAP_* bit) for TakeFailure.
    bool Fail(uint32_t reason) const;
    uint32_t TakeFailure() const;
    bool ReadSector(uint32_t sector, uint8_t* block);
    bool ReadTagged(uint32_t sector, uint8_t* block, uint16_t tagId);
    bool Translate(const Address& address, uint32_t& sector) const;
    // A block past the partition's end on the disc: cut off, or never there.
    bool OutsidePartition(uint32_t block) const;
    bool ReadLogical(const Address& address, uint8_t* block, uint16_t tagId);
    // Reads a file entry; its allocation only when `withExtents` (files
    // need their size and time alone).
    bool ReadEntry(Address icb, Entry& entry, bool withExtents = true);
    bool ReadAllocation(const uint8_t* area, size_t length, int type, uint16_t partition, Entry& entry);
    bool ReadData(const Entry& entry, std::vector<uint8_t>& data);
    // Whether every recorded extent of a file lies on the disc.
    bool DataOnDisc(const Entry& entry) const;
    // A folder's directory data; 0 when read, else why not.
    uint32_t ReadFolder(const Address& icb, std::vector<uint8_t>& data);
    void ParseDirectory(const DirectoryJob& job, const std::vector<uint8_t>& data, FileTree& tree,
                        const ParseControl& control);

    DiscMedium& m_medium;
    uint32_t m_sessionStart;
    uint32_t m_partitionStart = 0;
    uint32_t m_partitionLength = 0;         // blocks of it on the disc
    uint32_t m_declaredPartitionLength = 0; // blocks the descriptor claims
    uint16_t m_partitionNumber = 0;
    bool m_havePartition = false;
    std::vector<PartitionMap> m_maps;
    Address m_fileSet;
    Address m_root;
    std::deque<DirectoryJob> m_jobs;
    std::unordered_set<uint64_t> m_visited;
    uint64_t m_directoryBytesLeft = 0; // directories may not hold more than the partition
    mutable uint32_t m_failure = 0;    // why the last read failed
};
