#include "CdioMedium.h"

#include "MediaProfile.h"
#include "TextDecode.h"
#include "TrellisInterfaces.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <cdio/mmc.h>
#include <cdio/mmc_hl_cmds.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <strings.h>
#include <unistd.h>

namespace {

// libcdio's log handler writes to standard error; its messages about
// unreadable discs are reported through our results instead.
void QuietLog(cdio_log_level_t, const char*) {}

void InitLibcdio()
{
    static std::once_flag once;
    std::call_once(once, [] {
        cdio_log_set_handler(QuietLog);
        cdio_init();
    });
}

uint32_t TrackFormat(track_format_t format)
{
    switch (format) {
    case TRACK_FORMAT_AUDIO: return TRELLIS_TRACK_AUDIO;
    case TRACK_FORMAT_CDI: return TRELLIS_TRACK_CDI;
    case TRACK_FORMAT_XA:
    case TRACK_FORMAT_PSX: return TRELLIS_TRACK_XA;
    default: return TRELLIS_TRACK_DATA_MODE1;
    }
}

// libcdio reads the data files of a cdrdao TOC relative to the current
// folder: a copy of the TOC with the names made absolute is opened instead.
std::string TocWithAbsoluteNames(const std::string& tocPath)
{
    constexpr uintmax_t kMaxTocBytes = 1u << 20;
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(tocPath, error);
    if (error || size > kMaxTocBytes) return {};
    std::ifstream in(tocPath);
    if (!in) return {};
    const std::filesystem::path folder = std::filesystem::absolute(tocPath).parent_path();
    static const std::regex fileName(R"re((\b(?:FILE|AUDIOFILE|DATAFILE)\s+")([^"/][^"]*)")re");
    std::string text, line;
    while (std::getline(in, line))
        text += std::regex_replace(line, fileName, "$1" + (folder / "").string() + "$2\"") + "\n";
    std::string temporary = (std::filesystem::temp_directory_path() / "trellis-XXXXXX.toc").string();
    const int fd = mkstemps(temporary.data(), 4); // libcdio wants the extension
    if (fd < 0) return {};
    const bool written = write(fd, text.data(), text.size()) == ssize_t(text.size());
    close(fd);
    if (!written) {
        unlink(temporary.c_str());
        return {};
    }
    return temporary;
}

bool IsToc(const std::string& path) { return path.size() > 4 && strcasecmp(path.c_str() + path.size() - 4, ".toc") == 0; }

} // namespace

CdioMedium::~CdioMedium() { cdio_destroy(m_cdio); }

std::unique_ptr<CdioMedium> CdioMedium::OpenDrive(const std::string& devicePath)
{
    InitLibcdio();
    CdIo_t* cdio = cdio_open(devicePath.c_str(), DRIVER_DEVICE);
    if (!cdio) return nullptr;
    std::unique_ptr<CdioMedium> medium(new CdioMedium(cdio));
    // A drive that cannot tell its profile (older CD drives) holds a CD; a
    // profile that is no CD, DVD or BD is unknown media.
    cdio_mmc_feature_profile_t profile = CDIO_MMC_FEATURE_PROF_NON_CONFORM;
    const bool profileKnown = mmc_get_disctype(cdio, 0, &profile) == DRIVER_OP_SUCCESS;
    medium->m_layout.mediaType = profileKnown ? MediaProfile::MediaTypeOf(profile) : TRELLIS_MEDIA_CD_ROM;
    if (!medium->m_layout.mediaType) {
        medium->m_layout.status = TRELLIS_STATUS_UNKNOWN_MEDIA;
    } else if (!medium->ReadLayout()) {
        medium->m_layout.status = TRELLIS_STATUS_BLANK;
        medium->m_layout.tracks.clear();
    }
    return medium;
}

std::unique_ptr<CdioMedium> CdioMedium::OpenImage(const std::string& imagePath)
{
    InitLibcdio();
    if (IsToc(imagePath)) {
        const std::string copy = TocWithAbsoluteNames(imagePath);
        if (copy.empty()) return nullptr;
        CdIo_t* cdio = cdio_open(copy.c_str(), DRIVER_CDRDAO);
        unlink(copy.c_str());
        std::unique_ptr<CdioMedium> medium(cdio ? new CdioMedium(cdio) : nullptr);
        if (!medium || !medium->ReadLayout()) return nullptr;
        medium->m_layout.mediaType = TRELLIS_MEDIA_CD_ROM;
        return medium;
    }
    const driver_id_t drivers[] = {DRIVER_NRG, DRIVER_BINCUE};
    for (driver_id_t driver : drivers) {
        CdIo_t* cdio = cdio_open(imagePath.c_str(), driver);
        if (!cdio) continue;
        std::unique_ptr<CdioMedium> medium(new CdioMedium(cdio));
        if (!medium->ReadLayout()) continue;
        medium->m_layout.mediaType = TRELLIS_MEDIA_CD_ROM;
        return medium;
    }
    return nullptr;
}

bool CdioMedium::ReadLayout()
{
    const track_t first = cdio_get_first_track_num(m_cdio);
    const track_t count = cdio_get_num_tracks(m_cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 || count > 99) return false;
    lsn_t lastSession = 0;
    if (cdio_get_last_session(m_cdio, &lastSession) != DRIVER_OP_SUCCESS) lastSession = 0;
    for (track_t track = first; track < first + count; ++track) {
        const lsn_t start = cdio_get_track_lsn(m_cdio, track);
        if (start == CDIO_INVALID_LSN || start < 0) return false;
        const uint32_t session = lastSession > 0 && start >= lastSession ? 2 : 1;
        m_layout.tracks.push_back({uint32_t(start), TrackFormat(cdio_get_track_format(m_cdio, track)), session});
        if (session > m_layout.sessions) m_layout.sessions = session;
    }
    const lsn_t leadOut = cdio_get_track_lsn(m_cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (leadOut == CDIO_INVALID_LSN || leadOut < 0) return false;
    m_layout.leadOut = uint32_t(leadOut);
    const lsn_t size = cdio_get_disc_last_lsn(m_cdio);
    m_layout.capacity = size > leadOut ? uint32_t(size) : m_layout.leadOut;
    ReadCdTextTitle();
    return true;
}

void CdioMedium::ReadCdTextTitle()
{
    // The CD-Text object stays attached to the libcdio handle (not ours to
    // free); libcdio hands its texts out in UTF-8 where it could convert.
    const cdtext_t* text = cdio_get_cdtext(m_cdio);
    const char* title = text ? cdtext_get_const(text, CDTEXT_FIELD_TITLE, 0) : nullptr;
    if (!title || !*title) return;
    m_layout.title = TextDecode::FromUtf8OrLatin1(reinterpret_cast<const uint8_t*>(title), std::strlen(title));
    TextDecode::Repair(m_layout.title);
}

bool CdioMedium::ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer)
{
    if (uint64_t(lba) + count > m_layout.leadOut) return false;
    constexpr uint32_t kChunk = 32;
    for (uint32_t done = 0; done < count;) {
        const uint32_t take = count - done < kChunk ? count - done : kChunk;
        if (cdio_read_data_sectors(m_cdio, buffer + size_t(done) * kBlockSize, lsn_t(lba + done), kBlockSize, take) !=
            DRIVER_OP_SUCCESS)
            return false;
        done += take;
    }
    return true;
}
