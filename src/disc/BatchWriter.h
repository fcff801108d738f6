// Hands record batches to the library on a thread of its own, so that the
// walk reads the next entries of the disc while the library stores the
// batch before. Batches are stored in the order they were handed over; at
// most kQueued wait, so the walk runs ahead of the library by a few batches
// only. Drain waits until every batch handed over is stored: the walk does
// before it asks the library about rows it handed over, and before it
// removes what it wrote.
#pragma once
#include "ILibraryEngine.h"

#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class BatchWriter {
public:
    using Insert = HRESULT (ILibraryEngine::*)(LibraryImportHandle, const WCHAR*, LONG);
    static constexpr size_t kQueued = 4;

    BatchWriter(ILibraryEngine* library, LibraryImportHandle handle);
    ~BatchWriter(); // stores what is queued
    BatchWriter(const BatchWriter&) = delete;
    BatchWriter& operator=(const BatchWriter&) = delete;

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
    void Run();

    ILibraryEngine* m_pLibrary;
    LibraryImportHandle m_handle;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue;
    bool m_storing = false; // a batch taken off the queue is being stored
    bool m_stop = false;
    HRESULT m_hrLast = S_OK;
    std::thread m_thread; // last: starts when everything else is ready
};
