#include "LibraryDamage.h"

#include <QFile>
#include <sqlite3.h>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<qint64, int>> FileTableLeaves(sqlite3* db)
{
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT pageno, ncell FROM dbstat WHERE name = 'files' AND pagetype = 'leaf' ORDER BY path",
                       -1, &query, nullptr);
    std::vector<std::pair<qint64, int>> leaves;
    while (sqlite3_step(query) == SQLITE_ROW) leaves.emplace_back(sqlite3_column_int64(query, 0), sqlite3_column_int(query, 1));
    sqlite3_finalize(query);
    return leaves;
}

// The names of the rows `first`..`first + count - 1` in key order.
QStringList FileNames(sqlite3* db, int first, int count)
{
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM files ORDER BY rowid LIMIT ? OFFSET ?", -1, &query, nullptr);
    sqlite3_bind_int(query, 1, count);
    sqlite3_bind_int(query, 2, first);
    QStringList names;
    while (sqlite3_step(query) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 0)));
    sqlite3_finalize(query);
    return names;
}

} // namespace

int DamageFileTable(const QString& library, QStringList* lostNames)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(library).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::vector<std::pair<qint64, int>> leaves = FileTableLeaves(db);
    const size_t firstLost = leaves.size() / 2;
    int before = 0, rows = 0;
    for (size_t i = 0; i < leaves.size() && i < firstLost + 3; ++i) (i < firstLost ? before : rows) += leaves[i].second;
    if (lostNames && leaves.size() >= 5) *lostNames = FileNames(db, before, rows);
    sqlite3_close(db);
    QFile file(library);
    if (leaves.size() < 5 || !file.open(QIODevice::ReadWrite)) return 0;
    for (size_t i = firstLost; i < firstLost + 3; ++i) {
        file.seek((leaves[i].first - 1) * 4096);
        file.write(QByteArray(4096, '\x5A'));
    }
    return rows;
}
