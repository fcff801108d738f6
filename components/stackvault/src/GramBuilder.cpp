#include "GramBuilder.h"

#include "Diagnostics.h"
#include "NameGrams.h"
#include "SqliteConnection.h"
#include "WriteTransaction.h"

#include <chrono>
#include <sqlite3.h>

namespace {
constexpr const char kComponent[] = "Stackvault";
constexpr int kBusyPauseMs = 20;
// As long as any connection waits for another writer (SqliteConnection::kBusyTimeoutMs).
constexpr int kBusyAttempts = SqliteConnection::kBusyTimeoutMs / kBusyPauseMs;

std::atomic<bool> g_running{false};
} // namespace

std::unique_ptr<GramBuilder> GramBuilder::StartIfNeeded(SqliteConnection& db, const QString& databasePath)
{
    if (NameGrams::NextUncounted(db) == 0) return nullptr;
    bool idle = false;
    if (!g_running.compare_exchange_strong(idle, true)) return nullptr;
    return std::unique_ptr<GramBuilder>(new GramBuilder(databasePath));
}

GramBuilder::GramBuilder(const QString& databasePath) : m_thread([this, databasePath] { Run(databasePath); }) {}

GramBuilder::~GramBuilder()
{
    m_stop = true;
    {
        // Under the lock: Run clears m_db under it before the connection closes.
        std::lock_guard lock(m_mutex);
        if (sqlite3* db = m_db.load()) sqlite3_interrupt(db);
    }
    m_thread.join();
    g_running = false;
}

// Waits for another writer like every connection does, but gives up at once when stopped.
int GramBuilder::OnBusy(void* self, int attempts)
{
    if (static_cast<GramBuilder*>(self)->m_stop || attempts >= kBusyAttempts) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(kBusyPauseMs));
    return 1;
}

void GramBuilder::Run(QString databasePath)
{
    SqliteConnection db;
    HRESULT hr = db.Open(databasePath, false);
    if (SUCCEEDED(hr)) {
        db.LimitMemory();
        sqlite3_busy_handler(db.Handle(), &GramBuilder::OnBusy, this);
        m_db = db.Handle();
    }
    int counted = 0;
    for (int64_t disc = 0; SUCCEEDED(hr) && !m_stop && (disc = NameGrams::NextUncounted(db)) != 0; ++counted) {
        WriteTransaction transaction(db);
        hr = transaction.Started();
        if (SUCCEEDED(hr)) hr = transaction.Finish(NameGrams::CountDisc(db, disc));
    }
    {
        std::lock_guard lock(m_mutex);
        m_db = nullptr;
    }
    if (FAILED(hr) && !m_stop) DumpMsg(kComponent, "gram counts: %08X after %d discs", static_cast<unsigned>(hr), counted);
}
