// A disc read through libcdio: a disc in a physical drive, or an image
// format that libcdio opens (NRG, cdrdao TOC and others).
#pragma once
#include "DiscMedium.h"

#include <memory>
#include <string>

typedef struct _CdIo CdIo_t;

class CdioMedium : public DiscMedium {
public:
    ~CdioMedium() override;
    // A disc in the drive at `devicePath`, with its media type from the
    // drive's current profile; nullptr when no disc can be read.
    static std::unique_ptr<CdioMedium> OpenDrive(const std::string& devicePath);
    // An image file that libcdio knows; nullptr otherwise.
    static std::unique_ptr<CdioMedium> OpenImage(const std::string& imagePath);
    bool ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer) override;

private:
    explicit CdioMedium(CdIo_t* cdio) : m_cdio(cdio) {}
    bool ReadLayout();
    // The disc's title from its CD-Text, when it has one (first block).
    void ReadCdTextTitle();

    CdIo_t* m_cdio;
};
