#include "LibraryEngine.h"

#include "BatchParser.h"
#include "DiscEditRules.h"
#include "DiscEntryCounts.h"
#include "Diagnostics.h"
#include "LibraryFile.h"
#include "LibraryLocation.h"
#include "LibraryModule.h"
#include "LibrarySchema.h"
#include "ProcessOwner.h"
#include "Utf16Text.h"
#include "WriteTransaction.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <sqlite3.h>

using Utf16Text::ToQString;
using Utf16Text::View;

namespace {
constexpr HRESULT kDiskFull = HresultFromWin32(112);  // ERROR_DISK_FULL
constexpr HRESULT kSlotBusy = HresultFromWin32(170);  // ERROR_BUSY
constexpr std::chrono::milliseconds kSlotPoll{100};

HRESULT CheckText(const char16_t* text)
{
    return Utf16Text::IsWellFormed(View(text)) ? S_OK : E_INVALIDARG;
}
} // namespace

CLibraryEngine::CLibraryEngine() { LibraryModule::ObjectCreated(); }

CLibraryEngine::~CLibraryEngine()
{
    Uninitialize();
    LibraryModule::ObjectDestroyed();
}

HRESULT CLibraryEngine::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ILibraryEngine) {
        *object = static_cast<ILibraryEngine*>(this);
    } else if (iid == IID_ILibraryDiscReads) {
        *object = static_cast<ILibraryDiscReads*>(this);
    } else if (iid == IID_ILibraryDiscCounts) {
        *object = static_cast<ILibraryDiscCounts*>(this);
    } else if (iid == IID_ILibraryPathTexts) {
        *object = static_cast<ILibraryPathTexts*>(this);
    } else if (iid == IID_ILibraryDiscTags) {
        *object = static_cast<ILibraryDiscTags*>(this);
    } else if (iid == IID_ILibraryMaintenance) {
        *object = static_cast<ILibraryMaintenance*>(this);
    } else if (iid == IID_ILibraryListings) {
        *object = static_cast<ILibraryListings*>(this);
    } else if (iid == IID_ILibraryListedEntries) {
        *object = static_cast<ILibraryListedEntries*>(this);
    } else if (iid == IID_ILibraryListedTypes) {
        *object = static_cast<ILibraryListedTypes*>(this);
    } else if (iid == IID_ILibraryDiscEdits) {
        *object = static_cast<ILibraryDiscEdits*>(this);
    } else if (iid == IID_ILibraryChanges) {
        *object = static_cast<ILibraryChanges*>(this);
    } else if (iid == IID_ILibraryEngineStatus) {
        *object = static_cast<ILibraryEngineStatus*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CLibraryEngine::AddRef() { return m_refs.Increment(); }

ULONG CLibraryEngine::Release()
{
    const ULONG count = m_refs.Decrement();
    if (count == 0) delete this;
    return count;
}

HRESULT CLibraryEngine::Ready() const { return m_db.IsOpen() ? S_OK : E_UNEXPECTED; }

template <class Work>
HRESULT CLibraryEngine::Write(Work work)
{
    if (FAILED(m_writeFailure)) {
        const HRESULT hr = CatchUp();
        if (FAILED(hr)) return hr;
    }
    const HRESULT hr = WriteNow(work);
    if (hr == kDiskFull) m_writeFailure = hr;
    return hr;
}

template <class Work>
HRESULT CLibraryEngine::WriteNow(Work work)
{
    WriteTransaction transaction(m_db);
    const HRESULT hr = transaction.Started();
    if (FAILED(hr)) return hr;
    return transaction.Finish(work());
}

// The schema and the clean-up of dead processes' work, owed while the
// library could not be written.
HRESULT CLibraryEngine::CatchUp()
{
    HRESULT hr = OpenSchema();
    if (SUCCEEDED(hr)) hr = WriteNow([&] { return m_imports.RecoverAbandoned(); });
    m_writeFailure = SUCCEEDED(hr) ? S_OK : hr;
    return hr;
}

HRESULT CLibraryEngine::OpenSchema()
{
    const int rc = LibrarySchema::Create(m_db);
    return rc == SQLITE_OK ? S_OK : m_db.Failure(rc, "schema");
}

// ---- life ----

HRESULT CLibraryEngine::Initialize(LONG reserved1, LONG createIfMissing, LONG reserved2)
{
    Lock lock(m_mutex);
    if (reserved1 != 0 || reserved2 != 0) return E_INVALIDARG;
    if (m_db.IsOpen()) return S_FALSE;
    const QString path = LibraryLocation::DatabasePath();
    if (LibraryFile::IsEmptied(path)) return m_db.Failure(SQLITE_CORRUPT, "empty library file");
    if (createIfMissing) QDir().mkpath(QFileInfo(path).absolutePath());
    HRESULT hr = m_db.Open(path, createIfMissing != 0);
    if (FAILED(hr)) return hr;
    const int rc = m_db.Execute("CREATE TEMP TABLE IF NOT EXISTS doomed_paths(id INTEGER PRIMARY KEY);"
                                "CREATE TEMP TABLE IF NOT EXISTS slice_ids(id INTEGER PRIMARY KEY);");
    if (rc != SQLITE_OK) {
        hr = m_db.Failure(rc, "temporary tables");
        m_db.Close();
        return hr;
    }
    m_owner = ProcessOwner::Current();
    DumpMsg(kComponent, "library %s", qPrintable(path));
    hr = CatchUp();
    if (SUCCEEDED(hr)) {
        m_upgradeBuilder = UpgradeBuilder::StartIfNeeded(m_db, path);
        return S_OK;
    }
    // Browsing and searching need no writing: a library that can be read
    // opens for them, and does its clean-up with the first change it can make.
    LONG discs = 0;
    if (FAILED(m_discs.Count(&discs))) {
        m_db.Close();
        return hr;
    }
    DumpMsg(kComponent, "the library opens for reading only (%08X)", static_cast<unsigned>(hr));
    return LIBRARY_S_READ_ONLY;
}

HRESULT CLibraryEngine::Uninitialize()
{
    Lock lock(m_mutex);
    if (!m_db.IsOpen()) return S_FALSE;
    m_upgradeBuilder.reset();
    UndoOpenImports();
    ReleaseAddedDiscs();
    m_imports.StopCheckpoints();
    m_listings.Clear();
    m_db.Close();
    m_lastAddedDisc = 0;
    return S_OK;
}

void CLibraryEngine::UndoOpenImports()
{
    for (LibraryImportHandle handle : m_imports.Handles()) UndoImport(handle);
}

void CLibraryEngine::UndoImport(LibraryImportHandle handle)
{
    const int64_t importId = m_imports.Session(handle)->importId;
    if (FAILED(Write([&] { return m_imports.Undo(importId); }))) {
        DumpMsg(kComponent, "import %lld stays for a later clean-up to undo", static_cast<long long>(importId));
        ImportTracker::Abandon(importId);
    }
    m_imports.RemoveSession(handle);
}

// ---- discs ----

HRESULT CLibraryEngine::AddDisc(const char* identity, const char16_t* label32Path, const char16_t* label128Path,
                                const char16_t* label360Path, const char16_t* name, const char16_t* tagIds,
                                LONG audioFlag, LONG discClass, LONG folderCount, LONG fileCount, INT64 usedBytes,
                                INT64 capacityBytes, const char16_t* dateText)
{
    NewDisc disc;
    const char16_t* const pictures[3] = {label32Path, label128Path, label360Path};
    const HRESULT given = disc.Read(identity, pictures, name, tagIds, dateText, audioFlag, discClass, folderCount,
                                    fileCount, usedBytes, capacityBytes);
    if (FAILED(given)) return given;

    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    // A disc with nothing to import (an empty disc, an audio disc without
    // tracks) is final as it is added: no import will ever claim it.
    if (folderCount > 0 || fileCount > 0) disc.owner = m_owner;
    LONG discId = 0;
    hr = Write([&] {
        HRESULT result = disc.ChooseLabel(m_labels, m_tags, &disc.labelId);
        return FAILED(result) ? result : m_discs.Add(disc, &discId);
    });
    if (SUCCEEDED(hr)) {
        m_lastAddedDisc = discId;
        m_addedDiscs.push_back(discId);
    }
    return hr;
}

HRESULT CLibraryEngine::DeleteDiscWithHandle(LibraryImportHandle handle, LONG discId, LONG reserved)
{
    Lock lock(m_mutex);
    ImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    return FAILED(hr) ? hr : DeleteDiscLocked(discId);
}

HRESULT CLibraryEngine::DeleteDisc(LONG discId, LONG reserved)
{
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : DeleteDiscLocked(discId);
}

HRESULT CLibraryEngine::DeleteDiscLocked(LONG discId)
{
    // The disc may be one an import of this instance writes: its paths may
    // go with it, so the imports ask the library afresh.
    m_imports.ForgetPaths();
    return Write([&] { return m_discs.Delete(discId); });
}

HRESULT CLibraryEngine::SetDiscTags(LONG discId, const char16_t* tagIds)
{
    if (FAILED(CheckText(tagIds))) return E_INVALIDARG;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : Write([&] { return m_discs.SetTags(discId, View(tagIds)); });
}

// SQLite's data version changes when another connection commits, never for
// this connection's own writes.
HRESULT CLibraryEngine::GetChangeStamp(INT64* stamp)
{
    if (!stamp) return E_POINTER;
    *stamp = 0;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    auto version = m_db.Statement("PRAGMA data_version");
    if (!version) return E_FAIL;
    const int rc = version->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "data version");
    *stamp = version->Int64(0);
    return S_OK;
}

HRESULT CLibraryEngine::GetLastAddedDisc(LONG* discId, LONG* labelId)
{
    if (!discId || !labelId) return E_POINTER;
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    LONG candidate = m_lastAddedDisc;
    if (candidate == 0 || m_discs.LabelId(candidate, labelId) == E_INVALIDARG) {
        hr = m_discs.Newest(&candidate);
        if (FAILED(hr)) return hr;
    }
    if (candidate == 0) return E_FAIL;
    hr = m_discs.LabelId(candidate, labelId);
    if (SUCCEEDED(hr)) *discId = candidate;
    return hr;
}

// ---- folders, files and paths ----

HRESULT CLibraryEngine::SessionOf(LibraryImportHandle handle, ImportSession** session)
{
    if (!handle) return E_POINTER;
    *session = m_imports.Session(handle);
    return *session ? S_OK : E_INVALIDARG;
}

HRESULT CLibraryEngine::InsertEntries(EntryKind kind, LibraryImportHandle handle, const char16_t* batch, LONG hasIds)
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
    ImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (FAILED(hr)) return hr;
    IdRange written;
    hr = Write([&] {
        const HRESULT claimed = m_imports.Claim(*session, parsed);
        return FAILED(claimed) ? claimed : m_entries.Insert(kind, parsed, hasIds == 1, session->layout, written);
    });
    if (SUCCEEDED(hr) && !written.IsEmpty()) {
        IdRange& range = kind == EntryKind::Files ? session->files : session->folders;
        range.Add(written.first);
        range.Add(written.last);
    }
    if (SUCCEEDED(hr)) session->grams.Add(kind, std::move(parsed));
    return hr;
}

HRESULT CLibraryEngine::InsertFileRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds)
{
    return InsertEntries(EntryKind::Files, handle, batch, hasIds);
}

HRESULT CLibraryEngine::InsertFolderRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds)
{
    return InsertEntries(EntryKind::Folders, handle, batch, hasIds);
}

HRESULT CLibraryEngine::SetFileLabelId(LONG discId, LONG labelId)
{
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : Write([&] { return m_discs.SetLabelId(discId, labelId); });
}

HRESULT CLibraryEngine::SetFolderLabelId(LONG discId, LONG labelId)
{
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : Write([&] { return m_discs.SetLabelId(discId, labelId); });
}

HRESULT CLibraryEngine::GetMaxFileId(LibraryImportHandle, LONG* id)
{
    if (!id) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_entries.MaxId(EntryKind::Files, id);
}

HRESULT CLibraryEngine::GetMaxFolderId(LibraryImportHandle, LONG* id)
{
    if (!id) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_entries.MaxId(EntryKind::Folders, id);
}

HRESULT CLibraryEngine::GetFolderItemCount(LONG discId, LONG folderId, LONG* count)
{
    if (!count) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_listing.Count(discId, folderId, count);
}

HRESULT CLibraryEngine::GetFolderItems(LONG discId, LONG folderId, FolderItemRecord* records, LONG count)
{
    if (!records && count > 0) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_listing.Fill(discId, folderId, records, count);
}

HRESULT CLibraryEngine::StorePaths(LibraryImportHandle handle, const ParsedBatch& batch, bool hasIds)
{
    Lock lock(m_mutex);
    ImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (FAILED(hr)) return hr;
    std::vector<LONG> storedIds;
    hr = Write([&] {
        storedIds.clear();
        const HRESULT stored = m_paths.Insert(batch, hasIds, storedIds);
        return FAILED(stored) ? stored : m_imports.ReferencePaths(*session, storedIds);
    });
    if (FAILED(hr)) return hr;
    for (size_t row = 0; row < storedIds.size(); ++row)
        session->paths.Referenced(std::u16string(batch.Text(batch.paths[row].text)), storedIds[row]);
    return hr;
}

// The walk asks for a folder's path while the writer thread holds the
// instance for a batch: what the import's memory knows for certain (a path
// it references, or one the library lacks) is answered without waiting.
// An open import implies an open library (Uninitialize ends the imports first).
HRESULT CLibraryEngine::FindPathId(LibraryImportHandle handle, const char16_t* pathText, LONG* pathId)
{
    if (!pathText || !pathId) return E_POINTER;
    if (handle) {
        const ImportPathMemory::Recall known = m_imports.KnownPath(handle, std::u16string(View(pathText)));
        if (known.answer == ImportPathMemory::Answer::Referenced || known.answer == ImportPathMemory::Answer::Missing) {
            *pathId = known.id;
            return S_OK;
        }
    }
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    ImportSession* session = handle ? m_imports.Session(handle) : nullptr;
    if (!session) return m_paths.Find(View(pathText), pathId);
    return FindPathInImport(*session, std::u16string(View(pathText)), pathId);
}

// The walk asks for every folder's path twice and for the subfolders of a
// folder in turn: the import's memory answers the second time, and the
// stored paths below a folder are read once for all its subfolders.
HRESULT CLibraryEngine::FindPathInImport(ImportSession& session, const std::u16string& text, LONG* pathId)
{
    ImportPathMemory& memory = session.paths;
    const std::u16string folder = memory.FolderToRead(text);
    if (!folder.empty()) {
        const HRESULT hr = m_paths.Below(folder, [&](std::u16string_view path, LONG id) {
            memory.Stored(std::u16string(path), id);
        });
        if (FAILED(hr)) return hr;
        memory.FolderRead(folder);
    }
    ImportPathMemory::Recall recall = memory.Find(text);
    if (recall.answer == ImportPathMemory::Answer::Unknown) {
        const HRESULT hr = m_paths.Find(text, &recall.id);
        if (FAILED(hr)) return hr;
        recall.answer = recall.id > 0 ? ImportPathMemory::Answer::Stored : ImportPathMemory::Answer::Missing;
    }
    *pathId = recall.id;
    if (recall.answer == ImportPathMemory::Answer::Missing) memory.Missing(text);
    if (recall.answer != ImportPathMemory::Answer::Stored) return S_OK;
    // A path an import uses is referenced at once, so that deleting the disc
    // that made it cannot remove it; it may have gone in between: ask again.
    HRESULT hr = Write([&] { return m_imports.ReferencePath(session, text); });
    if (SUCCEEDED(hr)) hr = m_paths.Find(text, pathId);
    if (FAILED(hr)) return hr;
    if (*pathId > 0)
        memory.Referenced(text, *pathId);
    else
        memory.Missing(text);
    return S_OK;
}

HRESULT CLibraryEngine::GetPathText(LONG pathId, char16_t* pathText)
{
    if (!pathText) return E_POINTER;
    Lock lock(m_mutex);
    QString text;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = m_paths.Text(pathId, text);
    if (SUCCEEDED(hr)) Utf16Text::CopyToField(pathText, kLibraryTextLength, text);
    return hr;
}

HRESULT CLibraryEngine::GetPathTexts(LONG firstId, LONG count, LibraryPathText* paths, char* texts,
                                     LONG textsCapacity, LONG* filled)
{
    if (!paths || !texts || !filled) return E_POINTER;
    *filled = 0;
    if (count <= 0) return S_OK;
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    if (FAILED(hr)) return hr;
    LONG done = 0;
    uint32_t used = 0;
    const uint32_t capacity = uint32_t(std::max<LONG>(textsCapacity, 0));
    const LONG lastId = LONG(std::min<int64_t>(int64_t(firstId) + count - 1, std::numeric_limits<LONG>::max()));
    hr = m_paths.Texts(firstId, lastId, [&](LONG id, std::string_view text) {
        if (text.size() > size_t(kLibraryPathTextBytes)) return true;
        if (text.size() > capacity - used) return false;
        std::memcpy(texts + used, text.data(), text.size());
        paths[done++] = LibraryPathText{int32_t(id), used, uint32_t(text.size())};
        used += uint32_t(text.size());
        return true;
    });
    *filled = done;
    return hr;
}

HRESULT CLibraryEngine::GetMaxPathId(LibraryImportHandle, LONG* id)
{
    if (!id) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_paths.MaxId(id);
}

// ---- search ----

HRESULT CLibraryEngine::SearchDiscCount(const char16_t* text, LONG* count)
{
    if (!text || !count) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_search.CountDiscs(View(text), count);
}

HRESULT CLibraryEngine::SearchDiscs(const char16_t* text, DiscRecord* records, LONG count)
{
    if (!text || (!records && count > 0)) return E_POINTER;
    Lock lock(m_mutex);
    QHash<int, QString> tagNames;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = m_tags.VisibleNames(tagNames);
    return FAILED(hr) ? hr : m_search.FillDiscs(View(text), records, count, tagNames);
}

HRESULT CLibraryEngine::SearchEntryCount(EntryKind kind, const char16_t* text, LONG* count)
{
    if (!text || !count) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_search.CountEntries(kind, View(text), count);
}

HRESULT CLibraryEngine::SearchEntries(EntryKind kind, const char16_t* text, ItemRecord* records, LONG count)
{
    if (!text || (!records && count > 0)) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_search.FillEntries(kind, View(text), records, count);
}

HRESULT CLibraryEngine::SearchFileCount(const char16_t* text, LONG* count)
{
    return SearchEntryCount(EntryKind::Files, text, count);
}

HRESULT CLibraryEngine::SearchFiles(const char16_t* text, ItemRecord* records, LONG count)
{
    return SearchEntries(EntryKind::Files, text, records, count);
}

HRESULT CLibraryEngine::SearchFolderCount(const char16_t* text, LONG* count)
{
    return SearchEntryCount(EntryKind::Folders, text, count);
}

HRESULT CLibraryEngine::SearchFolders(const char16_t* text, ItemRecord* records, LONG count)
{
    return SearchEntries(EntryKind::Folders, text, records, count);
}

// ---- imports ----

// Polls for the import slot without holding the instance's lock, so that
// the instance answers other calls while it waits.
HRESULT CLibraryEngine::OpenImportHandle(LibraryImportHandle* handle)
{
    if (!handle) return E_POINTER;
    *handle = nullptr;
    {
        std::lock_guard<std::mutex> wait(m_waitMutex);
        m_waiting = true;
        m_waitCancelled = false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(SqliteConnection::kBusyTimeoutMs);
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

HRESULT CLibraryEngine::TryClaimSlot(LibraryImportHandle* handle, QByteArray* holder)
{
    Lock lock(m_mutex);
    HRESULT hr = Ready();
    int64_t importId = 0;
    if (SUCCEEDED(hr)) hr = Write([&] { return m_imports.ClaimSlot(m_owner, &importId, holder); });
    if (hr == S_OK) *handle = m_imports.AddSession(importId);
    return hr;
}

bool CLibraryEngine::PauseForSlot(const QByteArray& holder)
{
    std::unique_lock<std::mutex> wait(m_waitMutex);
    if (m_slotHolder != holder)
        DumpMsg(kComponent, "waiting for the import of %s", holder.constData());
    m_slotHolder = holder;
    return !m_waitChanged.wait_for(wait, kSlotPoll, [this] { return m_waitCancelled; });
}

// Closing makes the import final, whatever it wrote: its discs, and the
// discs this instance added that have nothing to write, lose their owner.
// A close that fails undoes the import, so the slot is free again.
HRESULT CLibraryEngine::CloseImportHandle(LibraryImportHandle handle)
{
    Lock lock(m_mutex);
    ImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (FAILED(hr)) return hr;
    hr = IndexNames(EntryKind::Files, session->importId, session->files);
    if (SUCCEEDED(hr)) hr = IndexNames(EntryKind::Folders, session->importId, session->folders);
    if (SUCCEEDED(hr)) hr = Write([&] {
        HRESULT finished = StoreGrams(*session);
        if (SUCCEEDED(finished)) finished = m_imports.Finish(*session, m_addedDiscs);
        return FAILED(finished) ? finished : m_replacements.Complete(session->importId);
    });
    if (SUCCEEDED(hr))
        m_imports.RemoveSession(handle);
    else
        UndoImport(handle);
    return hr;
}

// The gram counts of the rows the import wrote, of the discs it finishes.
HRESULT CLibraryEngine::StoreGrams(ImportSession& session)
{
    HRESULT hr = S_OK;
    for (const EntryKind kind : {EntryKind::Files, EntryKind::Folders})
        if (SUCCEEDED(hr)) hr = NameGrams::StoreImported(m_db, kind, session.grams.Tallies(kind), session.importId);
    return hr;
}

// One slice of ids per transaction, so that other writers wait at most for one.
HRESULT CLibraryEngine::IndexNames(EntryKind kind, int64_t importId, const IdRange& written)
{
    constexpr int64_t kSliceIds = 50000;
    HRESULT hr = S_OK;
    for (int64_t first = written.first; SUCCEEDED(hr) && first <= written.last; first += kSliceIds) {
        const int64_t last = std::min(written.last, first + kSliceIds - 1);
        hr = Write([&] { return m_entries.IndexNames(kind, importId, first, last); });
    }
    return hr;
}

// ---- how discs were read ----

HRESULT CLibraryEngine::SetDiscGaps(LONG discId, const DiscGapRecord* gaps)
{
    if (!gaps) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : Write([&] { return m_gaps.Set(discId, *gaps); });
}

HRESULT CLibraryEngine::GetDiscGaps(LONG discId, DiscGapRecord* gaps)
{
    if (!gaps) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : m_gaps.Get(discId, *gaps);
}

HRESULT CLibraryEngine::GetDiscEntryCounts(LONG discId, LONG* folders, LONG* files)
{
    if (!folders || !files) return E_POINTER;
    Lock lock(m_mutex);
    const HRESULT hr = Ready();
    return FAILED(hr) ? hr : DiscEntryCounts::Count(m_db, discId, folders, files);
}

HRESULT CLibraryEngine::ReplaceDiscWithHandle(LibraryImportHandle handle, LONG newDiscId, LONG oldDiscId)
{
    Lock lock(m_mutex);
    ImportSession* session = nullptr;
    HRESULT hr = Ready();
    if (SUCCEEDED(hr)) hr = SessionOf(handle, &session);
    if (FAILED(hr)) return hr;
    return Write([&] {
        const HRESULT claimed = m_imports.ClaimDisc(*session, newDiscId);
        return FAILED(claimed) ? claimed : m_replacements.Register(session->importId, newDiscId, oldDiscId);
    });
}
