// Prints the rows of a query over a library file, tab-separated, one row a
// line, as `sqlite3 -separator '\t'` would, on a connection that has the
// engine's SQL functions (sv_fold among them). The library server benchmark
// fills a server from a library this way: the folded names it needs are
// made with the engine's own folding, whatever the library's layout.
//
//   library_rows LIBRARY.db "SELECT ..."
#include "NameMatch.h"

#include <sqlite3.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIBRARY.db QUERY\n", argv[0]);
        return 2;
    }
    sqlite3* db = nullptr;
    sqlite3_stmt* query = nullptr;
    int rc = sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) rc = NameMatch::Register(db);
    if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, argv[2], -1, &query, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(query)) == SQLITE_ROW) {
        rc = SQLITE_OK;
        for (int column = 0; column < sqlite3_column_count(query); ++column) {
            if (column) std::fputc('\t', stdout);
            const auto* text = sqlite3_column_text(query, column);
            if (text) std::fputs(reinterpret_cast<const char*>(text), stdout);
        }
        std::fputc('\n', stdout);
    }
    const bool done = rc == SQLITE_DONE;
    if (!done) std::fprintf(stderr, "%s: %s\n", argv[1], db ? sqlite3_errmsg(db) : "cannot open");
    sqlite3_finalize(query);
    sqlite3_close(db);
    return done && std::fflush(stdout) == 0 ? 0 : 1;
}
