// The compact entries (ILibraryListedEntries) a listing's worker read with
// the ids it found, kept for a reader that takes them in listing order, so
// that they need not be read from the library a second time. The worker
// queues each entry (in chunks of kChunk) before it publishes the entry's
// id, and waits once the reader is kCapacity entries behind, after
// publishing every id it found. A reader that wants entries the queue does
// not hold reads them by id instead. Released, a kind is no longer kept
// (its worker goes on finding ids only).
#pragma once
#include "ILibraryListedEntries.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class ListedEntryQueue {
public:
    static constexpr int kKinds = 2; // folders, files
    static constexpr size_t kChunk = 64;
    static constexpr size_t kCapacity = 16 * 1024;
    static constexpr size_t kNameBytes = 48; // room reserved per name (most are shorter)

    // The library's change count of the worker's snapshot (LibraryChanges);
    // entries of an older snapshot than the reader's are not handed out.
    void SetChangeCount(int64_t count);
    int64_t ChangeCount() const;

    // Entries with their names one after another (nameOffset: into names).
    struct Entries {
        std::vector<ListedEntry> entries;
        std::string names; // the entries' names one after another, in their order

        // (Inline: a scan adds millions.)
        void Add(const ListedEntry& entry, std::string_view name)
        {
            ListedEntry& added = entries.emplace_back(entry);
            added.nameOffset = static_cast<uint32_t>(names.size());
            added.nameBytes = static_cast<uint32_t>(name.size());
            names.append(name);
        }
        std::string_view Name(const ListedEntry& entry) const { return {names.data() + entry.nameOffset, entry.nameBytes}; }
        void Clear();
    };

    // Worker: adds the next entry of `kind` (its index in the listing) with
    // its name; true when the queue is full now (the worker then publishes
    // its ids and calls WaitForRoom).
    bool Add(int kind, int index, const ListedEntry& entry, std::string_view name);
    // Worker: adds `found`, the next entries of `kind` from listing index
    // `first` on, as they are, and leaves it empty to be filled again;
    // `publish` publishes their ids, under the lock, so that a reader never
    // sees them queued and their ids not yet found (it would stop keeping
    // them, see Room). True when the queue is full now.
    bool AddAll(int kind, int first, Entries& found, const std::function<void()>& publish);
    // Worker: queues the entries added but not yet queued.
    void Flush();
    // Worker: waits until the reader makes room, the kind being added is
    // released or the queue stops.
    void WaitForRoom();
    // Ends every wait of the worker for good (the listing closes).
    void Stop();

    // Reader: entries first .. first + count - 1 of a kind, as far as they
    // are queued from `first` on and their names fit in `names`; the
    // number filled (0: read them by id). Entries before them are dropped.
    size_t Take(int kind, int first, ListedEntry* entries, size_t count, char* names, size_t namesCapacity);
    // Reader: how many more entries the worker can add before it waits.
    size_t Room() const;
    // Drops what is queued of the kind the worker is adding now and keeps
    // no more of it: a reader waits for more than the queue can hold.
    void ReleaseCurrent();
    // Drops everything and keeps nothing more (the library changed).
    void ReleaseAll();

private:
    struct Chunk : Entries {
        int kind = 0;
        int first = 0; // the listing index of entries[0]
    };
    // Drops chunks wholly before `first` of `kind`, and those of earlier kinds.
    void DropBefore(int kind, int first);
    // Worker: an empty chunk with room for kChunk entries.
    void TakeSpare(Chunk& chunk);
    // A dropped chunk, kept empty for TakeSpare (the lock held).
    void KeepSpare(Chunk&& chunk);
    bool Kept(int kind) const { return !m_stopped && !m_released[size_t(kind)]; }
    bool Full() const { return m_queued >= kCapacity; }

    mutable std::mutex m_mutex;
    std::condition_variable m_roomMade;
    std::deque<Chunk> m_chunks;
    size_t m_queued = 0; // entries in m_chunks
    std::array<bool, kKinds> m_released{false, false};
    bool m_stopped = false;
    int m_addingKind = 0; // the kind of the last chunk queued
    int64_t m_changeCount = -1;
    Chunk m_adding; // the worker's chunk being filled, not yet queued
    static constexpr size_t kSpareChunks = kCapacity / kChunk + 2;
    std::vector<Chunk> m_spare; // emptied chunks for the worker to fill again
};
