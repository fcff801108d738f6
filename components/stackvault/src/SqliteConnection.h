// One SQLite connection in WAL mode with a cache of prepared statements.
// Not thread-safe by itself; the engine serialises every call.
#pragma once
#include "SqliteStatement.h"
#include "hresult.h"

#include <QString>
#include <memory>
#include <string>
#include <unordered_map>

// A cached statement lent for one use; reset when the lease ends, so that no
// finished query keeps a read snapshot open.
class StatementLease {
public:
    explicit StatementLease(SqliteStatement* statement) : m_statement(statement) {}
    ~StatementLease()
    {
        if (m_statement) m_statement->Reset();
    }
    StatementLease(const StatementLease&) = delete;
    StatementLease& operator=(const StatementLease&) = delete;
    explicit operator bool() const { return m_statement != nullptr; }
    SqliteStatement* operator->() const { return m_statement; }
    SqliteStatement& operator*() const { return *m_statement; }

private:
    SqliteStatement* m_statement;
};

class SqliteConnection {
public:
    // Long enough for another connection's largest write (deleting a disc of
    // a million files) to finish; writers hold the lock only per batch.
    static constexpr int kBusyTimeoutMs = 60000;
    // Reads of the first GiB of the file go through a mapping, not a copy
    // per page read.
    static constexpr char kMapPragma[] = "PRAGMA mmap_size=1073741824";

    SqliteConnection() = default;
    ~SqliteConnection() { Close(); }
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Opens (creating when asked) the database file and sets it up for
    // several connections: WAL journal, a long busy timeout.
    HRESULT Open(const QString& path, bool create);
    // Opens an existing database only to read it, changing nothing of its
    // files (no journal mode, no checkpoint when closed); the name matching
    // functions are there as on a connection that writes.
    HRESULT OpenReadOnly(const QString& path);
    // OpenReadOnly for a connection that scans tables from end to end: the
    // file is read ahead in large blocks (ReadAheadVfs).
    HRESULT OpenForScans(const QString& path);
    void Close();
    // For a connection that reads the whole file once (a check, a copy):
    // a small page cache and no memory map, so that its memory does not
    // grow with the file. SQLite's result.
    int LimitMemory();
    bool IsOpen() const { return m_db != nullptr; }
    sqlite3* Handle() const { return m_db; }
    // The file of the open database (empty when none is open).
    QString FilePath() const;

    // A prepared statement for this SQL text, reset and ready to bind; null
    // when it cannot be prepared (the reason goes to the diagnostics).
    StatementLease Statement(const char* sql);
    // Runs statements without results; SQLite's result code.
    int Execute(const char* sql);
    int64_t LastInsertId() const;
    int Changes() const;
    // HRESULT for a SQLite result (LIBRARY_E_DAMAGED for a damaged file).
    static HRESULT FromResult(int rc);
    // HRESULT for a SQLite result, with the message written to diagnostics.
    HRESULT Failure(int rc, const char* context) const;

private:
    HRESULT OpenReadOnly(const QString& path, const char* vfs);
    int ConfigurePragmas();

    sqlite3* m_db = nullptr;
    std::unordered_map<std::string, std::unique_ptr<SqliteStatement>> m_statements;
};
