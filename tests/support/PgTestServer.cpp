#include "PgTestServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <atomic>
#include <libpq-fe.h>
#include <mutex>
#include <unistd.h>

namespace {
struct ServerState {
    QString address;
    QString why;
    bool programsMissing = false;
};

QString ReadLine(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

// Runs tools/pg-test-server.sh; its error output when it failed.
bool RunScript(const QString& command, const QString& state, QString* error = nullptr)
{
    QProcess script;
    script.start(QStringLiteral(ALBIREO_DEFAULT_SOURCE_DIR "/tools/pg-test-server.sh"), {command, state});
    const bool ok = script.waitForFinished(180000) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    if (!ok && error) *error = QString::fromUtf8(script.readAllStandardError());
    return ok;
}

ServerState Start()
{
    const QString state = QStringLiteral(ALBIREO_PG_STATE_DIR);
    QString error;
    if (!RunScript(QStringLiteral("start"), state, &error)) return {{}, QStringLiteral("the test server did not start: ") + error};
    const QString missing = ReadLine(state + QStringLiteral("/missing"));
    if (!missing.isEmpty()) return {{}, missing, true};
    return {ReadLine(state + QStringLiteral("/address")), {}};
}

const ServerState& Server()
{
    static std::once_flag once;
    static ServerState server;
    std::call_once(once, [] {
        // The test server takes local logins without Kerberos: libpq (and
        // every program the test starts) does not try GSSAPI encryption
        // first, whose Kerberos library keeps thread data at exit that
        // LeakSanitizer reports.
        qputenv("PGGSSENCMODE", "disable");
        server = Start();
    });
    return server;
}
} // namespace

namespace PgTestServer {

QString Address() { return Server().address; }

QString WhyMissing() { return Server().why; }

bool MaySkip() { return Server().programsMissing && qEnvironmentVariableIsEmpty("CI"); }

QString FreshDatabase()
{
    static std::atomic<int> counter{0};
    const QString address = Address();
    if (address.isEmpty()) return {};
    const QString name = QStringLiteral("library_%1_%2").arg(getpid()).arg(++counter);
    QString error;
    if (!Execute(address + QStringLiteral("/postgres"), QStringLiteral("CREATE DATABASE ") + name, &error)) {
        qWarning("cannot create a test database: %s", qPrintable(error));
        return {};
    }
    return address + QLatin1Char('/') + name;
}

bool Execute(const QString& address, const QString& sql, QString* error)
{
    PGconn* conn = PQconnectdb(address.toUtf8().constData());
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    PGresult* result = PQstatus(conn) == CONNECTION_OK ? PQexec(conn, sql.toUtf8().constData()) : nullptr;
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok && error) *error = QString::fromUtf8(PQerrorMessage(conn));
    PQclear(result);
    PQfinish(conn);
    return ok;
}

long long Number(const QString& address, const QString& sql)
{
    PGconn* conn = PQconnectdb(address.toUtf8().constData());
    PGresult* result = PQstatus(conn) == CONNECTION_OK ? PQexec(conn, sql.toUtf8().constData()) : nullptr;
    long long value = -1;
    if (result && PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0)
        value = QByteArray(PQgetvalue(result, 0, 0)).toLongLong();
    PQclear(result);
    PQfinish(conn);
    return value;
}

QString AsUser(const QString& address, const QString& user)
{
    QString changed = address;
    changed.replace(QRegularExpression(QStringLiteral("^postgresql://[^@/]*@")), QStringLiteral("postgresql://") + user + '@');
    return changed;
}

bool OwnServer(const QString& command, const QString& state) { return RunScript(command, state); }

QStringList Inconsistencies(const QString& address)
{
    QStringList found;
    for (const char* check :
         {"SELECT count(*) FROM imports", "SELECT count(*) FROM discs WHERE import_id IS NOT NULL",
          "SELECT count(*) FROM name_grams g WHERE NOT EXISTS (SELECT 1 FROM discs d WHERE d.id = g.disc_id)",
          "SELECT count(*) FROM disc_paths p WHERE NOT EXISTS (SELECT 1 FROM discs d WHERE d.id = p.disc_id)"
          " OR NOT EXISTS (SELECT 1 FROM paths t WHERE t.id = p.path_id)",
          "SELECT count(*) FROM disc_gaps g WHERE NOT EXISTS (SELECT 1 FROM discs d WHERE d.id = g.disc_id)",
          "SELECT count(*) FROM files f WHERE NOT EXISTS (SELECT 1 FROM discs d WHERE d.id = f.disc_id)",
          "SELECT count(*) FROM folders f WHERE NOT EXISTS (SELECT 1 FROM discs d WHERE d.id = f.disc_id)",
          // Each folder with files has a span from its lowest to its highest file id, and no other.
          "SELECT count(*) FROM (SELECT disc_id, folder_id, min(id) AS first_id, max(id) AS last_id FROM files"
          " GROUP BY disc_id, folder_id) f FULL JOIN file_spans s USING (disc_id, folder_id)"
          " WHERE f.first_id IS DISTINCT FROM s.first_id OR f.last_id IS DISTINCT FROM s.last_id"})
        if (Number(address, QString::fromLatin1(check)) != 0) found << QString::fromLatin1(check);
    return found;
}

} // namespace PgTestServer
