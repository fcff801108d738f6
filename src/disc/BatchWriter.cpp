#include "BatchWriter.h"

BatchWriter::BatchWriter(ILibraryEngine* library, LibraryImportHandle handle)
    : m_pLibrary(library), m_handle(handle), m_thread([this] { Run(); })
{
}

BatchWriter::~BatchWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void BatchWriter::Submit(Insert insert, QString rows)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < kQueued; });
    m_queue.push_back({insert, std::move(rows)});
    m_changed.notify_all();
}

HRESULT BatchWriter::Drain()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_storing; });
    return std::exchange(m_hrLast, S_OK);
}

// Stores batches until stopped with nothing left to store.
void BatchWriter::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty()) return;
        Batch batch = std::move(m_queue.front());
        m_queue.pop_front();
        m_storing = true;
        m_changed.notify_all(); // room in the queue
        lock.unlock();
        const HRESULT hr = (m_pLibrary->*batch.insert)(m_handle, reinterpret_cast<const WCHAR*>(batch.rows.utf16()), 1);
        lock.lock();
        if (FAILED(hr)) m_hrLast = hr;
        m_storing = false;
        m_changed.notify_all();
    }
}
