// The PostgreSQL server the tests of the library engine on PostgreSQL use:
// started once per build tree by tools/pg-test-server.sh (a temporary
// folder, a private port, run as an unprivileged user) and shared by every
// test program; CTest stops it after the last test. Each test gets a fresh
// database of its own.
#pragma once
#include <QString>
#include <QStringList>

namespace PgTestServer {

// The server's address without a database ("postgresql://user@host:port"),
// started if needed; empty when it cannot run (see WhyMissing).
QString Address();
// Why there is no server: the server programs are missing, or it failed to start.
QString WhyMissing();
// True when the tests may be skipped for want of a server: its programs are
// not installed, and this is no CI run (variable CI set), where they must be.
// A server that is installed but does not start is a failure, never a skip.
bool MaySkip();
// Creates an empty database; its address, or empty when there is no server.
QString FreshDatabase();
// Runs SQL as the server's superuser in the database at `address`; false
// (with the message in *error) when it fails.
bool Execute(const QString& address, const QString& sql, QString* error = nullptr);
// One number the SQL gives (the first column of the first row), -1 on failure.
long long Number(const QString& address, const QString& sql);
// The same address as another user (a role created for the test).
QString AsUser(const QString& address, const QString& user);
// A server of the test's own under the folder `state`, which the test may
// halt ("halt") and bring back ("start") and must end ("stop"): false when
// the command failed.
bool OwnServer(const QString& command, const QString& state);
// What a library must never hold once no import runs (an unfinished
// import, rows of no disc, file spans that are not those of the files):
// the checks that found some, empty when sound.
QStringList Inconsistencies(const QString& address);

} // namespace PgTestServer

// In a test or its SetUp: ends it when there is no server, as a skip when
// that may be (see MaySkip) and as a failure otherwise.
#define END_TEST_WITHOUT_PG_SERVER()                                                                  \
    do {                                                                                              \
        if (PgTestServer::MaySkip()) GTEST_SKIP() << "no PostgreSQL test server: "                    \
                                                  << PgTestServer::WhyMissing().toStdString();        \
        FAIL() << "no PostgreSQL test server: " << PgTestServer::WhyMissing().toStdString();          \
    } while (false)
