// A disc as the engine reads it: 2048-byte user-data blocks addressed by
// logical block number, and the track layout. Physical discs, ISO images,
// CUE/BIN images and the other image formats each have their own medium.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TrackLayout {
    uint32_t start = 0;   // logical block address of INDEX 01
    uint32_t format = 0;  // TRELLIS_TRACK_* code
    uint32_t session = 1; // session number, from 1
};

struct DiscLayout {
    std::vector<TrackLayout> tracks;
    uint32_t leadOut = 0;   // first block after the last track
    uint32_t sessions = 1;
    uint32_t mediaType = 0; // TRELLIS_MEDIA_* flag
    uint32_t status = 0;    // TRELLIS_STATUS_*
    uint32_t capacity = 0;  // blocks of the disc
    bool imageFile = false; // read from an image file, which may have been cut short
    std::u16string title;   // the title the image names (a CUE sheet's TITLE); "" for none

    // The first block of the last session's first data track, where a
    // multi-session disc's file system starts; 0 for single-session discs.
    uint32_t FileSystemStart() const;
    bool HasDataTrack() const;
};

class DiscMedium {
public:
    static constexpr uint32_t kBlockSize = 2048;

    virtual ~DiscMedium() = default;
    // Reads `count` user-data blocks from `lba`; false when any of them
    // cannot be read (beyond the end, an audio track, a read error).
    virtual bool ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer) = 0;
    // What tells an image's content from any other (its files' stamps);
    // empty for a disc in a drive, whose changes cannot be told this way.
    virtual std::string Stamp() const { return {}; }
    const DiscLayout& Layout() const { return m_layout; }
    DiscLayout& Layout() { return m_layout; }

protected:
    DiscLayout m_layout;
};
