#include "CataloguedDiscReader.h"

#include <algorithm>

HRESULT CataloguedDiscReader::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_ITrellisReader) return E_NOINTERFACE;
    *object = static_cast<ITrellisReader*>(this);
    return S_OK;
}

HRESULT CataloguedDiscReader::WaitParse(DWORD, LONG* done, double* fraction)
{
    if (done) *done = 1;
    if (fraction) *fraction = 1.0;
    return S_OK;
}

HRESULT CataloguedDiscReader::FindFirst(LPCWSTR path, TrellisFindEntry* entry)
{
    if (!path || !entry) return E_POINTER;
    m_currentPath = QString::fromUtf16(path);
    if (m_currentPath.startsWith(QLatin1Char('\\'))) m_currentPath.remove(0, 1);
    const auto folder = m_folderIds.constFind(m_currentPath);
    if (folder == m_folderIds.constEnd()) return TRELLIS_E_PATH_NOT_FOUND;
    m_current = m_reader.FolderItems(m_nDiscId, *folder);
    m_next = 0;
    if (FAILED(m_reader.Failure())) return m_reader.Failure();
    return Fill(entry);
}

HRESULT CataloguedDiscReader::FindNext(TrellisFindEntry* entry)
{
    if (!entry) return E_POINTER;
    return Fill(entry);
}

HRESULT CataloguedDiscReader::FindClose()
{
    m_current.clear();
    m_next = 0;
    return S_OK;
}

HRESULT CataloguedDiscReader::Fill(TrellisFindEntry* entry)
{
    if (m_next >= m_current.size()) return TRELLIS_E_NO_MORE_ENTRIES;
    const FolderItemRecord& item = m_current[m_next++];
    const bool folder = LibraryReader::IsFolder(item);
    *entry = TrellisFindEntry{};
    entry->attributes = folder ? TRELLIS_ATTRIBUTE_DIRECTORY : 0;
    entry->time.low = static_cast<DWORD>(static_cast<UINT64>(item.time) & 0xFFFFFFFFu);
    entry->time.high = static_cast<DWORD>(static_cast<UINT64>(item.time) >> 32);
    entry->size = static_cast<UINT64>(item.size);
    std::copy(std::begin(item.name), std::end(item.name), entry->name);
    entry->name[MAX_PATH - 1] = 0;
    m_lastType = LibraryReader::Text(item.type);
    if (folder) {
        const QString name = LibraryReader::Text(item.name);
        m_folderIds.insert(m_currentPath.isEmpty() ? name : m_currentPath + QLatin1Char('\\') + name, item.id);
        ++m_nFolders;
    } else {
        ++m_nFiles;
    }
    return S_OK;
}
