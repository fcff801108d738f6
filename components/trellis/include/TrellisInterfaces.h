// The disc engine's public interfaces: the engine lists the drives, a device
// is one drive (physical, or an image drive that holds a disc image), the
// disc-information object reads a disc's properties, and the readers walk a
// disc's file system. Every operation returns an HRESULT-style result,
// negative on failure. Text is UTF-16 unless said otherwise.
//
// The component is "Trellis.dll" (libTrellis.so): DllGetClassObject with
// CLSID_TrellisEngine and IID_IClassFactory, then the factory's
// CreateInstance(null, IID_ITrellisEngineFactory) gives an ITrellisEngine.
#pragma once
#include "Registry.h"
#include "com.h"

#include <cstddef>

// ---------------------------------------------------------------------------
// Class and interface identifiers

// The engine's class, handed to DllGetClassObject.
inline constexpr CLSID CLSID_TrellisEngine = {
    0xCF34958D, 0x6AC1, 0x4EA0, {0x87, 0x47, 0xCE, 0x86, 0x0A, 0xC0, 0xA6, 0xFC}};
// Asked of the class factory's CreateInstance: the created object answers
// ITrellisEngine as well.
inline constexpr IID IID_ITrellisEngineFactory = {
    0xC3BB196E, 0x0165, 0x4AC1, {0xAA, 0xFA, 0x82, 0x9C, 0xA9, 0x83, 0x9F, 0x65}};
inline constexpr IID IID_ITrellisEngine = {
    0xEBB44941, 0xAC60, 0x49AD, {0xAC, 0xA5, 0xA5, 0x49, 0x47, 0x5C, 0xF1, 0x85}};
// Objects made by ITrellisEngine::CreateObject.
inline constexpr CLSID CLSID_TrellisDiscInfo = {
    0x1CA1DE7D, 0xC416, 0x42C3, {0x99, 0xF3, 0xD0, 0x85, 0xEF, 0xEF, 0x49, 0x4B}};
inline constexpr CLSID CLSID_TrellisCdReader = {
    0x63369EDA, 0xB80C, 0x48AC, {0xA9, 0xCA, 0xBB, 0x73, 0xC9, 0x82, 0x8C, 0x9B}};
inline constexpr CLSID CLSID_TrellisOtherReader = {
    0x542A815A, 0x0F7C, 0x4999, {0xBB, 0xF9, 0x28, 0x52, 0x4B, 0x99, 0xAB, 0xFE}};
inline constexpr IID IID_ITrellisDiscProperties = {
    0x3A39B77C, 0xD2A2, 0x4A0B, {0xAA, 0x27, 0xE6, 0xFB, 0x57, 0xDF, 0x10, 0x1E}};
inline constexpr IID IID_ITrellisReader = {
    0x625E261C, 0x1693, 0x40D2, {0x94, 0xF7, 0x9F, 0xB0, 0x47, 0xE9, 0xBE, 0xA8}};
// Interfaces of ours without a fixed identifier elsewhere.
inline constexpr IID IID_ITrellisDevice = {
    0xC1FFFB98, 0xE63D, 0x483F, {0x9B, 0xF5, 0xE9, 0x67, 0xC2, 0x94, 0xBF, 0x47}};
inline constexpr IID IID_ITrellisImageDrive = {
    0x241FB188, 0x544D, 0x4DF2, {0x98, 0xEB, 0xEF, 0x33, 0x29, 0x70, 0x4E, 0xD3}};
inline constexpr IID IID_ITrellisDiscInfo = {
    0xCA8FBF52, 0x4D29, 0x44B5, {0x9E, 0xCB, 0x66, 0xF6, 0x36, 0x2F, 0x31, 0x97}};
// Queried from a reader: what its parse could not read.
inline constexpr IID IID_ITrellisReadReport = {
    0x5B0E8D2A, 0x3C71, 0x4F0B, {0x8A, 0x6D, 0x21, 0x94, 0xE7, 0x0C, 0x5F, 0x13}};

// Queried from a physical drive's device: its device file.
inline constexpr IID IID_ITrellisDevicePath = {
    0x2F6C8E14, 0x7B90, 0x4D3A, {0xB5, 0x21, 0x6E, 0x0F, 0x93, 0xC4, 0x58, 0xA7}};
// Queried from a reader: the content of the parsed disc's files.
inline constexpr IID IID_ITrellisFileData = {
    0x9D41A7C2, 0x5E38, 0x4B6F, {0x91, 0x0C, 0x7A, 0x2E, 0x64, 0xD8, 0x3B, 0x15}};

// ITrellisReader::StartParse: read every entry's name, size and time.
inline constexpr DWORD TRELLIS_PARSE_NAMES_SIZES_TIMES = 6;

// ---------------------------------------------------------------------------
// Result codes

// WaitParse: the parse is still running. The value is negative: compare
// with it (hr == TRELLIS_S_PARSE_RUNNING), do not test it with SUCCEEDED().
inline constexpr HRESULT TRELLIS_S_PARSE_RUNNING = MakeHresult(0xEB020A06u);
// FindFirst / FindNext: no (further) entry in the folder.
inline constexpr HRESULT TRELLIS_E_NO_MORE_ENTRIES = MakeHresult(0x80070012u); // ERROR_NO_MORE_FILES
// FindFirst: the folder path does not exist in the parsed tree.
inline constexpr HRESULT TRELLIS_E_PATH_NOT_FOUND = MakeHresult(0x80070003u); // ERROR_PATH_NOT_FOUND
// No disc (or no image) in the drive.
inline constexpr HRESULT TRELLIS_E_NO_DISC = MakeHresult(0x80070015u); // ERROR_NOT_READY
// The disc or image holds no file system that the engine reads, or it is damaged.
inline constexpr HRESULT TRELLIS_E_BAD_FORMAT = MakeHresult(0x8007000Du); // ERROR_INVALID_DATA
// The drive cannot be opened for lack of permission.
// (E_ACCESSDENIED, 0x80070005, is used for it.)

// ---------------------------------------------------------------------------
// Media type flags (GetMediaInfo). CD, DVD and BD classes as the program
// classifies them. Image drives report CD-ROM for CUE/BIN images and ISO
// images of CD size without UDF, DVD-ROM for larger ISO images and for UDF
// images below revision 2.50, BD-ROM for UDF 2.50 and later.
inline constexpr DWORD TRELLIS_MEDIA_NONE = 0x0;
inline constexpr DWORD TRELLIS_MEDIA_CD_ROM = 0x1;
inline constexpr DWORD TRELLIS_MEDIA_CD_R = 0x2;
inline constexpr DWORD TRELLIS_MEDIA_CD_RW = 0x4;
inline constexpr DWORD TRELLIS_MEDIA_DVD_ROM = 0x10;
inline constexpr DWORD TRELLIS_MEDIA_DVD_R = 0x20;
inline constexpr DWORD TRELLIS_MEDIA_DVD_RAM = 0x40;
inline constexpr DWORD TRELLIS_MEDIA_DVD_RW = 0x80;
inline constexpr DWORD TRELLIS_MEDIA_DVD_PLUS_RW = 0x100;
inline constexpr DWORD TRELLIS_MEDIA_DVD_PLUS_R = 0x200;
inline constexpr DWORD TRELLIS_MEDIA_DVD_R_DL = 0x400;
inline constexpr DWORD TRELLIS_MEDIA_DVD_PLUS_R_DL = 0x800;
inline constexpr DWORD TRELLIS_MEDIA_DVD_PLUS_RW_DL = 0x1000;
inline constexpr DWORD TRELLIS_MEDIA_DVD_R_DL_JUMP = 0x2000; // DVD-R DL, layer jump recording
inline constexpr DWORD TRELLIS_MEDIA_HD_DVD = 0x4000;
inline constexpr DWORD TRELLIS_MEDIA_BD_ROM = 0x10000;
inline constexpr DWORD TRELLIS_MEDIA_BD_R = 0x40000;
inline constexpr DWORD TRELLIS_MEDIA_BD_RE = 0x100000;

// GetMediaInfo status: 0 a readable, closed disc; otherwise the reason.
inline constexpr DWORD TRELLIS_STATUS_OK = 0;
inline constexpr DWORD TRELLIS_STATUS_BLANK = 1;
inline constexpr DWORD TRELLIS_STATUS_UNKNOWN_MEDIA = 2;

// GetTrackFormat codes.
inline constexpr DWORD TRELLIS_TRACK_DATA_MODE1 = 1; // CD-ROM data, DVD and BD data
inline constexpr DWORD TRELLIS_TRACK_AUDIO = 2;      // CD-DA
inline constexpr DWORD TRELLIS_TRACK_CDI = 7;        // CD-i
inline constexpr DWORD TRELLIS_TRACK_XA = 8;         // CD-ROM XA (mode 2)

// GetFileSystemType codes: the file system the readers use for the disc.
inline constexpr DWORD TRELLIS_FS_NONE = 0;       // no file system (audio disc)
inline constexpr DWORD TRELLIS_FS_ISO9660 = 1;    // plain ISO 9660
inline constexpr DWORD TRELLIS_FS_JOLIET = 2;     // ISO 9660 with Joliet names
inline constexpr DWORD TRELLIS_FS_ROCKRIDGE = 3;  // ISO 9660 with Rock Ridge (preferred over Joliet)
inline constexpr DWORD TRELLIS_FS_UDF = 4;        // UDF only
inline constexpr DWORD TRELLIS_FS_UDF_BRIDGE = 5; // UDF and ISO 9660 together, read through UDF

// Why a parse could not read everything (TrellisReadReport::reasons, bits).
inline constexpr DWORD TRELLIS_GAP_SHORT_IMAGE = 0x01; // the image file is shorter than the volume it describes
inline constexpr DWORD TRELLIS_GAP_BEYOND_END = 0x02;  // folders or file data beyond the end of the disc
inline constexpr DWORD TRELLIS_GAP_READ_ERROR = 0x04;  // blocks that could not be read
inline constexpr DWORD TRELLIS_GAP_DAMAGED = 0x08;     // damaged descriptors or records
inline constexpr DWORD TRELLIS_GAP_LOOP = 0x10;        // folders that contain themselves or lie too deep
inline constexpr DWORD TRELLIS_GAP_LIMIT = 0x20;       // more entries or folder data than the engine reads

// Find entry attributes.
inline constexpr DWORD TRELLIS_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD TRELLIS_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD TRELLIS_ATTRIBUTE_DIRECTORY = 0x10;

// ---------------------------------------------------------------------------
// Structures

#pragma pack(push, 1)

// GetInquiry: zero-ended 8-bit texts of the drive's inquiry data.
struct TrellisInquiry {
    char vendor[9];    // offset 0
    char product[17];  // offset 9
    char revision[5];  // offset 26
    char reserved[33];
};
static_assert(offsetof(TrellisInquiry, vendor) == 0);
static_assert(offsetof(TrellisInquiry, product) == 9);
static_assert(offsetof(TrellisInquiry, revision) == 26);

// GetVolumeTime: the volume's recording time in the 12-byte ECMA-167 form.
// typeAndZone: type in the top 4 bits (1 = local time), the offset from
// UTC in minutes as a signed 12-bit value below; 0 means the disc has no
// time. The other fields are the local time of the recording.
struct TrellisVolumeTime {
    WORD typeAndZone;
    WORD year;
    BYTE month;
    BYTE day;
    BYTE hour;
    BYTE minute;
    BYTE second;
    BYTE centiseconds;
    BYTE hundredsOfMicroseconds;
    BYTE microseconds;
};
static_assert(sizeof(TrellisVolumeTime) == 12);

#pragma pack(pop)

// GetTreeCounts: entries, files and folders of the parsed tree (the root
// itself is not counted).
struct TrellisTreeCounts {
    DWORD entries;
    DWORD files;
    DWORD folders;
};
static_assert(sizeof(TrellisTreeCounts) == 12);

// GetReadReport: what the parse could not read. An unread folder is listed
// in the tree but some or all of its entries are missing; an unread file is
// listed, but its entry (size, time) or its data could not be read. Entries
// dropped at the engine's bounds count as unread too.
struct TrellisReadReport {
    DWORD unreadFolders;
    DWORD unreadFiles;
    DWORD reasons;      // TRELLIS_GAP_* bits; 0 when everything was read
    DWORD reserved;
    UINT64 mediumBytes; // with TRELLIS_GAP_SHORT_IMAGE: the bytes the image holds
    UINT64 volumeBytes; // and the bytes its file system describes
};
static_assert(sizeof(TrellisReadReport) == 32);

// A 64-bit file time (100-nanosecond units since 1601-01-01 UTC) in two halves.
struct TrellisFileTime {
    DWORD low;
    DWORD high;
};

// One folder entry of FindFirst / FindNext.
//
// Names are safe to use as one file name on any system: the engine hands
// out no name that a file system would read as more than one part or as a
// folder itself, whatever the disc holds (ISO 9660, Rock Ridge, Joliet and
// UDF alike; a crafted image can put any bytes in a name). A slash becomes
// U+2215 DIVISION SLASH, a zero U+FFFD (as does any unit that is not text),
// a backslash '_', and the names "." and ".." become "._" and ".._".
// Paths handed to the engine use these names.
struct TrellisFindEntry {
    DWORD attributes;           // offset 0; TRELLIS_ATTRIBUTE_DIRECTORY for a folder
    TrellisFileTime time;       // offset 4; modification time, 0 when unknown
    DWORD reserved1;            // offset 12
    UINT64 size;                // offset 16; bytes (0 for folders)
    BYTE reserved2[540];        // offset 24
    char16_t name[MAX_PATH];    // offset 564; zero-ended, truncated to 259 units
};
static_assert(offsetof(TrellisFindEntry, attributes) == 0);
static_assert(offsetof(TrellisFindEntry, time) == 4);
static_assert(offsetof(TrellisFindEntry, size) == 16);
static_assert(offsetof(TrellisFindEntry, name) == 564);

// ---------------------------------------------------------------------------
// Interfaces

// One drive. Physical drives are /dev/sr0, /dev/sr1, ... in that order with
// letters D, E, ...; image drives follow (see the engine's settings).
struct ITrellisDevice : IUnknown {
    // The drive letter, an upper-case 8-bit character.
    virtual HRESULT GetLetter(char* letter) = 0;
    virtual HRESULT GetInquiry(TrellisInquiry* info) = 0;
    // present: 1 when a disc (or image) is in the drive; busy: 1 while the
    // drive is becoming ready. E_ACCESSDENIED when the drive may not be opened.
    virtual HRESULT GetDiscPresence(LONG* present, LONG* busy) = 0;
    // open 1 opens the tray, 0 closes it. An image drive ignores it.
    virtual HRESULT EjectMedia(LONG open) = 0;
    // lock 1 prevents removal, 0 allows it. An image drive ignores it.
    virtual HRESULT LockMedia(LONG lock) = 0;

protected:
    ~ITrellisDevice() = default;
};

// An image drive's own interface, queried from its device
// (IID_ITrellisImageDrive); physical drives answer E_NOINTERFACE. The image
// held is remembered in the settings, so other processes see it too.
struct ITrellisImageDrive : IUnknown {
    // Puts the image file (ISO, CUE sheet, or another format libcdio opens)
    // into the drive, replacing any image held; TRELLIS_E_BAD_FORMAT when
    // the file cannot be opened as an image, and the drive stays as it was.
    virtual HRESULT InsertImage(LPCWSTR imagePath) = 0;
    // Takes the image out; S_FALSE when the drive was empty.
    virtual HRESULT EjectImage() = 0;
    // Copies the path of the held image (zero-ended, at most capacity units
    // with the zero); "" and S_FALSE when empty; E_INVALIDARG when too small,
    // with *needed (when given) the units required.
    virtual HRESULT GetImagePath(LPWSTR buffer, DWORD capacity, DWORD* needed) = 0;
    // Why the last InsertImage on this object refused its file, in words
    // (for example the data file that a CUE sheet names and that is
    // missing; InsertImage then answers that file's error, such as
    // 0x80070002); cut to capacity units with the zero; S_FALSE and ""
    // when nothing was refused.
    virtual HRESULT GetRefusalReason(LPWSTR buffer, DWORD capacity) = 0;

protected:
    ~ITrellisImageDrive() = default;
};

// A physical drive's own interface, queried from its device
// (IID_ITrellisDevicePath); image drives answer E_NOINTERFACE. The program
// finds where the system mounted the drive's disc by its device file.
struct ITrellisDevicePath : IUnknown {
    // The device file ("/dev/sr0"), zero-ended, at most capacity units with
    // the zero; E_INVALIDARG when it does not fit.
    virtual HRESULT GetDevicePath(LPWSTR buffer, DWORD capacity) = 0;

protected:
    ~ITrellisDevicePath() = default;
};

// The engine (IID_ITrellisEngine, also answered for IID_ITrellisEngineFactory).
struct ITrellisEngine : IUnknown {
    // The settings location: root (HKEY_LOCAL_MACHINE) and key path with its
    // length in characters. Image drive settings live in its "Trellis"
    // subkey: "ImageDriveCount" (REG_DWORD, default 1, at most 8),
    // "ImageDriveLetters" (REG_SZ, optional: one letter per image drive,
    // e.g. "XY"; default the letters after the physical drives). The image
    // each drive holds is the user's: "Image" + letter (REG_SZ, e.g.
    // "ImageE") under the same key path of HKEY_CURRENT_USER.
    virtual HRESULT SetRegistryLocation(const HKEY* root, LPCWSTR keyPath, DWORD length) = 0;
    // Lists the drives again (physical drives and the image drives of the settings).
    virtual HRESULT RefreshDrives() = 0;
    virtual HRESULT GetDriveCount(LONG* count) = 0;
    // A new reference to drive index 0..count-1; the caller releases it.
    virtual HRESULT GetDrive(LONG index, ITrellisDevice** device) = 0;
    // CLSID_TrellisDiscInfo answers ITrellisDiscInfo and
    // ITrellisDiscProperties (whose calls answer once the disc is opened); the reader classes answer ITrellisReader. The
    // object comes back with one reference as its primary interface
    // (ITrellisDiscInfo or ITrellisReader) typed IUnknown*;
    // CLASS_E_CLASSNOTAVAILABLE for another class.
    virtual HRESULT CreateObject(REFCLSID classId, IUnknown** object) = 0;

protected:
    ~ITrellisEngine() = default;
};

// The disc-information object (IID_ITrellisDiscInfo); its properties are
// reached through IID_ITrellisDiscProperties once opened.
struct ITrellisDiscInfo : IUnknown {
    virtual HRESULT Attach(ITrellisDevice* device) = 0;
    // Reads the disc in the attached drive; TRELLIS_E_NO_DISC when empty.
    virtual HRESULT Open() = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT Detach() = 0;

protected:
    ~ITrellisDiscInfo() = default;
};

// The properties of the opened disc. Sectors are 2048-byte blocks for data,
// 2352-byte frames for audio; track numbers start at 1.
struct ITrellisDiscProperties : IUnknown {
    // mediaType: a TRELLIS_MEDIA_* flag; status: TRELLIS_STATUS_*;
    // capacity: sectors of the disc; used: sectors in use (the lead-out start).
    virtual HRESULT GetMediaInfo(DWORD* mediaType, DWORD* status, DWORD* capacitySectors, DWORD* usedSectors) = 0;
    // The format (TRELLIS_TRACK_*) of one track.
    virtual HRESULT GetTrackFormat(DWORD* format, LONG track) = 0;
    virtual HRESULT GetSessionInfo(LONG* sessionCount, LONG* trackCount) = 0;
    // The track's start: *start its logical block address, *offset the 150
    // sectors of the lead-in gap, so that start + offset is its absolute
    // sector. reserved must be 0.
    virtual HRESULT GetTrackStart(LONG track, DWORD* start, DWORD* offset, DWORD reserved) = 0;
    // The recording time of the file system's volume; typeAndZone 0 when
    // the disc holds none. E_FAIL on a disc without file system.
    virtual HRESULT GetVolumeTime(TrellisVolumeTime* time) = 0;
    // The size of the file system's partition (volume space) in 2048-byte blocks.
    virtual HRESULT GetPartitionSize(DWORD* blocks) = 0;
    // A TRELLIS_FS_* code.
    virtual HRESULT GetFileSystemType(DWORD* type) = 0;
    // The volume label, zero-ended, at most capacity units with the zero
    // (a longer label is cut); "" when the disc has no file system.
    virtual HRESULT GetVolumeLabel(LPWSTR buffer, DWORD capacity) = 0;

protected:
    ~ITrellisDiscProperties() = default;
};

// A file-system reader (both reader classes read every file system the
// engine knows; the class only tells which media it is chosen for). Open
// gives TRELLIS_E_NO_DISC for an empty drive and TRELLIS_E_BAD_FORMAT when
// the disc holds data but no file system that can be read; an audio disc
// opens and parses to an empty tree.
struct ITrellisReader : IUnknown {
    virtual HRESULT Attach(ITrellisDevice* device) = 0;
    virtual HRESULT Open() = 0;
    // Starts the parse of the whole tree in the background. options:
    // TRELLIS_PARSE_NAMES_SIZES_TIMES; the two reserved values must be 0.
    virtual HRESULT StartParse(DWORD options, DWORD reserved1, DWORD reserved2) = 0;
    // Waits up to milliseconds for the parse. TRELLIS_S_PARSE_RUNNING while
    // it runs (*done 0), otherwise the parse's result (*done 1). fraction:
    // the share parsed so far, 0.0..1.0. Either output may be null.
    virtual HRESULT WaitParse(DWORD milliseconds, LONG* done, double* fraction) = 0;
    // Stops the parse promptly; it then ends with E_ABORT.
    virtual HRESULT Abort() = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT Detach() = 0;
    // Counts of the parsed tree.
    virtual HRESULT GetTreeCounts(TrellisTreeCounts* counts) = 0;
    // 2048-byte blocks used by the file system of the given session (0: the
    // one that was read).
    virtual HRESULT GetUsedBlocks(DWORD session, UINT64* blocks) = 0;
    // Enumerates a folder by its path: backslash-separated names from the
    // root ("" or "\" for the root). TRELLIS_E_PATH_NOT_FOUND for an unknown
    // path, TRELLIS_E_NO_MORE_ENTRIES past the last entry (also for an empty folder).
    virtual HRESULT FindFirst(LPCWSTR path, TrellisFindEntry* entry) = 0;
    virtual HRESULT FindNext(TrellisFindEntry* entry) = 0;
    virtual HRESULT FindClose() = 0;

protected:
    ~ITrellisReader() = default;
};

// A reader's account of what its parse could not read
// (IID_ITrellisReadReport, queried from the reader). An image file shorter
// than the volume it describes is recognised when the reader opens; the
// counts are known once the parse has ended.
struct ITrellisReadReport : IUnknown {
    // E_UNEXPECTED before a successful parse; all zero for a complete read.
    virtual HRESULT GetReadReport(TrellisReadReport* report) = 0;

protected:
    ~ITrellisReadReport() = default;
};

// The content of a file of the parsed disc (IID_ITrellisFileData, queried
// from a reader once its parse has succeeded): a program reads a catalogued
// file out of a disc image with it. Paths are backslash-separated from the
// root ("\\DIR\\name"), matched exactly first, then ignoring case.
struct ITrellisFileData : IUnknown {
    // TRELLIS_E_PATH_NOT_FOUND when no file has that path; E_UNEXPECTED
    // before a successful parse.
    virtual HRESULT GetFileSize(LPCWSTR path, UINT64* size) = 0;
    // Reads up to `size` bytes from `offset`; *read is what was read (0 at
    // or past the end). A block that cannot be read fails the call with
    // HRESULT_FROM_WIN32(ERROR_READ_FAULT).
    virtual HRESULT ReadFile(LPCWSTR path, UINT64 offset, BYTE* buffer, DWORD size, DWORD* read) = 0;

protected:
    ~ITrellisFileData() = default;
};
