// Makes what a library written by an earlier version lacks, after the
// library has opened: on a thread of its own with a connection of its own,
// the gram counts (NameGrams) one disc per write transaction, then the
// blocks of names (NameBlocks) one range of ids per write transaction. The
// library is usable at once (short queries are counted and listed by
// scanning the rows until the work is done), and a process stopped or
// killed meanwhile loses only the transaction it was in, which the next
// opening does again.
//
// At most one builder runs per process. Destroying it interrupts it (the
// disc it was counting stays to be counted) and joins the thread.
#pragma once
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "hresult.h"

class SqliteConnection;
struct sqlite3;

class UpgradeBuilder {
public:
    // A builder when `db` has work left and none runs in this process yet.
    static std::unique_ptr<UpgradeBuilder> StartIfNeeded(SqliteConnection& db, const QString& databasePath);
    ~UpgradeBuilder();
    UpgradeBuilder(const UpgradeBuilder&) = delete;
    UpgradeBuilder& operator=(const UpgradeBuilder&) = delete;

private:
    explicit UpgradeBuilder(const QString& databasePath);
    void Run(QString databasePath);
    // The gram counts, then the blocks of names; the first failure.
    HRESULT CountGrams(SqliteConnection& db, int* transactions);
    HRESULT MakeNameBlocks(SqliteConnection& db, int* transactions);
    static int OnBusy(void* self, int attempts);

    std::atomic<bool> m_stop{false};
    std::atomic<sqlite3*> m_db{nullptr};
    std::mutex m_mutex;
    std::thread m_thread;
};
