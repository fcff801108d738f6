// Makes the gram counts (NameGrams) of the discs of a library written
// before they existed, after the library has opened: on a thread of its own
// with a connection of its own, one disc per write transaction. The library
// is usable at once (short queries are counted by scanning until every disc
// is counted), and a process stopped or killed meanwhile loses only the
// disc it was counting, which the next opening counts again.
//
// At most one builder runs per process. Destroying it interrupts it (the
// disc it was counting stays to be counted) and joins the thread.
#pragma once
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class SqliteConnection;
struct sqlite3;

class GramBuilder {
public:
    // A builder when `db` has discs to count and none runs in this process yet.
    static std::unique_ptr<GramBuilder> StartIfNeeded(SqliteConnection& db, const QString& databasePath);
    ~GramBuilder();
    GramBuilder(const GramBuilder&) = delete;
    GramBuilder& operator=(const GramBuilder&) = delete;

private:
    explicit GramBuilder(const QString& databasePath);
    void Run(QString databasePath);
    static int OnBusy(void* self, int attempts);

    std::atomic<bool> m_stop{false};
    std::atomic<sqlite3*> m_db{nullptr};
    std::mutex m_mutex;
    std::thread m_thread;
};
