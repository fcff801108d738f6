// A CUE sheet as text: the data files it names and its tracks with their
// modes and INDEX positions. Parsing is bounded (99 tracks, 99 files) and
// rejects what does not form a disc.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct CueTrack {
    int number = 0;
    uint32_t format = 0;     // TRELLIS_TRACK_* code
    uint32_t sectorSize = 0; // bytes per sector in the file
    uint32_t dataOffset = 0; // where the 2048 user bytes start in a sector
    bool audio = false;
    size_t file = 0;           // index into CueSheet::files
    int64_t index1 = -1;       // frames from the file's start
    uint32_t pregap = 0;       // frames of silence not held in the file
    uint32_t postgap = 0;
    uint32_t session = 1;
};

struct CueSheet {
    static constexpr size_t kMaxTextBytes = 1u << 20;
    static constexpr size_t kMaxTracks = 99;

    std::vector<std::string> files;
    std::vector<CueTrack> tracks;
    std::string title; // the disc's TITLE (before the first TRACK), as written

    // Parses the sheet; false with a reason in `error` when it is not one.
    static bool Parse(std::string_view text, CueSheet& sheet, std::string* error);
};
