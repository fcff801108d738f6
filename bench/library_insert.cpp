// Inserting file rows: through the library engine as batches of 600 rows,
// against raw prepared SQLite statements in one transaction writing the
// same rows (the file row and its name index entry, the folded name made
// in memory) into the same schema, in the same run. Also reports the database size.
//
//   library_insert [rows]     (default 1000000; run from the build tree)
#include "LibraryBenchData.h"

#include "Utf16Text.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sqlite3.h>

using namespace LibraryBench;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int kBatchRows = 600;

// Creates the engine's schema and one disc in a fresh database.
int PrepareDatabase(const QString& path)
{
    Engine engine(path);
    if (!engine.IsReady() || FAILED(engine->AddDisc("BENCH", u"", u"", u"", u"Bench", u"", 0, 2, 0, 0, 0, 0, u"")))
        std::exit(1);
    LONG disc = 0, label = 0;
    engine->GetLastAddedDisc(&disc, &label);
    return disc;
}

double g_closeSeconds = 0;

double InsertThroughEngine(const QString& path, int rows)
{
    const int disc = PrepareDatabase(path);
    Engine engine(path);
    NameSource names;
    LibraryImportHandle handle = nullptr;
    engine->OpenImportHandle(&handle);
    Clock::duration spent{};
    std::vector<FileRow> batch;
    for (int id = 1; id <= rows; id += kBatchRows) {
        batch.clear();
        for (int i = id; i < id + kBatchRows && i <= rows; ++i) batch.push_back(names.Next(i));
        const QString text = BatchText(batch, disc, 4); // the scanner's work, not timed
        const auto start = Clock::now();
        const HRESULT hr = engine->InsertFileRows(handle, reinterpret_cast<const char16_t*>(text.utf16()), 1);
        spent += Clock::now() - start;
        if (FAILED(hr)) {
            std::fprintf(stderr, "InsertFileRows: %08X\n", static_cast<unsigned>(hr));
            std::exit(1);
        }
    }
    const auto start = Clock::now();
    engine->CloseImportHandle(handle);
    g_closeSeconds = Seconds(Clock::now() - start);
    spent += Clock::now() - start;
    return Seconds(spent);
}

double InsertRaw(const QString& path, int rows, bool withSearchIndex)
{
    const int disc = PrepareDatabase(path);
    sqlite3* db = OpenRaw(path);
    sqlite3_stmt* insertFile = nullptr;
    sqlite3_stmt* insertName = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO files(id, name, size, type, time, disc_id, folder_id, path_id)"
                       " VALUES(?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insertFile, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO file_names(rowid, fold) VALUES(?, ?)", -1, &insertName, nullptr);
    NameSource names;
    Clock::duration spent{};
    auto start = Clock::now();
    Exec(db, "BEGIN");
    spent += Clock::now() - start;
    for (int id = 1; id <= rows; ++id) {
        const FileRow row = names.Next(id); // not timed, as for the engine
        start = Clock::now();
        sqlite3_bind_int64(insertFile, 1, row.id);
        sqlite3_bind_text16(insertFile, 2, row.name.utf16(), static_cast<int>(row.name.size() * 2), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insertFile, 3, row.size);
        sqlite3_bind_text16(insertFile, 4, row.type.utf16(), static_cast<int>(row.type.size() * 2), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insertFile, 5, row.time);
        sqlite3_bind_int64(insertFile, 6, disc);
        sqlite3_bind_int64(insertFile, 7, row.folder);
        sqlite3_bind_int64(insertFile, 8, row.path);
        if (sqlite3_step(insertFile) != SQLITE_DONE) std::exit(1);
        sqlite3_reset(insertFile);
        if (withSearchIndex) {
            const QByteArray fold = Utf16Text::Folded(row.name);
            sqlite3_bind_int64(insertName, 1, row.id);
            sqlite3_bind_text(insertName, 2, fold.constData(), static_cast<int>(fold.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(insertName) != SQLITE_DONE) std::exit(1);
            sqlite3_reset(insertName);
        }
        spent += Clock::now() - start;
    }
    start = Clock::now();
    Exec(db, "COMMIT");
    spent += Clock::now() - start;
    sqlite3_finalize(insertFile);
    sqlite3_finalize(insertName);
    sqlite3_close(db);
    return Seconds(spent);
}

void ReportSize(const QString& path, int rows)
{
    sqlite3* db = OpenRaw(path);
    Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    const double megabytes = FileSize(path) / 1e6;
    std::printf("database size: %.1f MB for %d files = %.1f MB per million files\n", megabytes, rows,
                megabytes * 1e6 / rows);
    std::printf("%s", SpaceByTable(db).c_str());
    sqlite3_close(db);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    constexpr int kRounds = 2; // alternating, best of each: the machine is shared
    std::printf("inserting %d file rows (batches of %d), best of %d alternating rounds\n", rows, kBatchRows, kRounds);

    double raw = 1e99, engine = 1e99, close = 0, plain = 1e99;
    QString engineDatabase;
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    for (int round = 0; round < kRounds; ++round) {
        folders.push_back(std::make_unique<QTemporaryDir>());
        QTemporaryDir& folder = *folders.back();
        raw = std::min(raw, InsertRaw(folder.filePath(QStringLiteral("raw.db")), rows, true));
        const double engineRound = InsertThroughEngine(folder.filePath(QStringLiteral("engine.db")), rows);
        if (engineRound < engine) {
            engine = engineRound;
            close = g_closeSeconds;
            engineDatabase = folder.filePath(QStringLiteral("engine.db"));
        }
        plain = std::min(plain, InsertRaw(folder.filePath(QStringLiteral("plain.db")), rows, false));
    }

    std::printf("raw prepared statements, one transaction: %7.2f s  %9.0f rows/s\n", raw, rows / raw);
    std::printf("engine, batches of %d:                  %7.2f s  %9.0f rows/s\n", kBatchRows, engine, rows / engine);
    std::printf("  of which closing the import (name index): %.2f s\n", close);
    std::printf("ratio engine / raw: %.2f (needed: at least 0.50)\n", raw / engine);
    std::printf("for scale: raw file rows alone, without folded names and index: %.2f s  %9.0f rows/s\n", plain,
                rows / plain);
    ReportSize(engineDatabase, rows);
    return 0;
}
