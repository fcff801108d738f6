// What CDiscAccess and its scan worker share while a disc is scanned. The
// main thread writes the cancel and abort requests, the worker the
// progress: plain 32-bit values, read and written whole. What one scan
// needs is handed to the worker when it starts (ScanJob), with its own
// references to the engine's objects, so the worker reaches into nothing
// else of CDiscAccess.
#pragma once
#include "ComPtr.h"
#include "DiscReadGaps.h"
#include "TrellisInterfaces.h"

#include <atomic>
#include <cstdint>

struct ILibraryEngine;

// The scan's callback: code, a pointer-sized parameter, the stored context.
using ScanCallback = void (*)(int code, intptr_t parameter, int context);

enum ScanCallbackCode : int {
    ScanStarting = 0x8001,
    ScanFinished = 0x8002,
    ScanCancelled = 0x8005,
    ScanAborting = 0x8006,
};

struct ScanState {
    std::atomic<int> cancelRequested{0}; // stop the walk, remove the disc, report cancellation
    std::atomic<int> abortRequested{0};  // abort the engine's parse; cleared once issued
    std::atomic<int> progress{0};        // 0..100, written by the worker only
    std::atomic<int> itemsRead{0};       // folders and files read, written by the worker only
    std::atomic<bool> busy{false};       // a disc is being read or scanned
    ScanCallback callback = nullptr;
    int callbackContext = 0;
    // What the last scan's read could not read: written by the worker before
    // it reports the end of the scan, read by the main thread after.
    DiscReadGaps lastReadGaps;
};

struct ScanJob {
    ComPtr<ITrellisEngine> engine;
    ComPtr<ITrellisDevice> device;
    ILibraryEngine* library = nullptr; // the caller's, not released here
    DWORD mediaType = 0;
    int discId = 0, labelId = 0;
    int replacedDiscId = 0; // the earlier record this import replaces, 0 for a new disc
    int mode = 0;      // 0 data disc, else audio disc
    int fileCount = 0; // files, or tracks of an audio disc
    int itemTotal = 0; // files and folders
};
