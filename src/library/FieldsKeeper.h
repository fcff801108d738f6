// Keeps the fields of a listing's entries on a thread of its own while the
// thread that reads them from the engine reads the next block: reading and
// keeping (converting names and types, splitting names for a sort by name)
// take turns on two cores instead of one. Blocks are kept in the order they
// were read.
#pragma once
#include "ListingFieldsReader.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class FieldsKeeper {
public:
    // Called on the keeper's thread after each block is kept.
    using Kept = std::function<void(const SortEntries& entries)>;

    // Keeps into `entries` through `reader`, both used by the keeper's
    // thread until Finish returns or this object goes.
    FieldsKeeper(ListingFieldsReader& reader, SortEntries& entries, Kept kept);
    // Drops the blocks not kept yet.
    ~FieldsKeeper();
    FieldsKeeper(const FieldsKeeper&) = delete;
    FieldsKeeper& operator=(const FieldsKeeper&) = delete;

    // Reads the next block on the calling thread (ListingFieldsReader::Fetch)
    // and hands it to the keeper; *read says how many entries it held.
    HRESULT Read(LONG kind, LONG first, LONG count, LONG* read);
    // Waits until every block read is kept.
    void Finish();
    // Makes room for `rows` entries in all (once the blocks read are kept).
    void Reserve(size_t rows);

private:
    using Block = ListingFieldsReader::Block;
    // Two blocks read ahead while one is kept.
    static constexpr size_t kBlocks = 3;

    void Run();

    ListingFieldsReader& m_reader;
    SortEntries& m_entries;
    Kept m_kept;
    std::array<Block, kBlocks> m_blocks;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Block*> m_free;
    std::deque<Block*> m_read; // in the order read
    bool m_stop = false;
    std::thread m_thread;
};
