// The inputs of a disc's identity and the 32-character text made from them.
// The inputs are what does not change when a disc is inserted again (track
// layout, file-system time stamp, partition size), so the same disc gives
// the same text in any drive.
#pragma once
#include "hresult.h"
#include "wintypes.h"

#include <QByteArray>
#include <cstdio>
#include <vector>

#pragma pack(push, 1)
// The volume time stamp as the disc engine gives it (12 bytes).
struct VolumeTimeStamp {
    WORD typeAndZone;
    WORD year;
    BYTE month, day, hour, minute, second;
    BYTE unused[3];
};
#pragma pack(pop)
static_assert(sizeof(VolumeTimeStamp) == 12);

class CDiscIdentity {
public:
    // Identity kinds.
    enum UsedTypes : DWORD { DataDisc = 1, CdMode2 = 2, CdInteractive = 3, AudioDisc = 4 };

    void SetUsedType(DWORD value);
    void SetTrkCnt(DWORD value);
    void SetDiscType(DWORD value);
    void SetFSType(DWORD value);
    void SetSessionCnt(DWORD value);
    void SetPartSize(DWORD value);
    void SetTimeStamp(const VolumeTimeStamp& value);
    // Takes one start per track; also sets the track count.
    void SetTrackStarts(const DWORD* starts, DWORD count);

    // Writes the 32 characters and a terminating zero; size is the buffer's
    // size in bytes (at least 33).
    HRESULT GetIdentity(char* buffer, DWORD size);

    // The setters write one trace line each ("SetUsedType = %08X"); the
    // stream is standard output unless set otherwise (null: no trace).
    static void SetTraceStream(FILE* stream);

    // Number of right shifts after which the value becomes 0.
    static int BitLength(DWORD value);
    // "150F20000F41000" for three tracks starting at 150, 20000, 41000.
    static QByteArray TrackText(const std::vector<DWORD>& starts);
    // The 27-character keyed digest text of a track text.
    static QByteArray DigestText(const QByteArray& trackText);

private:
    static void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

    DWORD m_dwUsedType = 0;
    DWORD m_dwTrkCnt = 0;
    bool m_bTrkCntSet = false;
    DWORD m_dwDiscType = 0;
    bool m_bDiscTypeSet = false;
    DWORD m_dwFSType = 0;
    bool m_bFSTypeSet = false;
    DWORD m_dwSessionCnt = 0;
    DWORD m_dwPartSize = 0;
    bool m_bPartSizeSet = false;
    VolumeTimeStamp m_timeStamp{};
    std::vector<DWORD> m_trackStarts;
};
