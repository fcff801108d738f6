// The CUE sheet parser over fuzzed text.
#include "CueSheet.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CueSheet sheet;
    std::string error;
    if (CueSheet::Parse(std::string_view(reinterpret_cast<const char*>(data), size), sheet, &error)) {
        for (const CueTrack& track : sheet.tracks)
            if (track.file >= sheet.files.size() || track.index1 < 0 || track.sectorSize == 0) __builtin_trap();
    }
    return 0;
}
