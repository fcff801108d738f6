#include "SqliteConnection.h"

#include "Diagnostics.h"
#include "ILibraryEngine.h"
#include "NameMatch.h"
#include "ReadAheadVfs.h"

#include <QFile>
#include <sqlite3.h>

namespace {
HRESULT HresultFromSqlite(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW: return S_OK;
    case SQLITE_CONSTRAINT:
    case SQLITE_TOOBIG:
    case SQLITE_MISMATCH:
    case SQLITE_RANGE: return E_INVALIDARG;
    case SQLITE_NOMEM: return E_OUTOFMEMORY;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH: return E_ACCESSDENIED;
    case SQLITE_FULL: return HresultFromWin32(112); // ERROR_DISK_FULL
    case SQLITE_CANTOPEN: return HresultFromWin32(2); // ERROR_FILE_NOT_FOUND
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return LIBRARY_E_DAMAGED;
    default: return E_FAIL;
    }
}
} // namespace

HRESULT SqliteConnection::Open(const QString& path, bool create)
{
    Close();
    if (!create && !QFile::exists(path)) return HresultFromWin32(2);
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    if (rc == SQLITE_OK) rc = ConfigurePragmas();
    if (rc == SQLITE_OK) rc = NameMatch::Register(m_db);
    if (rc != SQLITE_OK) {
        const HRESULT hr = Failure(rc, "open");
        Close();
        return hr;
    }
    return S_OK;
}

HRESULT SqliteConnection::OpenReadOnly(const QString& path) { return OpenReadOnly(path, nullptr); }

HRESULT SqliteConnection::OpenForScans(const QString& path) { return OpenReadOnly(path, ReadAheadVfs::Name()); }

HRESULT SqliteConnection::OpenReadOnly(const QString& path, const char* vfs)
{
    Close();
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, vfs);
    if (rc != SQLITE_OK) {
        const HRESULT hr = Failure(rc, "open read-only");
        Close();
        return hr;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    rc = NameMatch::Register(m_db);
    if (rc != SQLITE_OK) {
        const HRESULT hr = Failure(rc, "open read-only");
        Close();
        return hr;
    }
    return S_OK;
}

int SqliteConnection::ConfigurePragmas()
{
    sqlite3_busy_timeout(m_db, SqliteConnection::kBusyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    const int rc = sqlite3_exec(m_db,
                                "PRAGMA synchronous=NORMAL; PRAGMA journal_mode=WAL; PRAGMA temp_store=MEMORY;"
                                "PRAGMA cache_size=-16384; PRAGMA foreign_keys=OFF;",
                                nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Execute(kMapPragma) : rc;
}

int SqliteConnection::LimitMemory() { return Execute("PRAGMA mmap_size=0; PRAGMA cache_size=-2048"); }

void SqliteConnection::Close()
{
    m_statements.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

StatementLease SqliteConnection::Statement(const char* sql)
{
    if (!m_db) return StatementLease(nullptr);
    auto found = m_statements.find(sql);
    if (found == m_statements.end()) {
        auto statement = std::make_unique<SqliteStatement>(m_db, sql);
        if (statement->PrepareResult() != SQLITE_OK) {
            Failure(statement->PrepareResult(), sql);
            return StatementLease(nullptr);
        }
        found = m_statements.emplace(sql, std::move(statement)).first;
    }
    found->second->Reset();
    return StatementLease(found->second.get());
}

int SqliteConnection::Execute(const char* sql)
{
    return m_db ? sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) : SQLITE_MISUSE;
}

int64_t SqliteConnection::LastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

int SqliteConnection::Changes() const { return sqlite3_changes(m_db); }

HRESULT SqliteConnection::Failure(int rc, const char* context) const
{
    DumpMsg("Stackvault", "%s: %s (%d)", context, m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc), rc);
    return HresultFromSqlite(rc);
}

HRESULT SqliteConnection::FromResult(int rc) { return HresultFromSqlite(rc); }

QString SqliteConnection::FilePath() const
{
    const char* path = m_db ? sqlite3_db_filename(m_db, "main") : nullptr;
    return path ? QFile::decodeName(path) : QString();
}
