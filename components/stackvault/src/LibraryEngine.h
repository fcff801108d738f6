// The library engine object: one SQLite connection per instance, every call
// serialised by the instance's lock (the scan worker and the user-interface
// thread share an instance). Batches are parsed before the lock is taken.
// The maintenance interface (check, repair, backup) works on the file.
// OpenImportHandle waits for the import slot without the lock, so the
// instance answers other calls (and the wait's status) meanwhile. A library
// that cannot be written opens for reading; each change first tries to do
// the pending clean-up and fails with the reason while it cannot.
#pragma once
#include "DiscGapStore.h"
#include "DiscReplacements.h"
#include "DiscStore.h"
#include "EntryWriter.h"
#include "FolderListing.h"
#include "UpgradeBuilder.h"
#include "ILibraryChanges.h"
#include "ILibraryDiscCounts.h"
#include "ILibraryDiscReads.h"
#include "ILibraryMaintenance.h"
#include "ILibraryListedEntries.h"
#include "ILibraryListedTypes.h"
#include "ILibraryListings.h"
#include "ILibraryPathTexts.h"
#include "LibraryEngineCalls.h"
#include "ListingWorker.h"
#include "ImportTracker.h"
#include "LabelStore.h"
#include "NameSearch.h"
#include "OpenListings.h"
#include "PathStore.h"
#include "SqliteConnection.h"
#include "TagStore.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

struct ParsedBatch;

class CLibraryEngine final : public LibraryEngineCalls<CLibraryEngine>,
                             public ILibraryMaintenance,
                             public ILibraryDiscReads,
                             public ILibraryListings,
                             public ILibraryListedEntries,
                             public ILibraryListedTypes,
                             public ILibraryChanges,
                             public ILibraryDiscCounts,
                             public ILibraryPathTexts {
public:
    CLibraryEngine();
    ~CLibraryEngine();

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Initialize(LONG reserved1, LONG createIfMissing, LONG reserved2) override;
    HRESULT Uninitialize() override;
    HRESULT AddDisc(const char* identity, const char16_t* label32Path, const char16_t* label128Path,
                    const char16_t* label360Path, const char16_t* name, const char16_t* tagIds, LONG audioFlag,
                    LONG discClass, LONG folderCount, LONG fileCount, INT64 usedBytes, INT64 capacityBytes,
                    const char16_t* dateText) override;
    HRESULT DeleteDiscWithHandle(LibraryImportHandle handle, LONG discId, LONG reserved) override;
    HRESULT DeleteDisc(LONG discId, LONG reserved) override;
    HRESULT SetDiscTags(LONG discId, const char16_t* tagIds) override;
    HRESULT GetLastAddedDisc(LONG* discId, LONG* labelId) override;
    HRESULT InsertFileRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) override;
    HRESULT SetFileLabelId(LONG discId, LONG labelId) override;
    HRESULT GetMaxFileId(LibraryImportHandle handle, LONG* id) override;
    HRESULT InsertFolderRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) override;
    HRESULT GetMaxFolderId(LibraryImportHandle handle, LONG* id) override;
    HRESULT GetFolderItemCount(LONG discId, LONG folderId, LONG* count) override;
    HRESULT GetFolderItems(LONG discId, LONG folderId, FolderItemRecord* records, LONG count) override;
    HRESULT SetFolderLabelId(LONG discId, LONG labelId) override;
    HRESULT FindPathId(LibraryImportHandle handle, const char16_t* pathText, LONG* pathId) override;
    HRESULT GetPathText(LONG pathId, char16_t* pathText) override;
    HRESULT GetMaxPathId(LibraryImportHandle handle, LONG* id) override;
    HRESULT SearchDiscCount(const char16_t* text, LONG* count) override;
    HRESULT SearchDiscs(const char16_t* text, DiscRecord* records, LONG count) override;
    HRESULT SearchFileCount(const char16_t* text, LONG* count) override;
    HRESULT SearchFiles(const char16_t* text, ItemRecord* records, LONG count) override;
    HRESULT SearchFolderCount(const char16_t* text, LONG* count) override;
    HRESULT SearchFolders(const char16_t* text, ItemRecord* records, LONG count) override;
    HRESULT OpenImportHandle(LibraryImportHandle* handle) override;
    HRESULT CloseImportHandle(LibraryImportHandle handle) override;

    HRESULT GetLibraryPath(char16_t* path) override;
    HRESULT CheckLibrary(LONG full, char16_t* finding) override;
    HRESULT RepairLibrary(LibraryRepairReport* report) override;
    HRESULT BackUpLibrary(LONG dailyOnly) override;

    // ILibraryDiscReads
    HRESULT SetDiscGaps(LONG discId, const DiscGapRecord* gaps) override;
    HRESULT GetDiscGaps(LONG discId, DiscGapRecord* gaps) override;
    HRESULT ReplaceDiscWithHandle(LibraryImportHandle handle, LONG newDiscId, LONG oldDiscId) override;

    // ILibraryDiscCounts
    HRESULT GetDiscEntryCounts(LONG discId, LONG* folders, LONG* files) override;
    // ILibraryPathTexts
    HRESULT GetPathTexts(LONG firstId, LONG count, LibraryPathText* paths, char* texts, LONG textsCapacity,
                         LONG* filled) override;

    // ILibraryListings
    HRESULT OpenSearchListing(const char16_t* text, LibraryListing* listing) override;
    HRESULT OpenFolderListing(LONG discId, LONG folderId, LibraryListing* listing) override;
    HRESULT WaitListing(LibraryListing listing, LONG rows, LONG timeoutMs, LibraryListingCounts* counts) override;
    HRESULT GetListingItems(LibraryListing listing, LONG kind, LONG first, ItemRecord* records, LONG count,
                            LONG* filled) override;
    HRESULT CloseListing(LibraryListing listing) override;
    // ILibraryListedEntries
    HRESULT GetListedEntries(LibraryListing listing, LONG kind, LONG first, ListedEntry* entries, LONG count,
                             char* names, LONG namesCapacity, LONG* filled) override;
    HRESULT OpenSearchEntries(const char16_t* text, LONG kinds, LibraryListing* listing) override;
    // ILibraryListedTypes
    HRESULT GetTypedEntries(LibraryListing listing, LONG kind, LONG first, LONG count, ListedEntry* entries,
                            char* names, LONG namesCapacity, uint32_t* typeEnds, char* types, LONG typesCapacity,
                            LONG* filled) override;

    // ILibraryChanges
    HRESULT GetChangeStamp(INT64* stamp) override;

private:
    friend class LibraryEngineCalls<CLibraryEngine>;
    static constexpr char kComponent[] = "Stackvault"; // the engine's name in the log
    using Lock = std::lock_guard<std::mutex>;
    // Runs `fill` on the listing's worker and the ids of a block of its folders or files,
    // under the engine's lock and one read transaction, as every read of
    // listed rows needs.
    template <typename Fill>
    HRESULT WithListedIds(LibraryListing listing, LONG kind, LONG first, LONG count, Fill fill);

    // E_UNEXPECTED until Initialize has opened the database.
    HRESULT Ready() const;
    // Runs work inside one write transaction; commits when it succeeds.
    // While the library cannot be written, first retries the clean-up it
    // still owes.
    template <class Work>
    HRESULT Write(Work work);
    template <class Work>
    HRESULT WriteNow(Work work);
    HRESULT CatchUp();
    // One attempt to take the import slot: S_OK (claimed), S_FALSE (held).
    HRESULT TryClaimSlot(LibraryImportHandle* handle, QByteArray* holder);
    // Waits one poll interval; false when the wait was cancelled.
    bool PauseForSlot(const QByteArray& holder);
    // The open import a handle names: E_POINTER for null, E_INVALIDARG for
    // a handle this instance did not give out.
    HRESULT SessionOf(LibraryImportHandle handle, ImportSession** session);
    HRESULT FindPathInImport(ImportSession& session, const std::u16string& text, LONG* pathId);
    HRESULT InsertEntries(EntryKind kind, LibraryImportHandle handle, const char16_t* batch, LONG hasIds);
    HRESULT IndexNames(EntryKind kind, int64_t importId, const IdRange& written);
    HRESULT StoreGrams(ImportSession& session);
    HRESULT StorePaths(LibraryImportHandle handle, const ParsedBatch& batch, bool hasIds);
    HRESULT DeleteDiscLocked(LONG discId);
    HRESULT SearchEntries(EntryKind kind, const char16_t* text, ItemRecord* records, LONG count);
    HRESULT SearchEntryCount(EntryKind kind, const char16_t* text, LONG* count);
    HRESULT OpenSchema();
    HRESULT StartListing(std::array<ListingStep, ListingWorker::kKinds> steps, LibraryListing* listing,
                         std::array<int, ListingWorker::kKinds> totals = {-1, -1});
    std::array<int, ListingWorker::kKinds> CountedAhead(const QByteArray& folded);
    // A search listing of `kinds` (LibraryListedKinds); `listed`: its worker
    // keeps the compact entries.
    HRESULT OpenSearch(const char16_t* text, LONG kinds, bool listed, LibraryListing* listing);
    // The step that finds the files' compact entries (their places only: kListedPlacesOnly).
    ListingStep ListedFilesStep(const QByteArray& folded, bool someHidden, bool placesOnly,
                                const std::function<void(SqliteStatement&)>& bind);
    // Ids the slices of a scan of every file row cover: the first a
    // fraction of a millisecond of scanning, so that the first hits come
    // soon, the longest a few milliseconds.
    static constexpr int64_t kFirstScanSliceIds = 1024;
    static constexpr int64_t kScanSliceIds = 16384;
    // GetListedEntries, and with `types` GetTypedEntries.
    HRESULT ReadListedEntries(LibraryListing listing, LONG kind, LONG first, LONG count, ListedEntry* entries,
                              char* names, LONG namesCapacity, const NameSearch::ListedTypes* types, LONG* filled);
    // Entries first.. of the worker's kept ones (ListedEntryQueue::Take), none
    // when the library changed since the worker's snapshot.
    size_t TakeListed(const ListingWorker& worker, LONG kind, LONG first, size_t count, ListedEntry* entries,
                      char* names, size_t namesCapacity);
    void UndoOpenImports();
    void UndoImport(LibraryImportHandle handle);

    ComRefCount m_refs;
    std::mutex m_mutex;
    SqliteConnection m_db;
    DiscStore m_discs{m_db};
    TagStore m_tags{m_db};
    LabelStore m_labels{m_db};
    EntryWriter m_entries{m_db};
    PathStore m_paths{m_db};
    FolderListing m_listing{m_db};
    NameSearch m_search{m_db};
    ImportTracker m_imports{m_db, m_discs};
    DiscGapStore m_gaps{m_db};
    DiscReplacements m_replacements{m_db, m_discs};
    QByteArray m_owner;
    LONG m_lastAddedDisc = 0;
    std::vector<LONG> m_addedDiscs;
    OpenListings<ListingWorker> m_listings;
    std::unique_ptr<UpgradeBuilder> m_upgradeBuilder; // completes a library of an earlier schema
    HRESULT m_writeFailure = S_OK; // why the library is read-only, S_OK when it is not

    // The wait for the import slot, shared with GetImportWait/SetImportCancel.
    std::mutex m_waitMutex;
    std::condition_variable m_waitChanged;
    bool m_waiting = false;
    bool m_waitCancelled = false;
    QByteArray m_slotHolder;
};
