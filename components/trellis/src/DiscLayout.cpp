#include "DiscMedium.h"

#include "TrellisInterfaces.h"

uint32_t DiscLayout::FileSystemStart() const
{
    uint32_t start = 0;
    uint32_t lastSession = 0;
    for (const TrackLayout& track : tracks) {
        if (track.format == TRELLIS_TRACK_AUDIO) continue;
        if (track.session > lastSession) {
            lastSession = track.session;
            start = lastSession > 1 ? track.start : 0;
        }
    }
    return start;
}

bool DiscLayout::HasDataTrack() const
{
    for (const TrackLayout& track : tracks)
        if (track.format != TRELLIS_TRACK_AUDIO) return true;
    return false;
}
