// The scan worker: one thread per import. For a data disc it waits for the
// disc engine's parse of the file system, then walks the tree level by
// level and hands the rows to the library engine in batches of at most 600;
// for an audio disc it writes one row per track. Progress, cancellation and
// the callback go through the owning CDiscAccess.
#pragma once
#include "ILibraryEngine.h"
#include "hresult.h"

#include <QString>
#include <QThread>

class CDiscAccess;
struct ILibraryEngine;
struct ITrellisReader;

class CScanWorker : public QThread {
    friend class CTreeWalk;

public:
    explicit CScanWorker(CDiscAccess& access);

protected:
    void run() override;

private:
    HRESULT ScanDataDisc();
    HRESULT WaitForParse(ITrellisReader* reader);
    HRESULT ListTracks(int trackCount);
    HRESULT WalkTree(LibraryImportHandle handle, ITrellisReader* reader);
    // The replacement of an earlier record and the read's gaps, under the handle.
    HRESULT NoteImport(LibraryImportHandle handle);
    void Callback(int code, intptr_t parameter);
    void CountItem();
    bool CancelRequested() const;

    CDiscAccess& m_access;
    int m_nItemsDone = 0;
    int m_nReplacedDiscId; // taken from the access when the scan is made
};
