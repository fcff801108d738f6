// A disc reader over a disc catalogued in a library: it enumerates the
// disc's folders as the library lists them, so that the walk which imports a
// read disc (CTreeWalk) can write a catalogued disc into another library
// exactly as an import would. Only enumeration is offered; the reader lives
// on the stack of its user (no reference counting).
#pragma once
#include "LibraryReader.h"
#include "TrellisInterfaces.h"

#include <QHash>
#include <QString>
#include <vector>

class CataloguedDiscReader final : public ITrellisReader {
public:
    CataloguedDiscReader(ILibraryEngine* library, int discId) : m_reader(library), m_nDiscId(discId) {}

    // The folders and files enumerated so far.
    int FolderCount() const { return m_nFolders; }
    int FileCount() const { return m_nFiles; }
    // The type name the library keeps for the entry enumerated last.
    QString LastType() const { return m_lastType; }
    // The first failed library call (S_OK when none failed).
    HRESULT Failure() const { return m_reader.Failure(); }

    HRESULT QueryInterface(REFIID, void** object) override;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT Attach(ITrellisDevice*) override { return S_OK; }
    HRESULT Open() override { return S_OK; }
    HRESULT StartParse(DWORD, DWORD, DWORD) override { return S_OK; }
    HRESULT WaitParse(DWORD, LONG* done, double* fraction) override;
    HRESULT Abort() override { return S_OK; }
    HRESULT Close() override { return S_OK; }
    HRESULT Detach() override { return S_OK; }
    HRESULT GetTreeCounts(TrellisTreeCounts*) override { return E_NOTIMPL; }
    HRESULT GetUsedBlocks(DWORD, UINT64*) override { return E_NOTIMPL; }
    HRESULT FindFirst(LPCWSTR path, TrellisFindEntry* entry) override;
    HRESULT FindNext(TrellisFindEntry* entry) override;
    HRESULT FindClose() override;

private:
    HRESULT Fill(TrellisFindEntry* entry);

    LibraryReader m_reader;
    int m_nDiscId;
    // Folder ids by path ("" the root, "A\B"), learnt as their parents are enumerated.
    QHash<QString, int> m_folderIds{{QString(), 0}};
    QString m_currentPath;
    std::vector<FolderItemRecord> m_current;
    size_t m_next = 0;
    QString m_lastType;
    int m_nFolders = 0, m_nFiles = 0;
};
