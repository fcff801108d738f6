// The library engine on a PostgreSQL server: one connection per instance,
// every call serialised by the instance's lock, and a connection of its own
// for each open import (PgImportTracker). The same interface and rules as
// the SQLite engine: the import slot, all-or-nothing imports, the shared
// strict batch parser, the same search folding. A role that may only read
// opens the library for reading (LIBRARY_S_READ_ONLY); every change then
// fails with E_ACCESSDENIED and changes nothing.
#pragma once
#include "ILibraryChanges.h"
#include "ILibraryDiscCounts.h"
#include "ILibraryDiscReads.h"
#include "ILibraryListings.h"
#include "LibraryEngineCalls.h"
#include "OpenListings.h"
#include "PgChangeWatch.h"
#include "PgConnection.h"
#include "PgDiscStore.h"
#include "PgEntryWriter.h"
#include "PgImportTracker.h"
#include "PgLabelStore.h"
#include "PgListingWorker.h"
#include "PgNameSearch.h"
#include "PgSpareConnection.h"
#include "PgTagStore.h"

#include <QHash>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct ParsedBatch;

class CPgLibraryEngine final : public LibraryEngineCalls<CPgLibraryEngine>,
                               public ILibraryDiscReads,
                               public ILibraryListings,
                               public ILibraryChanges,
                               public ILibraryDiscCounts {
public:
    CPgLibraryEngine();
    ~CPgLibraryEngine();

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

    // ILibraryDiscReads
    HRESULT SetDiscGaps(LONG discId, const DiscGapRecord* gaps) override;
    HRESULT GetDiscGaps(LONG discId, DiscGapRecord* gaps) override;
    HRESULT ReplaceDiscWithHandle(LibraryImportHandle handle, LONG newDiscId, LONG oldDiscId) override;

    // ILibraryDiscCounts
    HRESULT GetDiscEntryCounts(LONG discId, LONG* folders, LONG* files) override;

    // ILibraryListings
    HRESULT OpenSearchListing(const char16_t* text, LibraryListing* listing) override;
    HRESULT OpenFolderListing(LONG discId, LONG folderId, LibraryListing* listing) override;
    HRESULT WaitListing(LibraryListing listing, LONG rows, LONG timeoutMs, LibraryListingCounts* counts) override;
    HRESULT GetListingItems(LibraryListing listing, LONG kind, LONG first, ItemRecord* records, LONG count,
                            LONG* filled) override;
    HRESULT CloseListing(LibraryListing listing) override;

    // ILibraryChanges
    HRESULT GetChangeStamp(INT64* stamp) override;

private:
    friend class LibraryEngineCalls<CPgLibraryEngine>;
    static constexpr char kComponent[] = "StackvaultPg"; // the engine's name in the log
    using Lock = std::lock_guard<std::mutex>;

    // E_UNEXPECTED until Initialize; the connection is opened again when the
    // server dropped it (a restart), else LIBRARY_E_SERVER_UNREACHABLE.
    HRESULT Ready();
    // Runs work in one transaction on the instance's connection; refused
    // at once while the role may only read.
    template <class Work>
    HRESULT Write(Work work);
    HRESULT OpenLibrary(bool create);
    // Drops what was read ahead for the calls that usually follow (a
    // change of this instance's makes it stale).
    void Forget();
    HRESULT TryClaimSlot(LibraryImportHandle* handle, QByteArray* holder);
    bool PauseForSlot(const QByteArray& holder);
    HRESULT SessionOf(LibraryImportHandle handle, PgImportSession** session);
    // The import's connection when `handle` is one of this instance's, else the instance's.
    PgConnection& ReaderFor(LibraryImportHandle handle);
    HRESULT InsertEntries(PgEntryKind kind, LibraryImportHandle handle, const char16_t* batch, LONG hasIds);
    HRESULT StorePaths(LibraryImportHandle handle, const ParsedBatch& batch, bool hasIds);
    HRESULT FindPathInImport(PgImportSession& session, const QString& text, LONG* pathId);
    HRESULT WriteInImport(PgImportSession& session, HRESULT work);
    HRESULT SearchEntries(PgEntryKind kind, const char16_t* text, ItemRecord* records, LONG count);
    HRESULT SearchEntryCount(PgEntryKind kind, const char16_t* text, LONG* count);
    HRESULT StartListing(std::array<PgListingStep, PgListingWorker::kKinds> steps, LibraryListing* listing,
                         std::array<int, PgListingWorker::kKinds> totals = {-1, -1});
    PgNameSearch::GramCounts TakeKeptGramCounts(const char16_t* text);
    void UndoImport(LibraryImportHandle handle);

    ComRefCount m_refs;
    std::mutex m_mutex;
    PgConnection m_db;
    PgDiscStore m_discs{m_db};
    PgTagStore m_tags{m_db};
    PgLabelStore m_labels{m_db};
    PgImportTracker m_imports{m_db};
    PgChangeWatch m_changes;
    int64_t m_ownerId = 0;  // this instance's owner id (0 while it may only read)
    QByteArray m_token;     // this process, for those who wait for the slot
    LONG m_lastAddedDisc = 0;
    std::vector<LONG> m_addedDiscs;
    OpenListings<PgListingWorker> m_listings;
    PgSpareConnection m_spare; // for the next listing's worker
    // What the last SearchDiscCount read in its round trip, each part taken
    // once: the discs by the SearchDiscs that follows, the gram counts by
    // the search's listing.
    struct FoundDiscs {
        QString text;
        std::optional<std::vector<DiscRecord>> records;
        PgNameSearch::GramCounts grams;
    };
    FoundDiscs m_foundDiscs;
    QHash<LONG, QString> m_shownPaths;     // texts of the paths of the entries read last
    int64_t m_seenStamp = 0;               // the change stamp last reported
    HRESULT m_writeFailure = S_OK; // E_ACCESSDENIED while the role may only read
    bool m_connectionLost = false; // initialised, but the server went away: each call connects again

    std::mutex m_waitMutex;
    std::condition_variable m_waitChanged;
    bool m_waiting = false;
    bool m_waitCancelled = false;
    QByteArray m_slotHolder;
};
