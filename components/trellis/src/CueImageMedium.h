// A CUE sheet with its BIN (or other raw) files: data, audio and
// mixed-mode CDs. Data tracks give their 2048 user bytes per sector.
#pragma once
#include "CueSheet.h"
#include "DiscMedium.h"
#include "ImageFile.h"

#include <memory>

class CueImageMedium : public DiscMedium {
public:
    // Opens the sheet and its files; nullptr with a reason when it fails,
    // and the system's error number when a data file could not be opened
    // (0 for a sheet that does not form a disc).
    static std::unique_ptr<CueImageMedium> Open(const std::string& cuePath, std::string* error,
                                                int* fileError = nullptr);
    bool ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer) override;
    std::string Stamp() const override;

private:
    struct TrackData {
        CueTrack track;
        uint32_t start = 0;      // first block on the disc
        uint32_t blocks = 0;     // blocks held in the file
        uint64_t fileOffset = 0; // byte of the first block in its file
    };

    bool Layout(const CueSheet& sheet, std::string* error);
    bool ReadBlock(uint32_t lba, uint8_t* buffer) const;

    std::vector<ImageFile> m_files;
    std::vector<TrackData> m_tracks;
};
