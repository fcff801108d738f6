// Optional second interface of a library engine: checking, repairing and
// backing up the library file. Reached with QueryInterface on an engine;
// an engine without it answers E_NOINTERFACE (the program then offers no
// repair). Its operations work on the file whether or not the instance was
// initialised, so a library too damaged to open can still be repaired.
#pragma once
#include "ILibraryEngine.h"

// {499900A8-4957-445D-80E3-C859272936E4}
inline constexpr IID IID_ILibraryMaintenance = {
    0x499900A8, 0x4957, 0x445D, {0x80, 0xE3, 0xC8, 0x59, 0x27, 0x29, 0x36, 0xE4}};

// Capacity of the path fields below, in char16_t with the terminator.
constexpr int kLibraryPathLength = 4096;

// What a repair saved and lost. Rows are folder and file rows; a disc's
// loss is measured against the folder and file counts of its record.
#pragma pack(push, 1)
struct LibraryRepairReport {
    int32_t discsWhole;      // discs that kept every row
    int32_t discsPartly;     // discs that lost rows
    int32_t discsRecovered;  // discs whose record was lost: their rows stay under a stand-in disc "Recovered disc <id>"
    int64_t rowsSaved;
    int64_t rowsLost;
    char16_t damagedCopy[kLibraryPathLength]; // where the damaged file was kept, untouched
    char16_t backup[kLibraryPathLength];      // the backup taken before the repair ("" when none could be taken)
};
#pragma pack(pop)

// "The library is in use by another program": HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION).
inline constexpr HRESULT LIBRARY_E_IN_USE = HresultFromWin32(32);

struct ILibraryMaintenance : IUnknown {
    // The library file's path [kLibraryPathLength].
    virtual HRESULT GetLibraryPath(char16_t* path) = 0;
    // Integrity checks of the library file. Quick (full 0): every page and
    // the tables' structure. Full (1): also every index against its rows
    // and the name indexes against the names. S_OK when sound;
    // LIBRARY_E_DAMAGED with SQLite's first finding in `finding` [260] (may
    // be null); ERROR_FILE_NOT_FOUND when there is no library yet.
    virtual HRESULT CheckLibrary(LONG full, char16_t* finding) = 0;
    // Takes a backup, then builds a new library from every row that can
    // still be read (row by row where a table's pages fail), rebuilds the
    // name indexes from the rows, checks the result, and only then moves
    // the damaged file aside ("<library>.damaged-<time>", with its -wal)
    // and the new one into its place. On failure nothing has changed.
    // This instance is closed for the repair (Initialize opens the new
    // library); every other instance of the process must be uninitialised
    // first. A library another process holds open, or an import open on
    // this instance, refuses the repair with LIBRARY_E_IN_USE.
    virtual HRESULT RepairLibrary(LibraryRepairReport* report) = 0;
    // A consistent copy (SQLite's online backup) beside the library or in
    // the engine's backup folder, "<library>.backup-<time>"; the newest
    // three (or as many as set) are kept. With dailyOnly 1, S_FALSE and no
    // copy when daily backups are turned off, when the newest backup is
    // less than a day old or nothing has changed since it was taken, and
    // LIBRARY_E_DAMAGED without a copy when the quick check fails, so that
    // damage never pushes out a sound backup.
    virtual HRESULT BackUpLibrary(LONG dailyOnly) = 0;

protected:
    ~ILibraryMaintenance() = default;
};
