#include "CueSheet.h"

#include "TrellisInterfaces.h"

#include <cctype>

namespace {

constexpr size_t kMaxFiles = 99;

struct TrackMode {
    const char* name;
    uint32_t format;
    uint32_t sectorSize;
    uint32_t dataOffset;
    bool audio;
};

constexpr TrackMode kModes[] = {
    {"AUDIO", TRELLIS_TRACK_AUDIO, 2352, 0, true},
    {"MODE1/2048", TRELLIS_TRACK_DATA_MODE1, 2048, 0, false},
    {"MODE1/2352", TRELLIS_TRACK_DATA_MODE1, 2352, 16, false},
    {"MODE2/2048", TRELLIS_TRACK_XA, 2048, 0, false},
    {"MODE2/2324", TRELLIS_TRACK_XA, 2324, 0, false},
    {"MODE2/2336", TRELLIS_TRACK_XA, 2336, 8, false},
    {"MODE2/2352", TRELLIS_TRACK_XA, 2352, 24, false},
    {"CDI/2336", TRELLIS_TRACK_CDI, 2336, 8, false},
    {"CDI/2352", TRELLIS_TRACK_CDI, 2352, 24, false},
};

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Splits a line into words; a double-quoted word keeps its blanks.
std::vector<std::string> Words(std::string_view line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size() && words.size() < 16) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') word.push_back(line[i++]);
            ++i;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) word.push_back(line[i++]);
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool ParseNumber(const std::string& text, int64_t limit, int64_t& value)
{
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= limit;
}

// "mm:ss:ff" in frames (75 per second).
bool ParseFrames(const std::string& text, int64_t& frames)
{
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    int64_t minutes, seconds, fraction;
    if (second == std::string::npos || !ParseNumber(text.substr(0, first), 9999, minutes) ||
        !ParseNumber(text.substr(first + 1, second - first - 1), 59, seconds) ||
        !ParseNumber(text.substr(second + 1), 74, fraction))
        return false;
    frames = (minutes * 60 + seconds) * 75 + fraction;
    return true;
}

bool Fail(std::string* error, const std::string& reason)
{
    if (error) *error = reason;
    return false;
}

} // namespace

bool CueSheet::Parse(std::string_view text, CueSheet& sheet, std::string* error)
{
    sheet = CueSheet{};
    if (text.size() > kMaxTextBytes) return Fail(error, "the CUE sheet is too large");
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    uint32_t session = 1;
    size_t lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        const std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        const std::string& command = words[0];
        const std::string where = " (line " + std::to_string(lineNumber) + ")";
        int64_t value = 0;
        if (EqualNoCase(command, "FILE")) {
            if (words.size() < 2 || words[1].empty()) return Fail(error, "FILE without a name" + where);
            if (sheet.files.size() >= kMaxFiles) return Fail(error, "too many files" + where);
            sheet.files.push_back(words[1]);
        } else if (EqualNoCase(command, "TRACK")) {
            if (sheet.files.empty()) return Fail(error, "TRACK before FILE" + where);
            if (words.size() < 3 || !ParseNumber(words[1], 99, value) || value < 1)
                return Fail(error, "bad TRACK" + where);
            if (sheet.tracks.size() >= kMaxTracks) return Fail(error, "too many tracks" + where);
            if (!sheet.tracks.empty() && value <= sheet.tracks.back().number)
                return Fail(error, "track numbers must rise" + where);
            const TrackMode* mode = nullptr;
            for (const TrackMode& candidate : kModes)
                if (EqualNoCase(words[2], candidate.name)) mode = &candidate;
            if (!mode) return Fail(error, "unknown track mode " + words[2] + where);
            CueTrack track;
            track.number = int(value);
            track.format = mode->format;
            track.sectorSize = mode->sectorSize;
            track.dataOffset = mode->dataOffset;
            track.audio = mode->audio;
            track.file = sheet.files.size() - 1;
            track.session = session;
            sheet.tracks.push_back(track);
        } else if (EqualNoCase(command, "INDEX")) {
            int64_t frames;
            if (sheet.tracks.empty() || words.size() < 3 || !ParseNumber(words[1], 99, value) ||
                !ParseFrames(words[2], frames))
                return Fail(error, "bad INDEX" + where);
            CueTrack& track = sheet.tracks.back();
            if (value == 1) {
                track.index1 = frames;
                track.file = sheet.files.size() - 1; // a FILE line may stand between TRACK and INDEX 01
            }
        } else if (EqualNoCase(command, "PREGAP") || EqualNoCase(command, "POSTGAP")) {
            int64_t frames;
            if (sheet.tracks.empty() || words.size() < 2 || !ParseFrames(words[1], frames))
                return Fail(error, "bad " + command + where);
            (EqualNoCase(command, "PREGAP") ? sheet.tracks.back().pregap : sheet.tracks.back().postgap) =
                uint32_t(frames);
        } else if (EqualNoCase(command, "TITLE") && sheet.tracks.empty() && words.size() >= 2) {
            sheet.title = words[1];
        } else if (EqualNoCase(command, "REM")) {
            if (words.size() >= 3 && EqualNoCase(words[1], "SESSION") && ParseNumber(words[2], 99, value) &&
                value >= session)
                session = uint32_t(value);
        }
        // CATALOG, CDTEXTFILE, FLAGS, ISRC, PERFORMER, SONGWRITER, a track's TITLE: not needed.
    }
    if (sheet.tracks.empty()) return Fail(error, "the CUE sheet has no track");
    for (const CueTrack& track : sheet.tracks)
        if (track.index1 < 0) return Fail(error, "track " + std::to_string(track.number) + " has no INDEX 01");
    for (size_t i = 1; i < sheet.tracks.size(); ++i)
        if (sheet.tracks[i].file == sheet.tracks[i - 1].file && sheet.tracks[i].index1 <= sheet.tracks[i - 1].index1)
            return Fail(error, "INDEX 01 positions must rise within a file");
    return true;
}
