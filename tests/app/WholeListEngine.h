// A library engine that passes every call to another one and offers none of
// its optional interfaces: the program as it runs with an engine that only
// has the whole-list calls.
#pragma once
#include "ILibraryEngine.h"

#include <atomic>

class WholeListEngine : public ILibraryEngine {
public:
    // Takes a reference of `inner` and releases it when the last of its own goes.
    explicit WholeListEngine(ILibraryEngine* inner) : m_inner(inner) { m_inner->AddRef(); }

    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!(iid == IID_IUnknown || iid == IID_ILibraryEngine)) return E_NOINTERFACE;
        *object = static_cast<ILibraryEngine*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0) {
            m_inner->Release();
            delete this;
        }
        return left;
    }

    HRESULT Initialize(LONG reserved1, LONG createIfMissing, LONG reserved2) override { return m_inner->Initialize(reserved1, createIfMissing, reserved2); }
    HRESULT Uninitialize() override { return m_inner->Uninitialize(); }
    HRESULT GetTagCount(LONG* count) override { return m_inner->GetTagCount(count); }
    HRESULT GetTags(TagRecord* records, LONG count) override { return m_inner->GetTags(records, count); }
    HRESULT GetTagNames(const char16_t* tagIds, char16_t* tagNames) override { return m_inner->GetTagNames(tagIds, tagNames); }
    HRESULT AddTag(const char16_t* name, LONG* id) override { return m_inner->AddTag(name, id); }
    HRESULT SetTagVisible(const char16_t* name, LONG visible) override { return m_inner->SetTagVisible(name, visible); }
    HRESULT FindTag(LONG* id, LONG* visible, const char16_t* name) override { return m_inner->FindTag(id, visible, name); }
    HRESULT AddDisc(const char* identity, const char16_t* label32Path, const char16_t* label128Path, const char16_t* label360Path, const char16_t* name, const char16_t* tagIds, LONG audioFlag, LONG discClass, LONG folderCount, LONG fileCount, INT64 usedBytes, INT64 capacityBytes, const char16_t* dateText) override { return m_inner->AddDisc(identity, label32Path, label128Path, label360Path, name, tagIds, audioFlag, discClass, folderCount, fileCount, usedBytes, capacityBytes, dateText); }
    HRESULT GetDiscCount(LONG* count) override { return m_inner->GetDiscCount(count); }
    HRESULT GetDiscs(DiscRecord* records, LONG count) override { return m_inner->GetDiscs(records, count); }
    HRESULT DeleteDiscWithHandle(LibraryImportHandle handle, LONG discId, LONG reserved) override { return m_inner->DeleteDiscWithHandle(handle, discId, reserved); }
    HRESULT DeleteDisc(LONG discId, LONG reserved) override { return m_inner->DeleteDisc(discId, reserved); }
    HRESULT SetDiscTags(LONG discId, const char16_t* tagIds) override { return m_inner->SetDiscTags(discId, tagIds); }
    HRESULT SetDiscLabelId(LONG discId, LONG labelId) override { return m_inner->SetDiscLabelId(discId, labelId); }
    HRESULT GetLastAddedDisc(LONG* discId, LONG* labelId) override { return m_inner->GetLastAddedDisc(discId, labelId); }
    HRESULT GetDiscIdentity(LONG discId, char* identity) override { return m_inner->GetDiscIdentity(discId, identity); }
    HRESULT FindDiscByIdentity(const char* identity, LONG* discId) override { return m_inner->FindDiscByIdentity(identity, discId); }
    HRESULT InsertFileRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) override { return m_inner->InsertFileRows(handle, batch, hasIds); }
    HRESULT SetFileLabelId(LONG discId, LONG labelId) override { return m_inner->SetFileLabelId(discId, labelId); }
    HRESULT GetMaxFileId(LibraryImportHandle handle, LONG* id) override { return m_inner->GetMaxFileId(handle, id); }
    HRESULT InsertFolderRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) override { return m_inner->InsertFolderRows(handle, batch, hasIds); }
    HRESULT GetMaxFolderId(LibraryImportHandle handle, LONG* id) override { return m_inner->GetMaxFolderId(handle, id); }
    HRESULT GetFolderItemCount(LONG discId, LONG folderId, LONG* count) override { return m_inner->GetFolderItemCount(discId, folderId, count); }
    HRESULT GetFolderItems(LONG discId, LONG folderId, FolderItemRecord* records, LONG count) override { return m_inner->GetFolderItems(discId, folderId, records, count); }
    HRESULT SetFolderLabelId(LONG discId, LONG labelId) override { return m_inner->SetFolderLabelId(discId, labelId); }
    HRESULT GetLabelCount(LONG* count) override { return m_inner->GetLabelCount(count); }
    HRESULT AddLabel(const char16_t* path32, const char16_t* path128, const char16_t* path360) override { return m_inner->AddLabel(path32, path128, path360); }
    HRESULT GetLabelThumbnail(LONG labelId, QImage** bitmap) override { return m_inner->GetLabelThumbnail(labelId, bitmap); }
    HRESULT GetLabelImage(LONG labelId, QImage** bitmap) override { return m_inner->GetLabelImage(labelId, bitmap); }
    HRESULT GetLastLabelId(LONG* id) override { return m_inner->GetLastLabelId(id); }
    HRESULT DeleteLabel(LONG labelId, LONG reserved) override { return m_inner->DeleteLabel(labelId, reserved); }
    HRESULT InsertPathRows(LibraryImportHandle handle, const char16_t* batch, LONG hasIds) override { return m_inner->InsertPathRows(handle, batch, hasIds); }
    HRESULT AddPath(LibraryImportHandle handle, LONG pathId, const char16_t* pathText) override { return m_inner->AddPath(handle, pathId, pathText); }
    HRESULT FindPathId(LibraryImportHandle handle, const char16_t* pathText, LONG* pathId) override { return m_inner->FindPathId(handle, pathText, pathId); }
    HRESULT GetPathText(LONG pathId, char16_t* pathText) override { return m_inner->GetPathText(pathId, pathText); }
    HRESULT GetMaxPathId(LibraryImportHandle handle, LONG* id) override { return m_inner->GetMaxPathId(handle, id); }
    HRESULT SearchDiscCount(const char16_t* text, LONG* count) override { return m_inner->SearchDiscCount(text, count); }
    HRESULT SearchDiscs(const char16_t* text, DiscRecord* records, LONG count) override { return m_inner->SearchDiscs(text, records, count); }
    HRESULT SearchFileCount(const char16_t* text, LONG* count) override { return m_inner->SearchFileCount(text, count); }
    HRESULT SearchFiles(const char16_t* text, ItemRecord* records, LONG count) override { return m_inner->SearchFiles(text, records, count); }
    HRESULT SearchFolderCount(const char16_t* text, LONG* count) override { return m_inner->SearchFolderCount(text, count); }
    HRESULT SearchFolders(const char16_t* text, ItemRecord* records, LONG count) override { return m_inner->SearchFolders(text, records, count); }
    HRESULT OpenImportHandle(LibraryImportHandle* handle) override { return m_inner->OpenImportHandle(handle); }
    HRESULT CloseImportHandle(LibraryImportHandle handle) override { return m_inner->CloseImportHandle(handle); }

protected:
    virtual ~WholeListEngine() = default;

private:
    ILibraryEngine* m_inner;
    std::atomic<ULONG> m_refs{1};
};
