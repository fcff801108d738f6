// The scan worker: one thread per import. For a data disc it waits for the
// disc engine's parse of the file system, then walks the tree level by
// level and hands the rows to the library engine in batches of at most 600;
// for an audio disc it writes one row per track. It is given its job when
// it starts and shares only the scan state (progress, cancellation, the
// callback) with CDiscAccess.
#pragma once
#include "ILibraryEngine.h"
#include "ScanState.h"
#include "hresult.h"

#include <QThread>

class CScanWorker : public QThread {
public:
    CScanWorker(ScanState& state, ScanJob job) : m_state(state), m_job(std::move(job)) {}

protected:
    void run() override;

private:
    HRESULT ScanDataDisc();
    HRESULT WaitForParse(ITrellisReader* reader);
    HRESULT ListTracks(int trackCount);
    HRESULT OpenImport(ILibraryEngine* library, void** handle);
    HRESULT WalkTree(LibraryImportHandle handle, ITrellisReader* reader);
    // The replacement of an earlier record and the read's gaps, under the handle.
    HRESULT NoteImport(LibraryImportHandle handle);
    void Callback(int code, intptr_t parameter);
    void CountItem();
    bool CancelRequested() const;

    ScanState& m_state;
    ScanJob m_job;
    int m_nItemsDone = 0;
};
