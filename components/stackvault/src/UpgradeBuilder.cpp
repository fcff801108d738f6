#include "UpgradeBuilder.h"

#include "Diagnostics.h"
#include "LibrarySchema.h"
#include "NameBlocks.h"
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

std::unique_ptr<UpgradeBuilder> UpgradeBuilder::StartIfNeeded(SqliteConnection& db, const QString& databasePath)
{
    if (NameGrams::NextUncounted(db) == 0 && !LibrarySchema::ConvertsNameBlocks(db)) return nullptr;
    bool idle = false;
    if (!g_running.compare_exchange_strong(idle, true)) return nullptr;
    return std::unique_ptr<UpgradeBuilder>(new UpgradeBuilder(databasePath));
}

UpgradeBuilder::UpgradeBuilder(const QString& databasePath) : m_thread([this, databasePath] { Run(databasePath); }) {}

UpgradeBuilder::~UpgradeBuilder()
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
int UpgradeBuilder::OnBusy(void* self, int attempts)
{
    if (static_cast<UpgradeBuilder*>(self)->m_stop || attempts >= kBusyAttempts) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(kBusyPauseMs));
    return 1;
}

void UpgradeBuilder::Run(QString databasePath)
{
    SqliteConnection db;
    HRESULT hr = db.Open(databasePath, false);
    if (SUCCEEDED(hr)) {
        db.LimitMemory();
        sqlite3_busy_handler(db.Handle(), &UpgradeBuilder::OnBusy, this);
        m_db = db.Handle();
    }
    int transactions = 0;
    if (SUCCEEDED(hr)) hr = CountGrams(db, &transactions);
    if (SUCCEEDED(hr)) hr = MakeNameBlocks(db, &transactions);
    {
        std::lock_guard lock(m_mutex);
        m_db = nullptr;
    }
    if (FAILED(hr) && !m_stop)
        DumpMsg(kComponent, "upgrade: %08X after %d transactions", static_cast<unsigned>(hr), transactions);
}

HRESULT UpgradeBuilder::CountGrams(SqliteConnection& db, int* transactions)
{
    HRESULT hr = S_OK;
    for (int64_t disc = 0; SUCCEEDED(hr) && !m_stop && (disc = NameGrams::NextUncounted(db)) != 0; ++*transactions) {
        WriteTransaction transaction(db);
        hr = transaction.Started();
        if (SUCCEEDED(hr)) hr = transaction.Finish(NameGrams::CountDisc(db, disc));
    }
    return hr;
}

HRESULT UpgradeBuilder::MakeNameBlocks(SqliteConnection& db, int* transactions)
{
    HRESULT hr = S_OK;
    for (bool finished = !LibrarySchema::ConvertsNameBlocks(db); SUCCEEDED(hr) && !m_stop && !finished; ++*transactions) {
        WriteTransaction transaction(db);
        hr = transaction.Started();
        if (SUCCEEDED(hr)) hr = transaction.Finish(NameBlocks(db).ConvertNext(&finished));
    }
    return hr;
}
