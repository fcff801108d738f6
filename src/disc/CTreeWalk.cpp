#include "CTreeWalk.h"

#include "ShellFileType.h"

namespace {

const WCHAR* Utf16(const QString& text) { return reinterpret_cast<const WCHAR*>(text.utf16()); }

INT64 FileTimeOf(const TrellisFindEntry& entry)
{
    return static_cast<INT64>((static_cast<UINT64>(entry.time.high) << 32) | entry.time.low);
}

} // namespace

CTreeWalk::CTreeWalk(LibraryImportHandle handle, ILibraryEngine* library, ITrellisReader* reader, int discId,
                     int labelId, Hooks hooks)
    : m_handle(handle), m_pLibrary(library), m_pReader(reader), m_nDiscId(discId), m_nLabelId(labelId),
      m_hooks(std::move(hooks)), m_writer(library, handle)
{
}

void CTreeWalk::Track(HRESULT result)
{
    if (FAILED(result)) m_hrLast = result;
}

// Removes what was written for the disc under the handle; between two
// folders (outside any enumeration) the disc record is deleted as well.
HRESULT CTreeWalk::Cancel(bool betweenFolders)
{
    Drain();
    m_hooks.reportCancel();
    m_pLibrary->DeleteDiscWithHandle(m_handle, m_nDiscId, 0);
    if (betweenFolders) m_pLibrary->DeleteDisc(m_nDiscId, 0);
    return E_ABORT;
}

HRESULT CTreeWalk::Run()
{
    if (!m_handle || !m_pLibrary || !m_pReader) return E_POINTER;
    Track(m_pLibrary->GetMaxFileId(m_handle, &m_nFileId));
    std::deque<Folder> level{{0, 0, QString()}};
    while (!level.empty()) {
        Track(m_pLibrary->GetMaxFolderId(m_handle, &m_nFolderId));
        Track(m_pLibrary->GetMaxPathId(m_handle, &m_nPathId));
        while (!level.empty()) {
            if (m_hooks.cancelRequested()) return Cancel(true);
            Folder folder = level.front();
            level.pop_front();
            if (FAILED(WalkFolder(folder))) return E_ABORT;
        }
        HandOver(m_paths, &ILibraryEngine::InsertPathRows);
        HandOver(m_folders, &ILibraryEngine::InsertFolderRows);
        Drain(); // the next level asks for the paths of its folders
        level.swap(m_nextLevel);
    }
    HandOver(m_files, &ILibraryEngine::InsertFileRows);
    Drain();
    return m_hrLast;
}

HRESULT CTreeWalk::WalkFolder(Folder& folder)
{
    if (!folder.path.isEmpty()) folder.pathId = PathIdOf(QLatin1Char('\\') + folder.path, true);
    TrellisFindEntry entry{};
    for (HRESULT hr = m_pReader->FindFirst(Utf16(folder.path), &entry); SUCCEEDED(hr);
         hr = m_pReader->FindNext(&entry)) {
        if (m_hooks.cancelRequested()) {
            m_pReader->FindClose();
            return Cancel(false);
        }
        AddEntry(folder, entry);
    }
    m_pReader->FindClose();
    return S_OK;
}

void CTreeWalk::AddEntry(const Folder& folder, const TrellisFindEntry& entry)
{
    const QString name = QString::fromUtf16(entry.name);
    const INT64 size = static_cast<INT64>(entry.size);
    if (!(entry.attributes & TRELLIS_ATTRIBUTE_DIRECTORY)) {
        m_hooks.countItem();
        const QString type = m_hooks.fileType ? m_hooks.fileType(name) : ShellFileType::TypeName(name);
        m_files.Append(RecordBatch::FileRow(++m_nFileId, name, size, type, FileTimeOf(entry),
                                            m_nDiscId, m_nLabelId, folder.id, folder.pathId));
        if (m_files.IsFull()) HandOver(m_files, &ILibraryEngine::InsertFileRows);
        return;
    }
    const QString fullPath = folder.path.isEmpty() ? name : folder.path + QLatin1Char('\\') + name;
    const int pathId = PathIdOf(QLatin1Char('\\') + fullPath, false);
    m_hooks.countItem();
    m_folders.Append(RecordBatch::FolderRow(++m_nFolderId, name, size, FileTimeOf(entry), m_nDiscId, m_nLabelId,
                                            folder.id, folder.pathId));
    if (m_paths.IsFull()) HandOver(m_paths, &ILibraryEngine::InsertPathRows);
    if (m_folders.IsFull()) HandOver(m_folders, &ILibraryEngine::InsertFolderRows);
    m_nextLevel.push_back({m_nFolderId, pathId, fullPath});
}

// The library's id of a path text, or a new one: stored at once (a folder
// taken off the queue) or as a row of the level's path batch.
int CTreeWalk::PathIdOf(const QString& pathText, bool storeAtOnce)
{
    LONG known = 0;
    if (SUCCEEDED(m_pLibrary->FindPathId(m_handle, Utf16(pathText), &known)) && known >= 1) return known;
    const int pathId = ++m_nPathId;
    if (storeAtOnce)
        Track(m_pLibrary->AddPath(m_handle, pathId, Utf16(pathText)));
    else
        m_paths.Append(RecordBatch::PathRow(pathId, pathText));
    return pathId;
}

void CTreeWalk::HandOver(RecordBatch& batch, BatchWriter::Insert insert)
{
    if (!batch.IsEmpty()) m_writer.Submit(insert, batch.TakeText());
}

void CTreeWalk::Drain() { Track(m_writer.Drain()); }
