#include "LogCheckpointer.h"

#include "BackgroundPriority.h"

#include <sqlite3.h>

LogCheckpointer::LogCheckpointer(SqliteConnection& writer) : m_writer(writer)
{
    if (FAILED(m_db.Open(writer.FilePath(), false))) return;
    m_thread = std::thread([this] { Run(); });
}

LogCheckpointer::~LogCheckpointer()
{
    Detach();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
}

void LogCheckpointer::Attach()
{
    if (!IsRunning() || !m_writer.IsOpen()) return;
    m_lastStep = 0;
    sqlite3_wal_hook(m_writer.Handle(), &LogCheckpointer::OnCommit, this);
}

void LogCheckpointer::Detach()
{
    if (IsRunning() && m_writer.IsOpen()) sqlite3_wal_autocheckpoint(m_writer.Handle(), kDefaultPages);
}

int LogCheckpointer::CheckpointsDone() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_done;
}

int LogCheckpointer::OnCommit(void* self, sqlite3* db, const char* schema, int pages)
{
    auto* checkpointer = static_cast<LogCheckpointer*>(self);
    // What SQLite's own hook does, at the bound.
    if (pages >= kMostPages) {
        checkpointer->m_lastStep = 0;
        sqlite3_wal_checkpoint(db, schema);
        return SQLITE_OK;
    }
    const int step = pages / kStepPages;
    if (step == checkpointer->m_lastStep) return SQLITE_OK;
    checkpointer->m_lastStep = step; // lower when the log restarted
    if (step == 0) return SQLITE_OK;
    {
        std::lock_guard<std::mutex> lock(checkpointer->m_mutex);
        checkpointer->m_due = true;
    }
    checkpointer->m_wake.notify_one();
    return SQLITE_OK;
}

void LogCheckpointer::Run()
{
    BackgroundPriority::LowerCurrentThread(); // the log can wait; the writer should not
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_due || m_stop; });
        if (m_stop) break;
        m_due = false;
        lock.unlock();
        // Copies what is committed and not read by an older snapshot; a
        // failure leaves the log to the next one.
        sqlite3_wal_checkpoint_v2(m_db.Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        lock.lock();
        ++m_done;
    }
    lock.unlock();
    m_db.Close();
}
