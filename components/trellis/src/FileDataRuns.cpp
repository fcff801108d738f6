#include "FileDataRuns.h"

#include "DiscMedium.h"

#include <algorithm>
#include <cstring>

namespace FileDataRuns {

HRESULT Read(const std::vector<DataRun>& runs, uint64_t fileSize, uint64_t offset, uint8_t* buffer, uint32_t size,
             uint32_t* read, const BlockReader& readBlock)
{
    if (!read || (!buffer && size)) return E_POINTER;
    *read = 0;
    constexpr uint32_t kBlock = DiscMedium::kBlockSize;
    uint8_t block[kBlock];
    uint64_t runStart = 0; // offset of the run's first byte in the file
    for (size_t run = 0; run < runs.size() && *read < size; ++run) {
        const uint64_t runEnd = std::min(runStart + runs[run].length, fileSize);
        while (offset < runEnd && *read < size) {
            const uint64_t inRun = offset - runStart;
            const uint32_t inBlock = uint32_t(inRun % kBlock);
            const uint32_t take = uint32_t(std::min<uint64_t>({uint64_t(kBlock - inBlock), runEnd - offset,
                                                              uint64_t(size - *read)}));
            if (!runs[run].recorded)
                std::memset(block + inBlock, 0, take);
            else if (!readBlock(run, uint32_t(inRun / kBlock), block))
                return HresultFromWin32(30); // ERROR_READ_FAULT
            std::memcpy(buffer + *read, block + inBlock, take);
            *read += take;
            offset += take;
        }
        runStart += runs[run].length;
    }
    return S_OK;
}

} // namespace FileDataRuns
