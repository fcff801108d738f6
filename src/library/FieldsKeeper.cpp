#include "FieldsKeeper.h"

#include "SortEntries.h"

FieldsKeeper::FieldsKeeper(ListingFieldsReader& reader, SortEntries& entries, Kept kept)
    : m_reader(reader), m_entries(entries), m_kept(std::move(kept))
{
    for (Block& block : m_blocks) m_free.push_back(&block);
    m_thread = std::thread([this] { Run(); });
}

FieldsKeeper::~FieldsKeeper()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

HRESULT FieldsKeeper::Read(LONG kind, LONG first, LONG count, LONG* read)
{
    *read = 0;
    Block* block = nullptr;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_free.empty(); });
        block = m_free.front();
        m_free.pop_front();
    }
    const HRESULT hr = m_reader.Fetch(kind, first, count, *block);
    const LONG filled = SUCCEEDED(hr) ? block->filled : 0;
    {
        std::lock_guard lock(m_mutex);
        if (filled > 0) m_read.push_back(block);
        else m_free.push_back(block);
    }
    m_changed.notify_all();
    *read = filled;
    return hr;
}

void FieldsKeeper::Finish()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_free.size() == kBlocks; });
}

void FieldsKeeper::Reserve(size_t rows)
{
    Finish();
    m_entries.Reserve(rows); // the keeper waits for the next block meanwhile
}

void FieldsKeeper::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_stop || !m_read.empty(); });
        if (m_stop) return;
        Block* block = m_read.front();
        m_read.pop_front();
        lock.unlock();
        m_reader.Keep(*block, m_entries);
        if (m_kept) m_kept(m_entries);
        lock.lock();
        m_free.push_back(block);
        m_changed.notify_all();
    }
}
