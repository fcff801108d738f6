#include "FileSystemProbe.h"

#include "Iso9660Reader.h"
#include "UdfReader.h"

#include <algorithm>

namespace FileSystemProbe {

std::unique_ptr<FileSystemReader> Open(DiscMedium& medium, VolumeInfo& info)
{
    info = VolumeInfo{};
    if (!medium.Layout().HasDataTrack()) return nullptr;
    const uint32_t start = medium.Layout().FileSystemStart();
    VolumeInfo isoInfo;
    auto iso = std::make_unique<Iso9660Reader>(medium, start);
    const bool hasIso = iso->Probe(isoInfo);
    auto udf = std::make_unique<UdfReader>(medium, start);
    if (udf->Probe(info)) {
        if (hasIso) {
            info.fsType = TRELLIS_FS_UDF_BRIDGE;
            info.usedBlocks = std::max(info.usedBlocks, isoInfo.usedBlocks);
            info.describedBlocks = std::max(info.describedBlocks, isoInfo.describedBlocks);
        }
        if (info.time.typeAndZone == 0 && hasIso) info.time = isoInfo.time;
        return udf;
    }
    info = VolumeInfo{};
    if (hasIso) {
        info = isoInfo;
        return iso;
    }
    return nullptr;
}

} // namespace FileSystemProbe
