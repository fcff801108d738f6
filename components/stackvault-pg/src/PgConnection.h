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
#include <unordered_map>
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
    // A statement marked `prepared` is prepared on the connection the
    // first time it runs (in the same round trip) and run by name after
    // that: the server parses it once, and after a few runs keeps its plan
    // instead of planning it again each time.
    struct Statement {
        std::string sql;
        const PgParams* params = nullptr;
        bool prepared = false;
    };
    using Arrival = std::function<void(size_t index, const PgResult& result)>;
    HRESULT Pipeline(const std::vector<Statement>& statements, std::vector<PgResult>& results, const char* context,
                     const Arrival& arrived = {});
    // Runs one statement prepared on this connection (see Statement) and keeps its rows in `result`.
    HRESULT QueryPrepared(const std::string& sql, const PgParams& params, PgResult& result, const char* context);
    // Runs one statement that gives no rows; S_OK or the failure.
    HRESULT Run(const char* sql, const PgParams& params = {}, const char* context = "statement");
    // Runs one statement and keeps its rows in `result`.
    HRESULT Query(const char* sql, const PgParams& params, PgResult& result, const char* context);
    // One number (the first column of the first row; 0 when no row).
    HRESULT Number(const char* sql, const PgParams& params, int64_t* value, const char* context);
    // Sends `data` (COPY text format) to a "COPY ... FROM STDIN" statement.
    HRESULT Copy(const char* copySql, const QByteArray& data, const char* context);
    // A script holding a COPY: statements without parameters, sent in one
    // go (simple protocol), one of them "COPY ... FROM STDIN". StartScript
    // sends it without waiting; AwaitCopy reads the results of the
    // statements before the COPY (into `before`) until the server takes
    // rows; PutRows sends rows (COPY text format) while later ones are still
    // being made; EndRows ends the rows, or abandons them with `refusal`
    // (the COPY fails), without waiting; AwaitScript reads the results of
    // the COPY and the statements after it. After a failure the server
    // skips the rest of the script.
    HRESULT StartScript(const std::string& script, const char* context);
    HRESULT AwaitCopy(std::vector<PgResult>& before, const char* context);
    HRESULT PutRows(const QByteArray& rows, const char* context);
    HRESULT EndRows(const char* refusal, const char* context);
    HRESULT AwaitScript(const char* context);
    // Number of rows the last statement changed.
    static int64_t Changed(const PgResult& result);

    // The HRESULT for a failed result, with the server's message in the diagnostics.
    HRESULT Failure(const PgResult& result, const char* context) const;
    // The HRESULT for a SQLSTATE.
    static HRESULT FromSqlState(const QByteArray& state);

private:
    // One attempt at Pipeline; `failedState` receives the SQLSTATE of the first failure.
    HRESULT RunPipeline(const std::vector<Statement>& statements, std::vector<PgResult>& results, const char* context,
                        const Arrival& arrived, std::string& failedState);
    // Sends `statement` (preparing it first when this connection has not);
    // `preparing` tells whether a preparation's result comes before its own.
    bool Send(const Statement& statement, bool* preparing);
    // Reads the result of a preparation sent before a statement; S_OK or its failure.
    HRESULT TakePrepared(const std::string& sql, const char* context);
    void ForgetPrepared(const std::vector<Statement>& statements);

    PGconn* m_conn = nullptr;
    QString m_address;
    // The statements prepared on this connection: their SQL and their names.
    std::unordered_map<std::string, std::string> m_prepared;
    int m_preparedCount = 0;
};
