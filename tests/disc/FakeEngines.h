// In-process stand-ins for the two engines, for testing the walk: a reader
// over a tree held in memory and a library that records every call.
#pragma once
#include "ILibraryEngine.h"
#include "TrellisInterfaces.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <mutex>
#include <vector>

// Objects live on the test's stack: reference counting does nothing.
template <class Interface>
struct StackObject : Interface {
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
};

struct FakeEntry {
    QString name;
    bool folder;
    UINT64 size = 0;
};

class FakeReader : public StackObject<ITrellisReader> {
public:
    QMap<QString, std::vector<FakeEntry>> tree; // folder path ("" root) -> entries
    QStringList unreadable;                    // folders whose FindFirst fails
    std::function<void(const QString&)> onFindFirst;

    HRESULT Attach(ITrellisDevice*) override { return S_OK; }
    HRESULT Open() override { return S_OK; }
    HRESULT StartParse(DWORD, DWORD, DWORD) override { return S_OK; }
    HRESULT WaitParse(DWORD, LONG*, double*) override { return S_OK; }
    HRESULT Abort() override { return S_OK; }
    HRESULT Close() override { return S_OK; }
    HRESULT Detach() override { return S_OK; }
    HRESULT GetTreeCounts(TrellisTreeCounts*) override { return E_NOTIMPL; }
    HRESULT GetUsedBlocks(DWORD, UINT64*) override { return E_NOTIMPL; }
    HRESULT FindFirst(LPCWSTR path, TrellisFindEntry* entry) override;
    HRESULT FindNext(TrellisFindEntry* entry) override;
    HRESULT FindClose() override
    {
        ++closes;
        return S_OK;
    }
    int closes = 0;

private:
    HRESULT Fill(TrellisFindEntry* entry);
    std::vector<FakeEntry> m_current;
    size_t m_next = 0;
};

struct LibraryCall {
    QString operation; // "files", "folders", "paths", "addpath", "delete", "deletewithhandle", "findfirst:<path>"
    QString batch;
    int rows = 0;
};

// Called from the walk's thread and its batch writer's: the calls it records are serialised.
class FakeLibrary : public StackObject<ILibraryEngine> {
public:
    std::vector<LibraryCall> calls;
    QMap<QString, LONG> knownPaths;
    LONG maxFileId = 0, maxFolderId = 0, maxPathId = 0;
    QStringList failing; // operations recorded, then answered with E_FAIL

    int RowsOf(const QString& batch) const;
    std::vector<LibraryCall> CallsOf(const QString& operation) const;

    HRESULT Initialize(LONG, LONG, LONG) override { return S_OK; }
    HRESULT Uninitialize() override { return S_OK; }
    HRESULT GetTagCount(LONG*) override { return E_NOTIMPL; }
    HRESULT GetTags(TagRecord*, LONG) override { return E_NOTIMPL; }
    HRESULT GetTagNames(const char16_t*, char16_t*) override { return E_NOTIMPL; }
    HRESULT AddTag(const char16_t*, LONG*) override { return E_NOTIMPL; }
    HRESULT SetTagVisible(const char16_t*, LONG) override { return E_NOTIMPL; }
    HRESULT FindTag(LONG*, LONG*, const char16_t*) override { return E_NOTIMPL; }
    HRESULT AddDisc(const char*, const char16_t*, const char16_t*, const char16_t*, const char16_t*, const char16_t*,
                    LONG, LONG, LONG, LONG, INT64, INT64, const char16_t*) override { return E_NOTIMPL; }
    HRESULT GetDiscCount(LONG*) override { return E_NOTIMPL; }
    HRESULT GetDiscs(DiscRecord*, LONG) override { return E_NOTIMPL; }
    HRESULT DeleteDiscWithHandle(LibraryImportHandle, LONG, LONG) override { return Record("deletewithhandle"); }
    HRESULT DeleteDisc(LONG, LONG) override { return Record("delete"); }
    HRESULT SetDiscTags(LONG, const char16_t*) override { return E_NOTIMPL; }
    HRESULT SetDiscLabelId(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT GetLastAddedDisc(LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT GetDiscIdentity(LONG, char*) override { return E_NOTIMPL; }
    HRESULT FindDiscByIdentity(const char*, LONG*) override { return E_NOTIMPL; }
    HRESULT InsertFileRows(LibraryImportHandle, const char16_t* batch, LONG) override { return Record("files", batch); }
    HRESULT SetFileLabelId(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT GetMaxFileId(LibraryImportHandle, LONG* id) override { return *id = maxFileId, S_OK; }
    HRESULT InsertFolderRows(LibraryImportHandle, const char16_t* batch, LONG) override { return Record("folders", batch); }
    HRESULT GetMaxFolderId(LibraryImportHandle, LONG* id) override { return *id = maxFolderId, S_OK; }
    HRESULT GetFolderItemCount(LONG, LONG, LONG*) override { return E_NOTIMPL; }
    HRESULT GetFolderItems(LONG, LONG, FolderItemRecord*, LONG) override { return E_NOTIMPL; }
    HRESULT SetFolderLabelId(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT GetLabelCount(LONG*) override { return E_NOTIMPL; }
    HRESULT AddLabel(const char16_t*, const char16_t*, const char16_t*) override { return E_NOTIMPL; }
    HRESULT GetLabelThumbnail(LONG, QImage**) override { return E_NOTIMPL; }
    HRESULT GetLabelImage(LONG, QImage**) override { return E_NOTIMPL; }
    HRESULT GetLastLabelId(LONG*) override { return E_NOTIMPL; }
    HRESULT DeleteLabel(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT InsertPathRows(LibraryImportHandle, const char16_t* batch, LONG) override;
    HRESULT AddPath(LibraryImportHandle, LONG pathId, const char16_t* text) override;
    HRESULT FindPathId(LibraryImportHandle, const char16_t* text, LONG* id) override;
    HRESULT GetPathText(LONG, char16_t*) override { return E_NOTIMPL; }
    HRESULT GetMaxPathId(LibraryImportHandle, LONG* id) override { return *id = maxPathId, S_OK; }
    HRESULT SearchDiscCount(const char16_t*, LONG*) override { return E_NOTIMPL; }
    HRESULT SearchDiscs(const char16_t*, DiscRecord*, LONG) override { return E_NOTIMPL; }
    HRESULT SearchFileCount(const char16_t*, LONG*) override { return E_NOTIMPL; }
    HRESULT SearchFiles(const char16_t*, ItemRecord*, LONG) override { return E_NOTIMPL; }
    HRESULT SearchFolderCount(const char16_t*, LONG*) override { return E_NOTIMPL; }
    HRESULT SearchFolders(const char16_t*, ItemRecord*, LONG) override { return E_NOTIMPL; }
    HRESULT OpenImportHandle(LibraryImportHandle* handle) override { return *handle = this, S_OK; }
    HRESULT CloseImportHandle(LibraryImportHandle) override { return S_OK; }

private:
    HRESULT Record(const QString& operation, const char16_t* batch = nullptr);

    std::recursive_mutex m_mutex;
};
