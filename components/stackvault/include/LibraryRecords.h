// Fixed-size records the library engine fills. Little-endian, packed exactly
// as laid out, texts UTF-16 and zero-terminated (260 code units each, longer
// texts are cut). Lists are read as: ask the count, allocate that many
// zero-filled records, let the engine fill them.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int kLibraryTextLength = 260;

// The codes of a disc record, which the engine derives from what AddDisc
// was told (audio flag, disc class, counts, capacity, identity).
// Media class code (what kind of disc):
//   1 CD with data            2 audio CD               3 DVD with data
//   4 CD whose data sits in XA tracks (identity kinds 2 and 3: Video CD family)
//   5 disc of unknown class, named by its format code alone
//   6 multisession CD or DVD  7 DVD without folders or files
//   8 CD without folders or files   9 BD with data   12 BD without folders or files
// Format code (physical format, from disc class and capacity):
//   0 unknown (no capacity)   1 standard (12 cm CD, single-layer DVD or BD)
//   2 dual layer              3 BDXL, three layers
//   5 8 cm disc               6 BDXL, four layers
// Total size: the used bytes.

#pragma pack(push, 1)

// One catalogued disc (GetDiscs, SearchDiscs).
struct DiscRecord {
    int32_t discId;
    int32_t labelId;              // label image set; 1 to 5 are the default sets
    int32_t folderCount;          // as the disc was read (AddDisc)
    int32_t fileCount;
    char16_t name[kLibraryTextLength];
    char16_t tagNames[kLibraryTextLength]; // names joined with ", "
    char16_t tagIds[kLibraryTextLength];   // ids joined with "::"
    int32_t mediaClass;           // media class code, see below
    int32_t formatCode;           // format code, see below
    char16_t dateText[kLibraryTextLength];
    int64_t totalSize;            // bytes
};

// One folder or file found by SearchFolders or SearchFiles.
struct ItemRecord {
    int32_t id;                   // folder id or file id
    char16_t name[kLibraryTextLength];
    int32_t parentId;             // id of the containing folder (0: the disc's root)
    int64_t size;
    char16_t type[kLibraryTextLength]; // "Folder", or the file's type name ("File" when unknown)
    int64_t time;                 // file time: 100 ns units since 1601-01-01
    int32_t reserved1;
    int32_t discId;
    int32_t labelId;              // label id of that disc
    uint8_t reserved2[8];
    char16_t discName[kLibraryTextLength];
    int32_t pathId;               // for GetPathText: a file's folder path; a folder's own
                                  // path (of what it holds); 0: the root
};

// One entry of a folder (GetFolderItems).
struct FolderItemRecord {
    int32_t id;                   // folder id or file id
    char16_t name[kLibraryTextLength];
    int32_t parentId;             // the folder that was listed
    int64_t size;
    char16_t type[kLibraryTextLength]; // "Folder", or the file's type name
    int64_t time;                 // file time
};

// One tag (GetTags).
struct TagRecord {
    int32_t id;
    char16_t name[kLibraryTextLength];
};

#pragma pack(pop)

static_assert(sizeof(DiscRecord) == 2112);
static_assert(offsetof(DiscRecord, labelId) == 4);
static_assert(offsetof(DiscRecord, folderCount) == 8);
static_assert(offsetof(DiscRecord, name) == 16);
static_assert(offsetof(DiscRecord, tagNames) == 536);
static_assert(offsetof(DiscRecord, tagIds) == 1056);
static_assert(offsetof(DiscRecord, mediaClass) == 1576);
static_assert(offsetof(DiscRecord, formatCode) == 1580);
static_assert(offsetof(DiscRecord, dateText) == 1584);
static_assert(offsetof(DiscRecord, totalSize) == 2104);

static_assert(sizeof(ItemRecord) == 1608);
static_assert(offsetof(ItemRecord, name) == 4);
static_assert(offsetof(ItemRecord, parentId) == 524);
static_assert(offsetof(ItemRecord, size) == 528);
static_assert(offsetof(ItemRecord, type) == 536);
static_assert(offsetof(ItemRecord, time) == 1056);
static_assert(offsetof(ItemRecord, discId) == 1068);
static_assert(offsetof(ItemRecord, labelId) == 1072);
static_assert(offsetof(ItemRecord, discName) == 1084);
static_assert(offsetof(ItemRecord, pathId) == 1604);

static_assert(sizeof(FolderItemRecord) == 1064);
static_assert(offsetof(FolderItemRecord, name) == 4);
static_assert(offsetof(FolderItemRecord, size) == 528);
static_assert(offsetof(FolderItemRecord, type) == 536);
static_assert(offsetof(FolderItemRecord, time) == 1056);

static_assert(sizeof(TagRecord) == 524);
static_assert(offsetof(TagRecord, name) == 4);
