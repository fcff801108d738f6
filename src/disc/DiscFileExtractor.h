// Reads one catalogued file out of the disc in a drive (an image drive: its
// disc is an image file the program cannot hand to another application)
// into a new file the caller made (with ConfinedFile), through the disc
// engine: the disc's file system is parsed, then the file is copied in
// pieces. Meant to run off the window's thread: the progress (0..100) and
// the cancel request are shared atomics.
//
//   DiscFileExtractor extractor(engine, engineIndex);
//   HRESULT hr = extractor.Extract(u"\\DIR\\name.txt", target, cancel, percent);
#pragma once
#include "ConfinedFile.h"
#include "TrellisInterfaces.h"

#include <QString>
#include <atomic>

class DiscFileExtractor {
public:
    static constexpr DWORD kPieceBytes = 1 << 20;

    DiscFileExtractor(ITrellisEngine* engine, int engineIndex) : m_pEngine(engine), m_nEngineIndex(engineIndex) {}

    // Copies the file at `pathOnDisc` ("\DIR\name") into `target`, a new
    // file open for writing, and closes it. TRELLIS_E_PATH_NOT_FOUND when
    // the disc has no such file, E_ABORT when cancelled; on any failure the
    // target is removed.
    HRESULT Extract(const QString& pathOnDisc, ConfinedFile& target, const std::atomic<bool>& cancel,
                    std::atomic<int>& percent) const;
    // The size of the file being copied (0 until it is found); may be read
    // from another thread while Extract runs.
    UINT64 FileSize() const { return m_nFileSize.load(); }

private:
    HRESULT Read(const QString& pathOnDisc, QFile& out, const std::atomic<bool>& cancel,
                 std::atomic<int>& percent) const;
    HRESULT Copy(ITrellisFileData* data, const QString& pathOnDisc, QFile& out,
                 const std::atomic<bool>& cancel, std::atomic<int>& percent) const;

    ITrellisEngine* m_pEngine;
    int m_nEngineIndex;
    mutable std::atomic<UINT64> m_nFileSize{0};
};
