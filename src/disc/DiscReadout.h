// The properties of the disc in the selected drive as an import reads them
// before anything is written: its identity, volume label, kind, counts,
// sizes and date, filled by one call of CDiscAccess::ReadDiscProperties.
// The window reads them on a thread of its own, the command-line tool on
// its only thread.
#pragma once
#include "hresult.h"
#include "wintypes.h"

#include <QString>

class CDiscAccess;

struct DiscReadout {
    char identity[33] = {};
    WCHAR label[MAX_PATH] = {};
    WCHAR spare[MAX_PATH] = {};
    WCHAR date[MAX_PATH] = {};
    int audio = -1;     // -1: an audio disc (also before the read)
    int discClass = -1; // 1 CD, 2 DVD, 3 BD
    int folders = 0, files = 0;
    INT64 used = 0, capacity = 0;

    HRESULT Read(CDiscAccess& discs);
    QString Label() const { return QString::fromUtf16(label); }
    QString DateText() const { return QString::fromUtf16(date); }
    // How the scan walks the disc: 1 for an audio disc, 0 for a file system.
    int ScanMode() const { return audio == -1 ? 1 : 0; }
};
