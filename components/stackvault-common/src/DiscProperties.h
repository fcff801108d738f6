// What AddDisc is told about a disc, as read from the drive.
#pragma once
#include <QByteArray>
#include <cstdint>

struct DiscProperties {
    QByteArray identity;
    int32_t audioFlag = 0;  // -1: audio disc
    int32_t discClass = 0;  // 1 CD, 2 DVD, 3 BD
    int32_t folderCount = 0;
    int32_t fileCount = 0;
    int64_t usedBytes = 0;
    int64_t capacityBytes = 0;

    bool IsAudio() const { return audioFlag == -1; }
    bool IsEmpty() const { return !IsAudio() && folderCount == 0 && fileCount == 0; }
};
