// The library engine's interface: discs, folders, files, paths, tags and
// label image sets of the catalogue, in the component "Stackvault.dll"
// (libStackvault.so). Created through the component's DllGetClassObject for
// CLSID_LibraryEngine and the factory's CreateInstance for IID_ILibraryEngine.
//
// Conventions:
// - Every operation returns an HRESULT; negative means failure.
// - Texts are UTF-16, zero-terminated. Out-buffers marked [260] hold 260
//   char16_t; longer texts are cut to 259 units and the terminator.
// - Disc identities are 8-bit texts (32 characters and a terminator).
// - Lists are read as: ask the count, allocate that many zero-filled records,
//   let the engine fill them (it fills at most the given number).
// - Pictures handed out are QImage objects allocated with new; the caller
//   owns them and deletes them with delete.
// - One instance may be used from several threads; calls are serialised.
// - An operation that meets a damaged library file fails with
//   LIBRARY_E_DAMAGED, never with an empty or partial success; the optional
//   interface ILibraryMaintenance (ILibraryMaintenance.h) checks and repairs.
#pragma once
#include "LibraryRecords.h"
#include "com.h"

// The library file is damaged (malformed pages, or no database at all):
// HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT).
inline constexpr HRESULT LIBRARY_E_DAMAGED = HresultFromWin32(1392);

class QImage;

// {BE3CA8CE-70BA-4888-8E43-8512FE15919D}
inline constexpr CLSID CLSID_LibraryEngine = {
    0xBE3CA8CE, 0x70BA, 0x4888, {0x8E, 0x43, 0x85, 0x12, 0xFE, 0x15, 0x91, 0x9D}};
// {7D15EEC9-C6FE-4B76-A50A-BE9748BD59E1}
inline constexpr IID IID_ILibraryEngine = {
    0x7D15EEC9, 0xC6FE, 0x4B76, {0xA5, 0x0A, 0xBE, 0x97, 0x48, 0xBD, 0x59, 0xE1}};

// Brackets the writing of one disc's rows; opaque, from OpenImportHandle.
using LibraryImportHandle = void*;

// Initialize's success when the library could be opened but not written
// (a full disk, a read-only file system): browsing and searching work,
// every change fails with the reason (see ILibraryEngineStatus.h). What
// the library still has to clean up is done once it can be written.
inline constexpr HRESULT LIBRARY_S_READ_ONLY = 0x00040A01;

struct ILibraryEngine : IUnknown {
    // Opens the library database, creating it when createIfMissing is 1
    // (the program calls Initialize(0, 1, 0)); reserved values must be 0.
    // LIBRARY_S_READ_ONLY when it can be read but not written.
    virtual HRESULT Initialize(LONG reserved1, LONG createIfMissing, LONG reserved2) = 0;
    // Closes the database; an import still open is undone.
    virtual HRESULT Uninitialize() = 0;

    // Visible tags; the four category tags "Video", "Photo", "Music",
    // "Document" come first, then the others in the order they were added.
    virtual HRESULT GetTagCount(LONG* count) = 0;
    virtual HRESULT GetTags(TagRecord* records, LONG count) = 0;
    // "::"-joined ids to ", "-joined names [260]; unknown or hidden ids are left out.
    virtual HRESULT GetTagNames(const char16_t* tagIds, char16_t* tagNames) = 0;
    // Adds a visible tag; id may be null. A name that exists (case-insensitive)
    // is shown again and its id returned with S_FALSE.
    virtual HRESULT AddTag(const char16_t* name, LONG* id) = 0;
    // Shows (1) or hides (0) the tag with that name (case-insensitive).
    virtual HRESULT SetTagVisible(const char16_t* name, LONG visible) = 0;
    // id > 0 and visible 1/0 when a tag of that name exists (case-insensitive,
    // hidden tags included); id 0 when none.
    virtual HRESULT FindTag(LONG* id, LONG* visible, const char16_t* name) = 0;

    // Creates a disc record. The three label paths (32, 128, 360 pixels) are
    // all given or all empty/null; when empty the disc gets the default label
    // set of its category (1 video, 2 photo, 3 music, 4 data, 5 system).
    // audioFlag is -1 for an audio disc, discClass 1 CD, 2 DVD, 3 BD. The
    // engine derives the media class code, format code and total size
    // (LibraryRecords.h). The disc is listed at once; while an import
    // writes its rows it is hidden with them until the import closes. A
    // disc whose process dies before its import closed is removed at the
    // next Initialize.
    virtual HRESULT AddDisc(const char* identity, const char16_t* label32Path, const char16_t* label128Path,
                            const char16_t* label360Path, const char16_t* name, const char16_t* tagIds,
                            LONG audioFlag, LONG discClass, LONG folderCount, LONG fileCount, INT64 usedBytes,
                            INT64 capacityBytes, const char16_t* dateText) = 0;
    virtual HRESULT GetDiscCount(LONG* count) = 0;
    virtual HRESULT GetDiscs(DiscRecord* records, LONG count) = 0;
    // Removes the disc with its folders, files and the paths only it uses,
    // from within an open import.
    virtual HRESULT DeleteDiscWithHandle(LibraryImportHandle handle, LONG discId, LONG reserved) = 0;
    virtual HRESULT DeleteDisc(LONG discId, LONG reserved) = 0;
    virtual HRESULT SetDiscTags(LONG discId, const char16_t* tagIds) = 0;
    // The label set of a disc, which its folders and files carry too: the
    // label id read with any item is its disc's. SetDiscLabelId,
    // SetFileLabelId and SetFolderLabelId each set it, in one record
    // whatever the disc holds.
    virtual HRESULT SetDiscLabelId(LONG discId, LONG labelId) = 0;
    // The disc last created by AddDisc on this instance (else the newest disc).
    virtual HRESULT GetLastAddedDisc(LONG* discId, LONG* labelId) = 0;
    // identity: 260 bytes.
    virtual HRESULT GetDiscIdentity(LONG discId, char* identity) = 0;
    // discId 0 when no disc has that identity.
    virtual HRESULT FindDiscByIdentity(const char* identity, LONG* discId) = 0;

    // A batch of file rows (hasIds 1) or track rows without the id column
    // (hasIds 0, ids are assigned). A malformed batch is refused with
    // E_INVALIDARG and nothing of it is stored.
    virtual HRESULT InsertFileRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) = 0;
    virtual HRESULT SetFileLabelId(LONG discId, LONG labelId) = 0;
    // Largest id in use, 0 when none.
    //
    // The scanner numbers the rows it writes itself, from these three
    // answers. So that two imports into one library never hand out the same
    // ids, imports are serialised by the engine: while a handle is open no
    // other import (in any process) writes to the library, and every
    // GetMaxFileId, GetMaxFolderId and GetMaxPathId under that handle stays
    // final until CloseImportHandle. Any engine implementing this interface
    // must keep this rule.
    virtual HRESULT GetMaxFileId(LibraryImportHandle handle, LONG* id) = 0;
    virtual HRESULT InsertFolderRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) = 0;
    virtual HRESULT GetMaxFolderId(LibraryImportHandle handle, LONG* id) = 0;
    // Entries of a folder (0: the disc's root), folders before files.
    virtual HRESULT GetFolderItemCount(LONG discId, LONG folderId, LONG* count) = 0;
    virtual HRESULT GetFolderItems(LONG discId, LONG folderId, FolderItemRecord* records, LONG count) = 0;
    virtual HRESULT SetFolderLabelId(LONG discId, LONG labelId) = 0;

    virtual HRESULT GetLabelCount(LONG* count) = 0;
    // Stores a label image set from three picture files (copied into the
    // library; the files may be deleted afterwards). The set gets the next id.
    virtual HRESULT AddLabel(const char16_t* path32, const char16_t* path128, const char16_t* path360) = 0;
    // The 32 pixel picture of a set; *bitmap is the caller's to delete.
    virtual HRESULT GetLabelThumbnail(LONG labelId, QImage** bitmap) = 0;
    // The 360 pixel picture of a set; *bitmap is the caller's to delete.
    virtual HRESULT GetLabelImage(LONG labelId, QImage** bitmap) = 0;
    virtual HRESULT GetLastLabelId(LONG* id) = 0;
    virtual HRESULT DeleteLabel(LONG labelId, LONG reserved) = 0;

    virtual HRESULT InsertPathRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) = 0;
    virtual HRESULT AddPath(LibraryImportHandle handle, LONG pathId, const char16_t* pathText) = 0;
    // pathId < 1 when the path is unknown.
    virtual HRESULT FindPathId(LibraryImportHandle handle, const char16_t* pathText, LONG* pathId) = 0;
    // pathText [260]; path 0 (a disc's root) is the empty text.
    virtual HRESULT GetPathText(LONG pathId, char16_t* pathText) = 0;
    virtual HRESULT GetMaxPathId(LibraryImportHandle handle, LONG* id) = 0;

    // Case-insensitive substring search on names (Unicode case folding).
    // Discs and rows of imports still open are left out.
    virtual HRESULT SearchDiscCount(const char16_t* text, LONG* count) = 0;
    virtual HRESULT SearchDiscs(const char16_t* text, DiscRecord* records, LONG count) = 0;
    virtual HRESULT SearchFileCount(const char16_t* text, LONG* count) = 0;
    virtual HRESULT SearchFiles(const char16_t* text, ItemRecord* records, LONG count) = 0;
    virtual HRESULT SearchFolderCount(const char16_t* text, LONG* count) = 0;
    virtual HRESULT SearchFolders(const char16_t* text, ItemRecord* records, LONG count) = 0;

    // Rows written under a handle become visible together when it is
    // closed; a process that dies before leaves nothing of those discs.
    // OpenImportHandle claims the library's one import slot: while another
    // living process's import holds it, it waits (up to the busy timeout,
    // then HRESULT_FROM_WIN32(ERROR_BUSY)); a slot whose process died is
    // taken over at once after that import is undone. Closing makes the
    // import final, also when it wrote nothing (an empty disc), and frees
    // the slot. Reading and deleting other discs never wait for an import.
    virtual HRESULT OpenImportHandle(LibraryImportHandle* handle) = 0;
    virtual HRESULT CloseImportHandle(LibraryImportHandle handle) = 0;

protected:
    ~ILibraryEngine() = default;
};
