// A plain image of 2048-byte blocks (.iso and the like): one data track.
#pragma once
#include "DiscMedium.h"
#include "ImageFile.h"

class IsoImageMedium : public DiscMedium {
public:
    explicit IsoImageMedium(ImageFile file);
    bool ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer) override;
    std::string Stamp() const override { return m_file.Stamp(); }

private:
    ImageFile m_file;
};
