#include "ListedEntryQueue.h"

#include <algorithm>
#include <cstring>

void ListedEntryQueue::SetChangeCount(int64_t count)
{
    std::lock_guard lock(m_mutex);
    m_changeCount = count;
}

int64_t ListedEntryQueue::ChangeCount() const
{
    std::lock_guard lock(m_mutex);
    return m_changeCount;
}

void ListedEntryQueue::Entries::Clear()
{
    entries.clear();
    names.clear();
}

bool ListedEntryQueue::Add(int kind, int index, const ListedEntry& entry, std::string_view name)
{
    if (!m_adding.entries.empty() &&
        (m_adding.kind != kind || m_adding.first + int(m_adding.entries.size()) != index))
        Flush();
    if (m_adding.entries.empty()) {
        TakeSpare(m_adding);
        m_adding.kind = kind;
        m_adding.first = index;
    }
    m_adding.Add(entry, name);
    if (m_adding.entries.size() < kChunk) return false;
    Flush();
    std::lock_guard lock(m_mutex);
    return Full() && Kept(m_addingKind);
}

bool ListedEntryQueue::AddAll(int kind, int first, Entries& found, const std::function<void()>& publish)
{
    Flush();
    std::lock_guard lock(m_mutex);
    m_addingKind = kind;
    if (found.entries.empty() || !Kept(kind)) {
        found.Clear();
        publish();
        return false;
    }
    Chunk chunk;
    chunk.kind = kind;
    chunk.first = first;
    static_cast<Entries&>(chunk) = std::move(found);
    m_queued += chunk.entries.size();
    m_chunks.push_back(std::move(chunk));
    publish();
    // The buffers of a chunk the reader is done with, to be filled again.
    found.Clear();
    if (!m_spare.empty()) {
        found = std::move(static_cast<Entries&>(m_spare.back()));
        m_spare.pop_back();
    }
    return Full();
}

void ListedEntryQueue::Flush()
{
    if (m_adding.entries.empty()) return;
    std::lock_guard lock(m_mutex);
    m_addingKind = m_adding.kind;
    if (!Kept(m_adding.kind)) {
        m_adding.Clear();
        return;
    }
    m_queued += m_adding.entries.size();
    m_chunks.push_back(std::move(m_adding));
    m_adding = Chunk{};
}

// Chunks are used again rather than freed: the reader frees them on its
// thread, and memory freed there and taken again here by the million goes
// back and forth between the process and the system.
void ListedEntryQueue::TakeSpare(Chunk& chunk)
{
    if (chunk.entries.capacity() >= kChunk) return; // emptied but not queued
    {
        std::lock_guard lock(m_mutex);
        if (!m_spare.empty()) {
            chunk = std::move(m_spare.back());
            m_spare.pop_back();
            return;
        }
    }
    chunk.entries.reserve(kChunk);
    chunk.names.reserve(kChunk * kNameBytes);
}

void ListedEntryQueue::KeepSpare(Chunk&& chunk)
{
    if (m_spare.size() >= kSpareChunks) return;
    chunk.Clear();
    m_spare.push_back(std::move(chunk));
}

void ListedEntryQueue::WaitForRoom()
{
    std::unique_lock lock(m_mutex);
    m_roomMade.wait(lock, [&] { return !Full() || !Kept(m_addingKind); });
}

void ListedEntryQueue::Stop()
{
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_roomMade.notify_all();
}

void ListedEntryQueue::DropBefore(int kind, int first)
{
    while (!m_chunks.empty()) {
        const Chunk& front = m_chunks.front();
        if (front.kind > kind || (front.kind == kind && front.first + int(front.entries.size()) > first)) break;
        m_queued -= front.entries.size();
        KeepSpare(std::move(m_chunks.front()));
        m_chunks.pop_front();
    }
}

size_t ListedEntryQueue::Take(int kind, int first, ListedEntry* entries, size_t count, char* names,
                              size_t namesCapacity)
{
    std::lock_guard lock(m_mutex);
    DropBefore(kind, first);
    size_t filled = 0, used = 0;
    for (const Chunk& chunk : m_chunks) {
        const int at = first + int(filled);
        if (filled == count || chunk.kind != kind || chunk.first > at) break;
        const size_t from = size_t(at - chunk.first);
        if (from >= chunk.entries.size()) continue;
        // The names of a chunk's entries follow one another: those taken
        // from it go in one copy, each entry's offset moved with them.
        const size_t start = chunk.entries[from].nameOffset;
        size_t end = start;
        for (size_t i = from; i < chunk.entries.size() && filled < count; ++i) {
            const ListedEntry& queued = chunk.entries[i];
            const size_t offset = used + (queued.nameOffset - start);
            if (queued.nameBytes > namesCapacity - offset) {
                count = filled; // the next name does not fit
                break;
            }
            ListedEntry& entry = entries[filled++];
            entry = queued;
            entry.nameOffset = static_cast<uint32_t>(offset);
            end = queued.nameOffset + queued.nameBytes;
        }
        std::memcpy(names + used, chunk.names.data() + start, end - start);
        used += end - start;
    }
    DropBefore(kind, first + int(filled));
    m_roomMade.notify_all();
    return filled;
}

size_t ListedEntryQueue::Room() const
{
    std::lock_guard lock(m_mutex);
    return Full() ? 0 : kCapacity - m_queued;
}

void ListedEntryQueue::ReleaseCurrent()
{
    std::lock_guard lock(m_mutex);
    m_released[size_t(m_addingKind)] = true;
    std::erase_if(m_chunks, [&](const Chunk& chunk) { return chunk.kind == m_addingKind; });
    m_queued = 0;
    for (const Chunk& chunk : m_chunks) m_queued += chunk.entries.size();
    m_roomMade.notify_all();
}

void ListedEntryQueue::ReleaseAll()
{
    std::lock_guard lock(m_mutex);
    m_released = {true, true};
    m_chunks.clear();
    m_queued = 0;
    m_roomMade.notify_all();
}
