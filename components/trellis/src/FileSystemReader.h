// What a file-system reader of a disc gives: the volume's properties from
// its descriptors, and the tree of folders and files.
#pragma once
#include "FileTree.h"
#include "TrellisInterfaces.h"

#include <atomic>
#include <string>

struct VolumeInfo {
    DWORD fsType = TRELLIS_FS_NONE;
    std::u16string label;
    TrellisVolumeTime time{};
    DWORD partitionSize = 0;
    UINT64 usedBlocks = 0;
    UINT64 describedBlocks = 0; // where the file system says the disc ends
    uint16_t udfRevision = 0; // 0 without UDF
};

// The parse's link to its owner: an abort request and the share done.
class ParseControl {
public:
    ParseControl(const std::atomic<bool>* abort, std::atomic<double>* fraction) : m_abort(abort), m_fraction(fraction) {}
    bool Aborted() const { return m_abort && m_abort->load(std::memory_order_relaxed); }
    // Publishes the share done; it never goes back.
    void Report(double fraction);

private:
    const std::atomic<bool>* m_abort;
    std::atomic<double>* m_fraction;
};

class FileSystemReader {
public:
    virtual ~FileSystemReader() = default;
    // Fills `tree`; S_OK also for a partial tree of a damaged disc (with
    // what could not be read counted in the tree), E_ABORT when aborted.
    virtual HRESULT ReadTree(FileTree& tree, ParseControl& control) = 0;
    // Reads up to `size` bytes of a file of the parsed tree from `offset`;
    // *read is what was read (0 at or past the end). A block that cannot be
    // read fails the call (ERROR_READ_FAULT).
    virtual HRESULT ReadFileData(uint32_t index, const FileNode& node, uint64_t offset, uint8_t* buffer,
                                 uint32_t size, uint32_t* read) = 0;
};
