#include "ImageOpener.h"

#include "CdioMedium.h"
#include "CueImageMedium.h"
#include "FileSystemProbe.h"
#include "IsoImageMedium.h"
#include "MediaProfile.h"
#include "TrellisInterfaces.h"

#include <cerrno>
#include <cstring>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ImageOpener {
namespace {

bool EndsWithNoCase(const std::string& text, const char* suffix)
{
    const size_t length = std::strlen(suffix);
    return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, suffix) == 0;
}

// A file whose block 16 starts a volume descriptor (ISO 9660 "CD001",
// UDF "BEA01"/"NSR0x") or whose block 256 holds a UDF anchor tag.
bool LooksLikeBlockImage(const ImageFile& file)
{
    uint8_t block[DiscMedium::kBlockSize];
    if (file.Read(16 * 2048, block, sizeof block) &&
        (std::memcmp(block + 1, "CD001", 5) == 0 || std::memcmp(block + 1, "BEA01", 5) == 0 ||
         std::memcmp(block + 1, "NSR0", 4) == 0))
        return true;
    return file.Read(256 * 2048, block, sizeof block) && block[0] == 2 && block[1] == 0;
}

// Opens the image with libcdio in a child process; true when the child
// read its layout and ended normally within the time allowed.
bool LibcdioOpensSafely(const std::string& path)
{
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        alarm(20);
        _exit(CdioMedium::OpenImage(path) ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SetReason(std::string* reason, const std::string& text)
{
    if (reason) *reason = text;
}


HRESULT OpenAnyImage(const std::string& path, std::unique_ptr<DiscMedium>& medium, std::string* reason)
{
    if (EndsWithNoCase(path, ".cue")) {
        std::string why;
        int fileError = 0;
        auto cue = CueImageMedium::Open(path, &why, &fileError);
        if (!cue) {
            SetReason(reason, why);
            return fileError ? HresultFromErrno(fileError) : TRELLIS_E_BAD_FORMAT;
        }
        medium = std::move(cue);
        return S_OK;
    }
    ImageFile file;
    if (const int error = file.Open(path)) {
        SetReason(reason, std::strerror(error));
        return HresultFromErrno(error);
    }
    if (LooksLikeBlockImage(file)) {
        medium = std::make_unique<IsoImageMedium>(std::move(file));
        VolumeInfo volume;
        FileSystemProbe::Open(*medium, volume);
        medium->Layout().mediaType = MediaProfile::ImageMediaType(medium->Layout(), volume, true);
        return S_OK;
    }
    if (!LibcdioOpensSafely(path)) {
        SetReason(reason, "not a disc image that can be read");
        return TRELLIS_E_BAD_FORMAT;
    }
    auto cdio = CdioMedium::OpenImage(path);
    if (!cdio) return TRELLIS_E_BAD_FORMAT;
    medium = std::move(cdio);
    return S_OK;
}

} // namespace

HRESULT Open(const std::string& path, std::unique_ptr<DiscMedium>& medium, std::string* reason)
{
    medium.reset();
    const HRESULT hr = OpenAnyImage(path, medium, reason);
    if (medium) {
        DiscLayout& layout = medium->Layout();
        layout.imageFile = true;
        layout.capacity = MediaProfile::ImageCapacity(layout.mediaType, layout.leadOut);
    }
    return hr;
}

} // namespace ImageOpener
