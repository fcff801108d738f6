// Hands record batches to the library on a thread of its own, so that the
// walk reads the next entries of the disc while the library stores the
// batch before. Batches are stored in the order they were handed over; at
// most kQueued wait, so the walk runs ahead of the library by a few batches
// only. Drain waits until every batch handed over is stored: the walk does
// before it asks the library about rows it handed over, and before it
// removes what it wrote. Destroying the writer stores what is queued.
#pragma once
#include "ILibraryEngine.h"
#include "OrderedWorker.h"

#include <QString>

class BatchWriter {
public:
    using Insert = HRESULT (ILibraryEngine::*)(LibraryImportHandle, const WCHAR*, LONG);
    static constexpr size_t kQueued = 4;

    BatchWriter(ILibraryEngine* library, LibraryImportHandle handle);

    // Queues the rows (with ids) for `insert`; waits while kQueued batches wait.
    void Submit(Insert insert, QString rows);
    // Waits until every batch handed over is stored; the last failure among
    // the batches stored since the last drain, S_OK when none failed.
    HRESULT Drain();

private:
    struct Batch {
        Insert insert;
        QString rows;
    };
    void Store(Batch& batch);

    ILibraryEngine* m_pLibrary;
    LibraryImportHandle m_handle;
    HRESULT m_hrLast = S_OK; // written by the worker, read after a drain
    OrderedWorker<Batch> m_worker; // last: works with the members above
};
