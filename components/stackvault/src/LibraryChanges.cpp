#include "LibraryChanges.h"

#include "SqliteConnection.h"

#include <QUrl>
#include <sqlite3.h>

namespace {
constexpr const char* kCountSql = "SELECT generation FROM library_changes";

int64_t CountOn(sqlite3* db)
{
    sqlite3_stmt* statement = nullptr;
    int64_t count = LibraryChanges::kUnknown;
    if (sqlite3_prepare_v2(db, kCountSql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
        count = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return count;
}
} // namespace

namespace LibraryChanges {

// Every write transaction notes its change: prepared once per connection.
int Note(SqliteConnection& db)
{
    auto update = db.Statement("UPDATE library_changes SET generation = generation + 1");
    if (!update) return SQLITE_ERROR;
    const int rc = update->Run();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int64_t Count(SqliteConnection& db) { return db.IsOpen() ? CountOn(db.Handle()) : kUnknown; }

int64_t CountOfCopy(const QString& path)
{
    // "immutable": no locks, no write-ahead log, no shared memory beside the copy.
    QUrl address = QUrl::fromLocalFile(path);
    address.setQuery(QStringLiteral("immutable=1"));
    sqlite3* db = nullptr;
    int64_t count = kUnknown;
    if (sqlite3_open_v2(address.toEncoded().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK)
        count = CountOn(db);
    sqlite3_close(db);
    return count;
}

} // namespace LibraryChanges
