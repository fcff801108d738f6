#include "PgConnection.h"

#include "Diagnostics.h"
#include "LibraryServerErrors.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <poll.h>

namespace {
constexpr char kComponent[] = "StackvaultPg";
constexpr HRESULT kDiskFull = HresultFromWin32(112); // ERROR_DISK_FULL
// The failures of a prepared statement that preparing it again cures.
constexpr char kNoSuchStatement[] = "26000"; // the session lost it
constexpr char kPlanOutdated[] = "0A000";    // its result's columns changed with its tables

// Drives a connection started with PQconnectStartParams to its end.
bool FinishConnecting(PGconn* conn)
{
    PostgresPollingStatusType status = PGRES_POLLING_WRITING;
    while (status != PGRES_POLLING_OK && status != PGRES_POLLING_FAILED) {
        pollfd descriptor{PQsocket(conn), static_cast<short>(status == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        if (descriptor.fd < 0 || poll(&descriptor, 1, -1) < 0) return false;
        status = PQconnectPoll(conn);
    }
    return status == PGRES_POLLING_OK;
}

// Why a connection failed. The server's own refusals carry their SQLSTATE
// in the message (verbose errors); anything else means it was not reached.
HRESULT ConnectFailure(PGconn* conn)
{
    if (PQconnectionNeedsPassword(conn)) return LIBRARY_E_LOGIN_REFUSED;
    static const QRegularExpression kState(QStringLiteral("FATAL:  ([0-9A-Z]{5}):"));
    const QRegularExpressionMatch match = kState.match(QString::fromUtf8(PQerrorMessage(conn)));
    if (!match.hasMatch()) return LIBRARY_E_SERVER_UNREACHABLE;
    const QByteArray state = match.captured(1).toLatin1();
    if (state.startsWith("28")) return LIBRARY_E_LOGIN_REFUSED;
    if (state == "3D000") return LIBRARY_E_NO_DATABASE;
    return PgConnection::FromSqlState(state);
}
// The program's file name, which the server shows beside the connection.
// Found once: connections open on several threads at once, and Qt fills its
// cache of the program's path unguarded on the first call (two threads
// there at once lose one of the two copies).
const QByteArray& ProgramName()
{
    static const QByteArray name = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
    return name;
}
} // namespace

HRESULT PgConnection::Open(const QString& address)
{
    Close();
    const QByteArray uri = address.toUtf8();
    const QByteArray& program = ProgramName();
    const char* keys[] = {"dbname", "client_encoding", "fallback_application_name", "connect_timeout", nullptr};
    const char* values[] = {uri.constData(), "UTF8", program.isEmpty() ? "albireo" : program.constData(), "10", nullptr};
    PGconn* conn = PQconnectStartParams(keys, values, 1);
    if (!conn) return E_OUTOFMEMORY;
    PQsetErrorVerbosity(conn, PQERRORS_VERBOSE);
    if (PQstatus(conn) == CONNECTION_BAD || !FinishConnecting(conn)) {
        const HRESULT hr = ConnectFailure(conn);
        DumpMsg(kComponent, "cannot connect: %s", PQerrorMessage(conn));
        PQfinish(conn);
        return hr;
    }
    PQsetErrorVerbosity(conn, PQERRORS_DEFAULT);
    m_conn = conn;
    m_address = address;
    // Notices (such as "relation exists, skipping") are no news for the user.
    PQsetNoticeProcessor(m_conn, [](void*, const char*) {}, nullptr);
    return S_OK;
}

void PgConnection::Close()
{
    if (m_conn) PQfinish(m_conn);
    m_conn = nullptr;
    m_prepared.clear(); // they lived in the connection's session
}

PgResult PgConnection::Exec(const char* sql, const PgParams& params)
{
    if (!m_conn) return PgResult();
    // Without parameters the simple protocol runs it, which also takes a
    // script of several statements (the schema's migrations).
    if (params.Count() == 0) return PgResult(PQexec(m_conn, sql));
    return PgResult(
        PQexecParams(m_conn, sql, params.Count(), nullptr, params.Values(), params.Lengths(), params.Formats(), 0));
}

HRESULT PgConnection::Pipeline(const std::vector<Statement>& statements, std::vector<PgResult>& results,
                              const char* context, const Arrival& arrived)
{
    std::string failedState;
    HRESULT hr = RunPipeline(statements, results, context, arrived, failedState);
    // A statement prepared before is gone (a pooler's new session) or no
    // longer fits its tables (their columns changed): it is prepared anew,
    // once. Nothing of a failed pipeline was kept (one implicit transaction).
    const bool anyPrepared = std::any_of(statements.begin(), statements.end(), [](const Statement& s) { return s.prepared; });
    if (FAILED(hr) && anyPrepared && IsOpen() && (failedState == kNoSuchStatement || failedState == kPlanOutdated)) {
        ForgetPrepared(statements);
        hr = RunPipeline(statements, results, context, arrived, failedState);
    }
    return hr;
}

HRESULT PgConnection::RunPipeline(const std::vector<Statement>& statements, std::vector<PgResult>& results,
                                  const char* context, const Arrival& arrived, std::string& failedState)
{
    results.clear();
    failedState.clear();
    if (!m_conn) return LIBRARY_E_SERVER_UNREACHABLE;
    if (!PQenterPipelineMode(m_conn)) return Failure(PgResult(), context);
    // A flush request after each statement has the server send its result
    // at once instead of with the last.
    std::vector<bool> preparing(statements.size(), false);
    bool sent = true;
    for (size_t i = 0; sent && i < statements.size(); ++i) {
        bool prepares = false;
        sent = Send(statements[i], &prepares) && PQsendFlushRequest(m_conn);
        preparing[i] = prepares;
    }
    sent = sent && PQpipelineSync(m_conn);
    HRESULT hr = sent ? S_OK : Failure(PgResult(), context);
    // Each statement's result (after its preparation's, if sent) is followed
    // by a null; the sync ends the pipeline.
    for (size_t i = 0; sent && i < statements.size(); ++i) {
        if (preparing[i]) {
            const HRESULT prepared = TakePrepared(statements[i].sql, context);
            if (SUCCEEDED(hr)) hr = prepared;
        }
        PgResult result(PQgetResult(m_conn));
        while (PGresult* extra = PQgetResult(m_conn)) PQclear(extra);
        if (SUCCEEDED(hr) && !result.Ok()) {
            hr = Failure(result, context);
            failedState = result.SqlState();
        }
        if (arrived && result.Ok()) arrived(i, result);
        results.push_back(std::move(result));
    }
    if (sent) PQclear(PQgetResult(m_conn)); // the sync
    if (!PQexitPipelineMode(m_conn) && SUCCEEDED(hr)) hr = Failure(PgResult(), context);
    if (!sent) ForgetPrepared(statements); // what was sent is unknown
    results.resize(statements.size());
    return hr;
}

bool PgConnection::Send(const Statement& statement, bool* preparing)
{
    const PgParams none;
    const PgParams& params = statement.params ? *statement.params : none;
    *preparing = false;
    if (!statement.prepared)
        return PQsendQueryParams(m_conn, statement.sql.c_str(), params.Count(), nullptr, params.Values(), params.Lengths(),
                                 params.Formats(), 0);
    auto known = m_prepared.find(statement.sql);
    if (known == m_prepared.end()) {
        const std::string name = "albireo_" + std::to_string(++m_preparedCount);
        if (!PQsendPrepare(m_conn, name.c_str(), statement.sql.c_str(), params.Count(), nullptr)) return false;
        known = m_prepared.emplace(statement.sql, name).first;
        *preparing = true;
    }
    return PQsendQueryPrepared(m_conn, known->second.c_str(), params.Count(), params.Values(), params.Lengths(),
                               params.Formats(), 0);
}

HRESULT PgConnection::TakePrepared(const std::string& sql, const char* context)
{
    const PgResult prepared(PQgetResult(m_conn));
    while (PGresult* extra = PQgetResult(m_conn)) PQclear(extra);
    if (prepared.Ok()) return S_OK;
    m_prepared.erase(sql); // not prepared: prepared again on its next run
    // A preparation skipped after an earlier failure is no failure of its own.
    return PQresultStatus(prepared.get()) == PGRES_PIPELINE_ABORTED ? S_OK : Failure(prepared, context);
}

void PgConnection::ForgetPrepared(const std::vector<Statement>& statements)
{
    for (const Statement& statement : statements)
        if (statement.prepared) m_prepared.erase(statement.sql);
}

HRESULT PgConnection::QueryPrepared(const std::string& sql, const PgParams& params, PgResult& result, const char* context)
{
    std::vector<PgResult> results;
    const HRESULT hr = Pipeline({{sql, &params, true}}, results, context);
    result = results.empty() ? PgResult() : std::move(results[0]); // none when the pipeline could not start
    return hr;
}

HRESULT PgConnection::Run(const char* sql, const PgParams& params, const char* context)
{
    const PgResult result = Exec(sql, params);
    return result.Ok() ? S_OK : Failure(result, context);
}

HRESULT PgConnection::Query(const char* sql, const PgParams& params, PgResult& result, const char* context)
{
    result = Exec(sql, params);
    return result.Ok() ? S_OK : Failure(result, context);
}

HRESULT PgConnection::Number(const char* sql, const PgParams& params, int64_t* value, const char* context)
{
    PgResult result;
    const HRESULT hr = Query(sql, params, result, context);
    if (SUCCEEDED(hr)) *value = result.Rows() > 0 && !result.IsNull(0, 0) ? result.Int64(0, 0) : 0;
    return hr;
}

HRESULT PgConnection::Copy(const char* copySql, const QByteArray& data, const char* context)
{
    std::vector<PgResult> before;
    HRESULT hr = StartScript(copySql, context);
    if (SUCCEEDED(hr)) hr = AwaitCopy(before, context);
    if (FAILED(hr)) return hr;
    hr = PutRows(data, context);
    const HRESULT ended = EndRows(SUCCEEDED(hr) ? nullptr : "the rows could not be sent", context);
    const HRESULT done = AwaitScript(context);
    // The server's own failure says more than a failure to send to it.
    return FAILED(done) ? done : FAILED(hr) ? hr : ended;
}

HRESULT PgConnection::StartScript(const std::string& script, const char* context)
{
    if (!m_conn) return LIBRARY_E_SERVER_UNREACHABLE;
    return PQsendQuery(m_conn, script.c_str()) ? S_OK : Failure(PgResult(), context);
}

HRESULT PgConnection::AwaitCopy(std::vector<PgResult>& before, const char* context)
{
    before.clear();
    HRESULT hr = S_OK;
    while (PGresult* raw = PQgetResult(m_conn)) {
        PgResult result(raw);
        if (PQresultStatus(raw) == PGRES_COPY_IN) return hr;
        if (SUCCEEDED(hr) && !result.Ok()) hr = Failure(result, context);
        before.push_back(std::move(result));
    }
    // The script ended without taking rows: a statement before the COPY failed.
    return FAILED(hr) ? hr : Failure(PgResult(), context);
}

HRESULT PgConnection::PutRows(const QByteArray& rows, const char* context)
{
    if (rows.isEmpty()) return S_OK;
    return PQputCopyData(m_conn, rows.constData(), static_cast<int>(rows.size())) == 1 ? S_OK
                                                                                         : Failure(PgResult(), context);
}

HRESULT PgConnection::EndRows(const char* refusal, const char* context)
{
    return PQputCopyEnd(m_conn, refusal) == 1 ? S_OK : Failure(PgResult(), context);
}

HRESULT PgConnection::AwaitScript(const char* context)
{
    HRESULT hr = S_OK;
    while (PGresult* raw = PQgetResult(m_conn)) {
        const PgResult result(raw);
        if (SUCCEEDED(hr) && !result.Ok()) hr = Failure(result, context);
    }
    return hr;
}

int64_t PgConnection::Changed(const PgResult& result)
{
    return result.get() ? std::strtoll(PQcmdTuples(result.get()), nullptr, 10) : 0;
}

HRESULT PgConnection::Failure(const PgResult& result, const char* context) const
{
    const char* message = result.get() ? PQresultErrorMessage(result.get()) : "";
    if (!*message && m_conn) message = PQerrorMessage(m_conn);
    DumpMsg(kComponent, "%s: %s", context, message);
    if (!m_conn || PQstatus(m_conn) == CONNECTION_BAD) return LIBRARY_E_SERVER_UNREACHABLE;
    return FromSqlState(QByteArray(result.SqlState()));
}

HRESULT PgConnection::FromSqlState(const QByteArray& state)
{
    if (state == "42501" || state == "25006") return E_ACCESSDENIED; // insufficient privilege, read-only transaction
    if (state == "53100") return kDiskFull;
    if (state == "57014") return E_ABORT;                             // query cancelled
    if (state == "3D000") return LIBRARY_E_NO_DATABASE;
    if (state.startsWith("28")) return LIBRARY_E_LOGIN_REFUSED;
    if (state.startsWith("08") || state.startsWith("57P")) return LIBRARY_E_SERVER_UNREACHABLE;
    if (state.startsWith("22") || state.startsWith("23")) return E_INVALIDARG; // bad data, constraint
    if (state == "53200") return E_OUTOFMEMORY;
    return E_FAIL;
}
