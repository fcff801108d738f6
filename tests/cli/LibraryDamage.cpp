#include "LibraryDamage.h"

#include <QFile>
#include <sqlite3.h>
#include <utility>
#include <vector>

int DamageFileTable(const QString& library)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(library).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT pageno, ncell FROM dbstat WHERE name = 'files' AND pagetype = 'leaf' ORDER BY path",
                       -1, &query, nullptr);
    std::vector<std::pair<qint64, int>> leaves;
    while (sqlite3_step(query) == SQLITE_ROW) leaves.emplace_back(sqlite3_column_int64(query, 0), sqlite3_column_int(query, 1));
    sqlite3_finalize(query);
    sqlite3_close(db);
    QFile file(library);
    if (leaves.size() < 5 || !file.open(QIODevice::ReadWrite)) return 0;
    int rows = 0;
    for (size_t i = leaves.size() / 2; i < leaves.size() / 2 + 3; ++i) {
        file.seek((leaves[i].first - 1) * 4096);
        file.write(QByteArray(4096, '\x5A'));
        rows += leaves[i].second;
    }
    return rows;
}
