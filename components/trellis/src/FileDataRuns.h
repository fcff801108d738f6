// Reading a byte range of a file whose data lies in runs of blocks (ISO 9660
// extents, UDF allocation extents). Each file system reads its own blocks;
// this walks the runs, skips to the offset and copies what is asked for.
#pragma once
#include "TrellisInterfaces.h"

#include <cstdint>
#include <functional>
#include <vector>

struct DataRun {
    uint64_t length = 0;   // bytes
    bool recorded = true;  // false: allocated but never written, reads as zeros
};

namespace FileDataRuns {

// Reads block `block` (counted from the run's start) of run `run` into 2048 bytes.
using BlockReader = std::function<bool(size_t run, uint32_t block, uint8_t* data)>;

// Copies up to `size` bytes from `offset` of the file the runs make up (at
// most `fileSize` bytes in all); *read is what was copied.
HRESULT Read(const std::vector<DataRun>& runs, uint64_t fileSize, uint64_t offset, uint8_t* buffer, uint32_t size,
             uint32_t* read, const BlockReader& readBlock);

} // namespace FileDataRuns
