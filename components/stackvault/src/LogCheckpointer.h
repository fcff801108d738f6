// Copies the write-ahead log into the database file on a thread and a
// connection of its own while an import writes, so that the import's
// commits do not stop to do it: each copy (checkpoint) writes the pages
// and then waits for the disk twice, on the import's critical path when
// the writing connection does it itself every 1,000 pages.
//
// While attached, the writing connection's commits report how long the log
// is; every kStepPages the thread copies what has been committed (a passive
// checkpoint, which never blocks the writer nor waits for it). Past
// kMostPages the writing connection copies the rest itself, as it would
// without this, so the log restarts from its beginning and stays bounded.
// Detached, the writing connection checkpoints as SQLite does by default.
#pragma once
#include "SqliteConnection.h"

#include <condition_variable>
#include <mutex>
#include <thread>

class LogCheckpointer {
public:
    // SQLite's default: the writing connection copies the log after this many pages.
    static constexpr int kDefaultPages = 1000;
    // Often enough that little is left to copy when the import ends (the
    // last copy, at the connection's close, is on the import's path).
    static constexpr int kStepPages = 256;
    static constexpr int kMostPages = 16384; // 64 MB of pages

    // Opens a second connection to the writer's database and starts the
    // thread; IsRunning() is false when the connection could not be opened
    // (the writer then keeps checkpointing by itself).
    explicit LogCheckpointer(SqliteConnection& writer);
    // Detaches and stops the thread after the copy it is doing, if any.
    ~LogCheckpointer();
    LogCheckpointer(const LogCheckpointer&) = delete;
    LogCheckpointer& operator=(const LogCheckpointer&) = delete;

    bool IsRunning() const { return m_thread.joinable(); }
    // The writer's commits hand the log to this object's thread.
    void Attach();
    // The writer checkpoints by itself again, as SQLite does by default.
    void Detach();
    // Checkpoints run by the thread so far.
    int CheckpointsDone() const;

private:
    // SQLite's commit hook of the writer: `pages` is the log's length.
    static int OnCommit(void* self, struct sqlite3* db, const char* schema, int pages);
    void Run();

    SqliteConnection& m_writer;
    SqliteConnection m_db; // the thread's own
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_due = false;
    bool m_stop = false;
    int m_lastStep = 0; // the log's length in steps at the last request; the writer's lock guards it
    int m_done = 0;
    std::thread m_thread; // last: runs with the members above
};
