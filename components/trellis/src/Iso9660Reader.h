// ISO 9660 with its extensions: Rock Ridge names and times on the primary
// tree (preferred when present), else the Joliet tree, else plain ISO 9660
// names. Multi-extent files keep their full size; looping or relocated
// directories, bad records and unreadable blocks end in a partial tree.
#pragma once
#include "DiscMedium.h"
#include "FileSystemReader.h"
#include "Iso9660Layout.h"

#include <array>
#include <deque>
#include <unordered_map>
#include <unordered_set>

class Iso9660Reader : public FileSystemReader {
public:
    Iso9660Reader(DiscMedium& medium, uint32_t sessionStart);

    // Reads the volume descriptors; false when there is no ISO 9660 volume.
    bool Probe(VolumeInfo& info);
    HRESULT ReadTree(FileTree& tree, ParseControl& control) override;
    // A file's data: its extent (the node's location) and size, or the
    // extents of a multi-extent file.
    HRESULT ReadFileData(uint32_t index, const FileNode& node, uint64_t offset, uint8_t* buffer, uint32_t size,
                         uint32_t* read) override;

private:
    struct DirectoryJob {
        uint32_t extent;
        uint32_t length;
        uint32_t node;
        uint32_t depth;
    };
    // What one directory record says, after its extensions are read.
    struct Record {
        std::u16string name;
        uint32_t extent = 0;
        uint32_t length = 0;
        uint8_t flags = 0;
        uint64_t fileTime = 0;
        bool skip = false; // "." / "..", or a relocated directory shown elsewhere
    };
    // An entry being put together from the records of a multi-extent file.
    struct PendingEntry {
        bool active = false;
        FileNode node;
        uint32_t dataMissing = 0; // TRELLIS_GAP_BEYOND_END when a part lies beyond the disc
        std::vector<std::pair<uint32_t, uint32_t>> extents; // block and bytes of each part
    };

    // 0 when read, else why not (a TRELLIS_GAP_* bit).
    uint32_t ReadDirectory(const DirectoryJob& job, std::vector<uint8_t>& data);
    // TRELLIS_GAP_BEYOND_END when the extent does not end on the disc, else 0.
    uint32_t BeyondEnd(uint32_t extent, uint32_t length) const;
    void ParseDirectory(const DirectoryJob& job, const std::vector<uint8_t>& data, FileTree& tree);
    bool DecodeRecord(const uint8_t* record, size_t length, Record& out);
    // What the Rock Ridge entries gave the record (the name, the modification time).
    struct RockRidgeFields {
        bool name = false;
        bool time = false;
    };
    RockRidgeFields ReadRockRidge(const uint8_t* area, size_t length, Record& out);
    uint32_t DirectoryLength(uint32_t extent);
    // Takes the record's name.
    void AddEntry(const DirectoryJob& job, Record& record, PendingEntry& pending, FileTree& tree);
    void Flush(const DirectoryJob& job, PendingEntry& pending, FileTree& tree);

    DiscMedium& m_medium;
    uint32_t m_sessionStart;
    uint32_t m_volumeBlocks = 0;
    std::array<uint8_t, Iso9660Layout::VolumeDescriptor::kRootRecordSize> m_root{};
    bool m_joliet = false;
    bool m_rockRidge = false;
    uint8_t m_suspSkip = 0;
    std::deque<DirectoryJob> m_jobs;
    std::unordered_set<uint32_t> m_visited;
    uint64_t m_directoryBytesLeft = 0; // directories may not hold more than the volume
    // The parts of files recorded in more than one extent, by node.
    std::unordered_map<uint32_t, std::vector<std::pair<uint32_t, uint32_t>>> m_multiExtents;
};
