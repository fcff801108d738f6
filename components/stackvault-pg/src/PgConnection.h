// One connection to the library's database server (libpq), in UTF-8.
// Not thread-safe by itself; the engine serialises every call. Failures
// become HRESULTs: the server unreachable or gone, a refused login, a
// missing database, a refused write (E_ACCESSDENIED), bad data
// (E_INVALIDARG), a full disk.
#pragma once
#include "PgParams.h"
#include "PgResult.h"
#include "hresult.h"

#include <QString>
#include <functional>
#include <string>
#include <vector>

class PgConnection {
public:
    PgConnection() = default;
    ~PgConnection() { Close(); }
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Connects to the database at `address` (libpq's URI or key=value form).
    HRESULT Open(const QString& address);
    void Close();
    bool IsOpen() const { return m_conn != nullptr; }
    PGconn* Handle() const { return m_conn; }
    const QString& Address() const { return m_address; }

    // Runs one statement; the result holds rows or the failure.
    PgResult Exec(const char* sql, const PgParams& params = {});
    // Runs several statements in one round trip (a pipeline), in order;
    // `results` receives one result per statement, and `arrived` (when
    // given) sees each as soon as the server sends it, before the later
    // ones are done. After a failure the rest are skipped (their results
    // fail too); the first failure is returned.
    struct Statement {
        std::string sql;
        const PgParams* params = nullptr;
    };
    using Arrival = std::function<void(size_t index, const PgResult& result)>;
    HRESULT Pipeline(const std::vector<Statement>& statements, std::vector<PgResult>& results, const char* context,
                     const Arrival& arrived = {});
    // Runs one statement that gives no rows; S_OK or the failure.
    HRESULT Run(const char* sql, const PgParams& params = {}, const char* context = "statement");
    // Runs one statement and keeps its rows in `result`.
    HRESULT Query(const char* sql, const PgParams& params, PgResult& result, const char* context);
    // One number (the first column of the first row; 0 when no row).
    HRESULT Number(const char* sql, const PgParams& params, int64_t* value, const char* context);
    // Sends `data` (COPY text format) to a "COPY ... FROM STDIN" statement.
    HRESULT Copy(const char* copySql, const QByteArray& data, const char* context);
    // Number of rows the last statement changed.
    static int64_t Changed(const PgResult& result);

    // The HRESULT for a failed result, with the server's message in the diagnostics.
    HRESULT Failure(const PgResult& result, const char* context) const;
    // The HRESULT for a SQLSTATE.
    static HRESULT FromSqlState(const QByteArray& state);

private:
    PGconn* m_conn = nullptr;
    QString m_address;
};
