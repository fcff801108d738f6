// The level-by-level walk of a parsed disc tree into record batches. Every
// level's folders and paths are in the library before the next level is
// read; file rows go when 600 have gathered and at the very end. The
// library stores the batches on a thread of its own (BatchWriter) while
// the walk goes on.
#pragma once
#include "BatchWriter.h"
#include "ILibraryEngine.h"
#include "RecordBatch.h"
#include "TrellisInterfaces.h"

#include <QString>
#include <deque>
#include <functional>

class CTreeWalk {
public:
    struct Hooks {
        std::function<bool()> cancelRequested;
        std::function<void()> countItem;    // one entry written
        std::function<void()> reportCancel; // the ScanCancelled callback
        // The type name of the file just enumerated; empty: the shell's type name of its name.
        std::function<QString(const QString& name)> fileType = {};
    };

    CTreeWalk(LibraryImportHandle handle, ILibraryEngine* library, ITrellisReader* reader, int discId, int labelId,
              Hooks hooks);

    // S_OK, E_ABORT when cancelled (the disc is then removed), or the last
    // failure of a library call; a failed call does not stop the walk.
    HRESULT Run();

private:
    struct Folder {
        int id;
        int pathId;
        QString path; // from the root without leading backslash; "" for the root
    };

    HRESULT WalkFolder(Folder& folder);
    void AddEntry(const Folder& folder, const TrellisFindEntry& entry);
    int PathIdOf(const QString& pathText, bool storeAtOnce);
    void HandOver(RecordBatch& batch, BatchWriter::Insert insert);
    // Waits until the library has stored every batch handed over.
    void Drain();
    void Track(HRESULT result);
    HRESULT Cancel(bool betweenFolders);

    LibraryImportHandle m_handle;
    ILibraryEngine* m_pLibrary;
    ITrellisReader* m_pReader;
    int m_nDiscId, m_nLabelId;
    Hooks m_hooks;
    LONG m_nFileId = 0, m_nFolderId = 0, m_nPathId = 0;
    RecordBatch m_files, m_folders{true}, m_paths;
    std::deque<Folder> m_nextLevel;
    HRESULT m_hrLast = S_OK;
    BatchWriter m_writer; // last: stores what is queued before the batches go
};
