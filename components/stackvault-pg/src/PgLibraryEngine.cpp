#include "PgLibraryEngine.h"

#include "BatchParser.h"
#include "DiscEditRules.h"
#include "Diagnostics.h"
#include "LibraryLocation.h"
#include "LibraryModule.h"
#include "LibraryServerErrors.h"
#include "PgDiscReadStore.h"
#include "PgFolderListing.h"
#include "PgNameSearch.h"
#include "PgPathStore.h"
#include "PgSchema.h"
#include "PgTransaction.h"
#include "ProcessOwner.h"
#include "Utf16Text.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

using Utf16Text::ToQString;
using Utf16Text::View;

namespace {
constexpr HRESULT kSlotBusy = HresultFromWin32(170); // ERROR_BUSY
constexpr std::chrono::milliseconds kSlotPoll{100};
constexpr std::chrono::milliseconds kSlotTimeout{60000};


HRESULT CheckText(const char16_t* text) { return Utf16Text::IsWellFormed(View(text)) ? S_OK : E_INVALIDARG; }
} // namespace

CPgLibraryEngine::CPgLibraryEngine() { LibraryModule::ObjectCreated(); }

CPgLibraryEngine::~CPgLibraryEngine()
{
    Uninitialize();
    LibraryModule::ObjectDestroyed();
}

HRESULT CPgLibraryEngine::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ILibraryEngine) {
        *object = static_cast<ILibraryEngine*>(this);
    } else if (iid == IID_ILibraryDiscReads) {
        *object = static_cast<ILibraryDiscReads*>(this);
    } else if (iid == IID_ILibraryDiscCounts) {
        *object = static_cast<ILibraryDiscCounts*>(this);
    } else if (iid == IID_ILibraryDiscTags) {
        *object = static_cast<ILibraryDiscTags*>(this);
    } else if (iid == IID_ILibraryListings) {
        *object = static_cast<ILibraryListings*>(this);
    } else if (iid == IID_ILibraryDiscEdits) {
        *object = static_cast<ILibraryDiscEdits*>(this);
    } else if (iid == IID_ILibraryEngineStatus) {
        *object = static_cast<ILibraryEngineStatus*>(this);
    } else if (iid == IID_ILibraryChanges) {
        *object = static_cast<ILibraryChanges*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CPgLibraryEngine::AddRef() { return m_refs.Increment(); }

ULONG CPgLibraryEngine::Release()
{
    const ULONG count = m_refs.Decrement();
    if (count == 0) delete this;
    return count;
}

HRESULT CPgLibraryEngine::Ready()
{
    if (!m_db.IsOpen() && !m_connectionLost) return E_UNEXPECTED;
    if (m_db.IsOpen() && PQstatus(m_db.Handle()) == CONNECTION_OK) return S_OK;
    // The server restarted or the network dropped: one attempt to go on per
    // call, until the server is back.
    DumpMsg(kComponent, "the connection was lost; connecting again");
    const HRESULT hr = OpenLibrary(false);
    m_connectionLost = FAILED(hr);
    if (SUCCEEDED(hr)) m_changes.Reconnected();
    return FAILED(hr) ? LIBRARY_E_SERVER_UNREACHABLE : hr;
}

template <class Work>
HRESULT CPgLibraryEngine::Write(Work work)
{
    if (FAILED(m_writeFailure)) return m_writeFailure;
    Forget();
    PgTransaction transaction(m_db);
    const HRESULT hr = transaction.Started();
    if (FAILED(hr)) return hr;
    return transaction.Finish(work());
}

void CPgLibraryEngine::Forget()
{
    m_foundDiscs = {};
    m_shownPaths.clear();
    m_labels.Forget();
}

// ---- life ----

HRESULT CPgLibraryEngine::OpenLibrary(bool create)
{
    // The listings' connection is opened meanwhile, in the background (a
    // new one: a kept one may be as dead as the connection being replaced).
    const QString address = LibraryLocation::DatabasePath();
    m_spare.Drop();
    m_spare.Prepare(address, PgNameSearch::WarmUpSql());
    HRESULT hr = m_db.Open(address);
    bool writable = false, workLeft = false;
    if (SUCCEEDED(hr)) hr = PgSchema::Open(m_db, create, &writable);
    m_writeFailure = writable ? S_OK : E_ACCESSDENIED;
    m_ownerId = 0;
    if (SUCCEEDED(hr) && writable) hr = m_imports.TakeOwnerId(&m_ownerId, &workLeft);
    if (SUCCEEDED(hr) && workLeft) hr = m_imports.RecoverAbandoned(m_ownerId);
    if (FAILED(hr)) {
        m_db.Close();
        m_spare.Drop();
    }
    return FAILED(hr) ? hr : writable ? S_OK : LIBRARY_S_READ_ONLY;
}

HRESULT CPgLibraryEngine::Initialize(LONG reserved1, LONG createIfMissing, LONG reserved2)
{
    Lock lock(m_mutex);
    if (reserved1 != 0 || reserved2 != 0) return E_INVALIDARG;
    if (m_db.IsOpen()) return S_FALSE;
    m_token = ProcessOwner::Current();
    m_connectionLost = false;
    const HRESULT hr = OpenLibrary(createIfMissing != 0);
    if (hr == LIBRARY_S_READ_ONLY) DumpMsg(kComponent, "this role may only read the library");
    return hr;
}

HRESULT CPgLibraryEngine::Uninitialize()
{
    Lock lock(m_mutex);
    const bool initialised = m_db.IsOpen() || m_connectionLost;
    m_connectionLost = false;
    if (!initialised) return S_FALSE;
    for (LibraryImportHandle handle : m_imports.Handles()) UndoImport(handle);
    ReleaseAddedDiscs();
    m_listings.Clear();
    m_spare.Drop();
    Forget();
    m_db.Close(); // frees the owner id
    m_lastAddedDisc = 0;
    return S_OK;
}

void CPgLibraryEngine::UndoImport(LibraryImportHandle handle)
{
    if (FAILED(m_imports.Undo(*m_imports.Session(handle))))
        DumpMsg(kComponent, "an unfinished import stays for a later clean-up to remove");
    m_imports.Remove(handle);
}

// ---- discs ----

HRESULT CPgLibraryEngine::AddDisc(const char* identity, const char16_t* label32Path, const char16_t* label128Path,
                                  const char16_t* label360Path, const char16_t* name, const char16_t* tagIds,
                                  LONG audioFlag, LONG discClass, LONG folderCount, LONG fileCount, INT64 usedBytes,
                                  INT64 capacityBytes, const char16_t* dateText)
{
    PgNewDisc disc;
    const char16_t* const pictures[3] = {label32Path, label128Path, label360Path};
    HRESULT hr = disc.Read(identity, pictures, name, tagIds, dateText, audioFlag, discClass, folderCount, fileCount,
                           usedBytes, capacityBytes);
    if (FAILED(hr)) return hr;
    Lock lock(m_mutex);
    hr = Ready();
    if (FAILED(hr)) return hr;
    // A disc with nothing to write is final at once; any other waits for its import.
    disc.owner = disc.properties.IsEmpty() ? 0 : m_ownerId;
    LONG discId = 0;
    hr = Write([&] {
        const HRESULT chosen = disc.ChooseLabel(m_labels, m_tags, &disc.labelId);
        return FAILED(chosen) ? chosen : m_discs.Add(disc, &discId);
    });
    if (FAILED(hr)) return hr;
    m_lastAddedDisc = discId;
    if (disc.owner) m_addedDiscs.push_back(discId);
    return S_OK;
}

HRESULT CPgLibraryEngine::DeleteDiscWithHandle(LibraryImportHandle handle, LONG discId, LONG reserved)
{
    Lock lock(m_mutex);
    PgImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (FAILED(hr)) return hr;
    session->knownPaths.clear(); // the disc's paths may go with it
    session->childrenRead.clear();
    hr = session->fileSpans.Store(session->db); // the disc's files are found by their spans
    return WriteInImport(*session, SUCCEEDED(hr) ? PgDiscStore::Delete(session->db, discId) : hr);
}

HRESULT CPgLibraryEngine::DeleteDisc(LONG discId, LONG reserved)
{
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    return Write([&] { return PgDiscStore::Delete(m_db, discId); });
}

HRESULT CPgLibraryEngine::SetDiscTags(LONG discId, const char16_t* tagIds)
{
    if (!tagIds) return E_POINTER;
    if (FAILED(CheckText(tagIds))) return E_INVALIDARG;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : Write([&] { return m_discs.SetTags(discId, View(tagIds)); });
}

HRESULT CPgLibraryEngine::GetChangeStamp(INT64* stamp)
{
    if (!stamp) return E_POINTER;
    *stamp = 0;
    Lock lock(m_mutex);
    int64_t count = 0;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = m_changes.Stamp(m_db, m_ownerId, &count);
    // Others changed the library: what was read ahead may be stale.
    if (count != m_seenStamp) Forget();
    m_seenStamp = count;
    *stamp = count;
    return hr;
}

HRESULT CPgLibraryEngine::SetFileLabelId(LONG discId, LONG labelId) { return SetDiscLabelId(discId, labelId); }

HRESULT CPgLibraryEngine::SetFolderLabelId(LONG discId, LONG labelId) { return SetDiscLabelId(discId, labelId); }

HRESULT CPgLibraryEngine::GetLastAddedDisc(LONG* discId, LONG* labelId)
{
    if (!discId || !labelId) return E_POINTER;
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    LONG candidate = m_lastAddedDisc;
    if (candidate == 0) {
        hr = m_discs.Newest(&candidate);
        if (FAILED(hr)) return hr;
    }
    if (candidate == 0) return E_FAIL;
    hr = m_discs.LabelId(candidate, labelId);
    if (SUCCEEDED(hr)) *discId = candidate;
    return hr;
}

// ---- folders, files and paths ----

HRESULT CPgLibraryEngine::SessionOf(LibraryImportHandle handle, PgImportSession** session)
{
    if (!handle) return E_POINTER;
    *session = m_imports.Session(handle);
    return *session ? S_OK : E_INVALIDARG;
}

PgConnection& CPgLibraryEngine::ReaderFor(LibraryImportHandle handle)
{
    PgImportSession* session = handle ? m_imports.Session(handle) : nullptr;
    return session ? session->db : m_db;
}

// A change inside an import that failed because its connection is gone
// ends the import: nothing of it can be kept. What this instance kept of
// the library (a search's discs and counts, path texts) may no longer hold.
HRESULT CPgLibraryEngine::WriteInImport(PgImportSession& session, HRESULT work)
{
    Forget();
    if (FAILED(work) && PQstatus(session.db.Handle()) != CONNECTION_OK) return LIBRARY_E_SERVER_UNREACHABLE;
    return work;
}

HRESULT CPgLibraryEngine::InsertEntries(PgEntryKind kind, LibraryImportHandle handle, const char16_t* batch,
                                        LONG hasIds)
{
    if (!batch) return E_POINTER;
    if (hasIds != 0 && hasIds != 1) return E_INVALIDARG;
    ParsedBatch parsed;
    BatchParser parser(View(batch));
    if (!parser.ParseEntries(hasIds == 1, parsed)) {
        DumpMsg(kComponent, "batch refused: %s", parser.Error().c_str());
        return E_INVALIDARG;
    }
    Lock lock(m_mutex);
    PgImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (FAILED(hr)) return hr;
    if (FAILED(m_writeFailure)) return m_writeFailure;
    for (const EntryRow& row : parsed.entries) {
        hr = m_imports.ClaimDisc(*session, row.discId);
        if (FAILED(hr)) return hr;
    }
    return WriteInImport(*session, PgEntryWriter::Insert(session->db, kind, parsed, hasIds == 1, session->importId,
                                                         session->grams[static_cast<int>(kind)], session->fileSpans));
}

HRESULT CPgLibraryEngine::InsertFileRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds)
{
    return InsertEntries(PgEntryKind::Files, handle, batch, hasIds);
}

HRESULT CPgLibraryEngine::InsertFolderRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds)
{
    return InsertEntries(PgEntryKind::Folders, handle, batch, hasIds);
}

HRESULT CPgLibraryEngine::GetMaxFileId(LibraryImportHandle handle, LONG* id)
{
    if (!id) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgEntryWriter::MaxId(ReaderFor(handle), PgEntryKind::Files, id);
}

HRESULT CPgLibraryEngine::GetMaxFolderId(LibraryImportHandle handle, LONG* id)
{
    if (!id) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgEntryWriter::MaxId(ReaderFor(handle), PgEntryKind::Folders, id);
}

HRESULT CPgLibraryEngine::GetFolderItemCount(LONG discId, LONG folderId, LONG* count)
{
    if (!count) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgFolderListing::Count(m_db, discId, folderId, count);
}

HRESULT CPgLibraryEngine::GetFolderItems(LONG discId, LONG folderId, FolderItemRecord* records, LONG count)
{
    if (!records && count > 0) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgFolderListing::Fill(m_db, discId, folderId, records, count);
}

HRESULT CPgLibraryEngine::StorePaths(LibraryImportHandle handle, const ParsedBatch& batch, bool hasIds)
{
    Lock lock(m_mutex);
    PgImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (FAILED(hr)) return hr;
    if (FAILED(m_writeFailure)) return m_writeFailure;
    QHash<QString, LONG> stored;
    hr = session->db.Run("SAVEPOINT paths", {}, "savepoint");
    if (SUCCEEDED(hr)) hr = PgPathStore::Insert(session->db, batch, hasIds, stored);
    session->db.Run(SUCCEEDED(hr) ? "RELEASE SAVEPOINT paths" : "ROLLBACK TO SAVEPOINT paths", {}, "savepoint");
    for (auto path = stored.constBegin(); SUCCEEDED(hr) && path != stored.constEnd(); ++path) {
        session->paths.push_back(path.value());
        session->knownPaths.insert(path.key(), path.value());
    }
    return WriteInImport(*session, hr);
}

HRESULT CPgLibraryEngine::FindPathId(LibraryImportHandle handle, const char16_t* pathText, LONG* pathId)
{
    if (!pathText || !pathId) return E_POINTER;
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    PgImportSession* session = handle ? m_imports.Session(handle) : nullptr;
    if (!session) return PgPathStore::Find(m_db, View(pathText), false, pathId);
    hr = FindPathInImport(*session, ToQString(View(pathText)), pathId);
    if (SUCCEEDED(hr) && *pathId > 0) session->paths.push_back(*pathId);
    return hr;
}

// A path an import finds is locked in its transaction, so that deleting the
// disc that made it cannot remove it under the import. The walk asks for
// each folder's subfolders in turn: the stored children of a folder's path
// are read in one round trip the first time, not one each.
HRESULT CPgLibraryEngine::FindPathInImport(PgImportSession& session, const QString& text, LONG* pathId)
{
    const qsizetype cut = text.lastIndexOf(QLatin1Char('\\'));
    const QString parent = cut > 0 ? text.left(cut) : QString();
    HRESULT hr = S_OK;
    if (!parent.isEmpty() && !session.childrenRead.contains(parent)) {
        hr = PgPathStore::Children(session.db, parent, session.knownPaths);
        if (SUCCEEDED(hr)) session.childrenRead.insert(parent);
    }
    if (FAILED(hr)) return hr;
    const auto known = session.knownPaths.constFind(text);
    if (known != session.knownPaths.constEnd()) return *pathId = *known, S_OK;
    if (!parent.isEmpty()) return *pathId = 0, S_OK;
    hr = PgPathStore::Find(session.db, View(reinterpret_cast<const char16_t*>(text.utf16())), true, pathId);
    if (SUCCEEDED(hr) && *pathId > 0) session.knownPaths.insert(text, *pathId);
    return hr;
}

HRESULT CPgLibraryEngine::GetPathText(LONG pathId, char16_t* pathText)
{
    if (!pathText) return E_POINTER;
    Lock lock(m_mutex);
    QString text = m_shownPaths.value(pathId);
    HRESULT hr = text.isNull() ? Ready() : S_OK;
    if (SUCCEEDED(hr) && text.isNull()) hr = PgPathStore::Text(m_db, pathId, text);
    if (SUCCEEDED(hr)) Utf16Text::CopyToField(pathText, kLibraryTextLength, text);
    return hr;
}

HRESULT CPgLibraryEngine::GetMaxPathId(LibraryImportHandle handle, LONG* id)
{
    if (!id) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgPathStore::MaxId(ReaderFor(handle), id);
}

// ---- search ----

// A search's count reads the discs found, which the SearchDiscs that
// follows it (the window and the tool ask for both) takes without asking
// the server again; a short query's gram counts come in the same round
// trip, for the listing of the same search.
HRESULT CPgLibraryEngine::SearchDiscCount(const char16_t* text, LONG* count)
{
    if (!text || !count) return E_POINTER;
    Lock lock(m_mutex);
    m_foundDiscs = {};
    std::vector<DiscRecord> records;
    PgNameSearch::GramCounts grams;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = PgNameSearch::FindDiscs(m_db, View(text), records, &grams);
    if (FAILED(hr)) return hr;
    *count = LONG(records.size());
    m_foundDiscs = {ToQString(View(text)), std::move(records), grams};
    return S_OK;
}

HRESULT CPgLibraryEngine::SearchDiscs(const char16_t* text, DiscRecord* records, LONG count)
{
    if (!text || (!records && count > 0)) return E_POINTER;
    Lock lock(m_mutex);
    std::vector<DiscRecord> found;
    HRESULT hr = S_OK;
    if (m_foundDiscs.records && m_foundDiscs.text == ToQString(View(text))) {
        found = std::move(*m_foundDiscs.records);
        m_foundDiscs.records.reset();
    } else {
        hr = Ready();
        if (SUCCEEDED(hr)) hr = PgNameSearch::FindDiscs(m_db, View(text), found);
    }
    const size_t filled = std::min(found.size(), size_t(std::max<LONG>(count, 0)));
    if (SUCCEEDED(hr)) std::copy_n(found.begin(), filled, records);
    return hr;
}

HRESULT CPgLibraryEngine::SearchEntryCount(PgEntryKind kind, const char16_t* text, LONG* count)
{
    if (!text || !count) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgNameSearch::CountEntries(m_db, kind, View(text), count);
}

HRESULT CPgLibraryEngine::SearchEntries(PgEntryKind kind, const char16_t* text, ItemRecord* records, LONG count)
{
    if (!text || (!records && count > 0)) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgNameSearch::FillEntries(m_db, kind, View(text), records, count);
}

HRESULT CPgLibraryEngine::SearchFileCount(const char16_t* text, LONG* count)
{
    return SearchEntryCount(PgEntryKind::Files, text, count);
}

HRESULT CPgLibraryEngine::SearchFiles(const char16_t* text, ItemRecord* records, LONG count)
{
    return SearchEntries(PgEntryKind::Files, text, records, count);
}

HRESULT CPgLibraryEngine::SearchFolderCount(const char16_t* text, LONG* count)
{
    return SearchEntryCount(PgEntryKind::Folders, text, count);
}

HRESULT CPgLibraryEngine::SearchFolders(const char16_t* text, ItemRecord* records, LONG count)
{
    return SearchEntries(PgEntryKind::Folders, text, records, count);
}

// ---- imports ----

// Polls for the import slot without holding the instance's lock, so that
// the instance answers other calls while it waits.
HRESULT CPgLibraryEngine::OpenImportHandle(LibraryImportHandle* handle)
{
    if (!handle) return E_POINTER;
    *handle = nullptr;
    {
        std::lock_guard<std::mutex> wait(m_waitMutex);
        m_waiting = true;
        m_waitCancelled = false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kSlotTimeout;
    QByteArray holder;
    HRESULT hr;
    while ((hr = TryClaimSlot(handle, &holder)) == S_FALSE) {
        if (std::chrono::steady_clock::now() >= deadline) {
            hr = kSlotBusy;
            break;
        }
        if (!PauseForSlot(holder)) {
            hr = E_ABORT;
            break;
        }
    }
    std::lock_guard<std::mutex> wait(m_waitMutex);
    m_waiting = false;
    m_slotHolder.clear();
    return hr;
}

HRESULT CPgLibraryEngine::TryClaimSlot(LibraryImportHandle* handle, QByteArray* holder)
{
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (SUCCEEDED(hr) && FAILED(m_writeFailure)) hr = m_writeFailure;
    std::unique_ptr<PgImportSession> session;
    if (SUCCEEDED(hr)) hr = m_imports.TryOpen(m_db.Address(), m_ownerId, m_token, session, holder);
    if (hr == S_OK) *handle = m_imports.Add(std::move(session));
    return hr;
}

bool CPgLibraryEngine::PauseForSlot(const QByteArray& holder)
{
    std::unique_lock<std::mutex> wait(m_waitMutex);
    if (m_slotHolder != holder) DumpMsg(kComponent, "waiting for the import of %s", holder.constData());
    m_slotHolder = holder;
    return !m_waitChanged.wait_for(wait, kSlotPoll, [this] { return m_waitCancelled; });
}

// Closing makes the import final, whatever it wrote: its discs, and the
// discs this instance added that have nothing to write, lose their owner.
// A close that fails undoes the import, so the slot is free again.
HRESULT CPgLibraryEngine::CloseImportHandle(LibraryImportHandle handle)
{
    Lock lock(m_mutex);
    PgImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (FAILED(hr)) return hr;
    hr = WriteInImport(*session, m_imports.Finish(*session, m_addedDiscs));
    if (FAILED(hr)) {
        UndoImport(handle);
        return hr;
    }
    m_addedDiscs.clear();
    m_imports.Remove(handle);
    return S_OK;
}

// ---- how discs were read ----

HRESULT CPgLibraryEngine::SetDiscGaps(LONG discId, const DiscGapRecord* gaps)
{
    if (!gaps) return E_POINTER;
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = m_writeFailure;
    return FAILED(hr) ? hr : PgDiscReadStore::SetGaps(m_db, discId, *gaps);
}

HRESULT CPgLibraryEngine::GetDiscGaps(LONG discId, DiscGapRecord* gaps)
{
    if (!gaps) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgDiscReadStore::Gaps(m_db, discId, *gaps);
}

HRESULT CPgLibraryEngine::GetDiscEntryCounts(LONG discId, LONG* folders, LONG* files)
{
    if (!folders || !files) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : PgFolderListing::DiscCounts(m_db, discId, folders, files);
}

HRESULT CPgLibraryEngine::ReplaceDiscWithHandle(LibraryImportHandle handle, LONG newDiscId, LONG oldDiscId)
{
    Lock lock(m_mutex);
    PgImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (SUCCEEDED(hr) && newDiscId == oldDiscId) hr = E_INVALIDARG;
    if (SUCCEEDED(hr)) hr = m_imports.ClaimDisc(*session, newDiscId);
    if (FAILED(hr)) return hr;
    return WriteInImport(*session, PgDiscReadStore::RegisterReplacement(session->db, session->importId, newDiscId, oldDiscId));
}
