// Opens a disc image file as a medium: CUE sheets with their data files,
// plain 2048-byte block images (ISO 9660, UDF), and the formats that
// libcdio knows (checked in a child process first, so that a fault of the
// library on a damaged image cannot take the program down).
#pragma once
#include "DiscMedium.h"
#include "hresult.h"

#include <memory>
#include <string>

namespace ImageOpener {

// S_OK with the medium (its media type set for the image's kind);
// TRELLIS_E_BAD_FORMAT, or the error of opening the file (or a data file
// that a CUE sheet names), otherwise, with the reason in words.
HRESULT Open(const std::string& path, std::unique_ptr<DiscMedium>& medium, std::string* reason = nullptr);

} // namespace ImageOpener
