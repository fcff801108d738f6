#include "CueImageMedium.h"

#include "TextDecode.h"

#include "TrellisInterfaces.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

constexpr uint32_t kLeadInFrames = 0; // logical addresses start at the first track's INDEX 01

std::string ReadSmallFile(const std::string& path, size_t limit, bool& ok)
{
    ImageFile file;
    ok = file.Open(path) == 0 && file.Size() <= limit;
    std::string text;
    if (!ok) return text;
    text.resize(size_t(file.Size()));
    ok = file.Read(0, text.data(), text.size());
    return text;
}

// A FILE name as written, else the same name in another case (sheets made
// on systems that ignore case), relative to the sheet's folder.
std::string ResolveDataFile(const std::filesystem::path& folder, const std::string& name)
{
    std::filesystem::path candidate = std::filesystem::path(name);
    if (candidate.is_relative()) candidate = folder / candidate;
    std::error_code error;
    if (std::filesystem::exists(candidate, error)) return candidate.string();
    const std::string wanted = std::filesystem::path(name).filename().string();
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string found = entry.path().filename().string();
        if (found.size() == wanted.size() &&
            std::equal(found.begin(), found.end(), wanted.begin(),
                       [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); }))
            return entry.path().string();
    }
    return candidate.string();
}

} // namespace

std::unique_ptr<CueImageMedium> CueImageMedium::Open(const std::string& cuePath, std::string* error, int* fileError)
{
    bool ok = false;
    const std::string text = ReadSmallFile(cuePath, CueSheet::kMaxTextBytes, ok);
    if (!ok) {
        if (error) *error = "the CUE sheet cannot be read";
        return nullptr;
    }
    CueSheet sheet;
    if (!CueSheet::Parse(text, sheet, error)) return nullptr;
    std::unique_ptr<CueImageMedium> medium(new CueImageMedium);
    const std::filesystem::path folder = std::filesystem::path(cuePath).parent_path();
    for (const std::string& name : sheet.files) {
        ImageFile file;
        if (const int opened = file.Open(ResolveDataFile(folder.empty() ? "." : folder, name))) {
            if (error)
                *error = "the data file \"" + name + "\" that the sheet names " +
                         (opened == ENOENT ? std::string("is missing") : "cannot be opened: " + std::string(std::strerror(opened)));
            if (fileError) *fileError = opened;
            return nullptr;
        }
        medium->m_files.push_back(std::move(file));
    }
    if (!medium->Layout(sheet, error)) return nullptr;
    // Sheets are written in UTF-8 or, by older tools, in Latin-1.
    medium->m_layout.title = TextDecode::FromUtf8OrLatin1(reinterpret_cast<const uint8_t*>(sheet.title.data()),
                                                          sheet.title.size());
    TextDecode::Repair(medium->m_layout.title);
    return medium;
}

bool CueImageMedium::Layout(const CueSheet& sheet, std::string* error)
{
    uint64_t cursor = kLeadInFrames; // disc blocks so far
    uint64_t pregaps = 0;
    for (size_t i = 0; i < sheet.tracks.size(); ++i) {
        const CueTrack& track = sheet.tracks[i];
        const ImageFile& file = m_files[track.file];
        const bool firstInFile = i == 0 || sheet.tracks[i - 1].file != track.file;
        TrackData data;
        data.track = track;
        if (firstInFile) {
            data.fileOffset = uint64_t(track.index1) * track.sectorSize;
            if (i > 0) cursor = uint64_t(m_tracks.back().start) + m_tracks.back().blocks + sheet.tracks[i - 1].postgap;
            pregaps += track.pregap;
            data.start = uint32_t(cursor + pregaps + uint64_t(track.index1));
            cursor += pregaps;
            pregaps = 0;
        } else {
            const TrackData& previous = m_tracks.back();
            const uint64_t frames = uint64_t(track.index1 - previous.track.index1);
            data.fileOffset = previous.fileOffset + frames * previous.track.sectorSize;
            data.start = uint32_t(previous.start + frames + track.pregap + previous.track.postgap);
        }
        if (data.fileOffset > file.Size()) {
            if (error) *error = "track " + std::to_string(track.number) + " starts beyond the end of its file";
            return false;
        }
        if (uint64_t(data.start) > UINT32_MAX / 2) {
            if (error) *error = "track " + std::to_string(track.number) + " starts too late";
            return false;
        }
        if (!m_tracks.empty() && m_tracks.back().track.file == track.file)
            m_tracks.back().blocks = uint32_t((data.fileOffset - m_tracks.back().fileOffset) / m_tracks.back().track.sectorSize);
        data.blocks = uint32_t(std::min<uint64_t>((file.Size() - data.fileOffset) / track.sectorSize, UINT32_MAX / 2));
        m_tracks.push_back(data);
    }
    const TrackData& last = m_tracks.back();
    m_layout.leadOut = last.start + last.blocks + last.track.postgap;
    m_layout.capacity = m_layout.leadOut;
    m_layout.mediaType = TRELLIS_MEDIA_CD_ROM;
    for (const TrackData& data : m_tracks) {
        m_layout.tracks.push_back({data.start, data.track.format, data.track.session});
        if (data.track.session > m_layout.sessions) m_layout.sessions = data.track.session;
    }
    return true;
}

bool CueImageMedium::ReadBlock(uint32_t lba, uint8_t* buffer) const
{
    for (auto track = m_tracks.rbegin(); track != m_tracks.rend(); ++track) {
        if (lba < track->start) continue;
        const uint32_t index = lba - track->start;
        if (track->track.audio || index >= track->blocks) return false;
        const uint64_t offset = track->fileOffset + uint64_t(index) * track->track.sectorSize + track->track.dataOffset;
        return m_files[track->track.file].Read(offset, buffer, kBlockSize);
    }
    return false;
}

bool CueImageMedium::ReadBlocks(uint32_t lba, uint32_t count, uint8_t* buffer)
{
    for (uint32_t i = 0; i < count; ++i)
        if (!ReadBlock(lba + i, buffer + size_t(i) * kBlockSize)) return false;
    return true;
}

std::string CueImageMedium::Stamp() const
{
    std::string stamp;
    for (const ImageFile& file : m_files) {
        const std::string one = file.Stamp();
        if (one.empty()) return {};
        stamp += one + ';';
    }
    return stamp;
}
