// The first opening of a library written by the earlier version (no
// character counts of the names): the time until the engine is open and
// answers (what the window waits for at start), against opening the same
// library once it is current (the baseline, same run); then the time until
// the counts made in the background are complete, and what a one-character
// count costs before and after.
//
//   library_upgrade [files] [discs]     (default 1000000 files on 10 discs; run from the build tree)
#include "LibraryBenchData.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <thread>

using namespace LibraryBench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kBatchRows = 600;

// `discs` discs of files/discs files each, through the engine's batches.
void Fill(const QString& path, int files, int discs)
{
    Engine engine(path);
    if (!engine.IsReady()) std::exit(1);
    NameSource names;
    std::vector<FileRow> batch;
    int id = 1;
    for (int disc = 0; disc < discs; ++disc) {
        const QByteArray identity = "UPGRADE" + QByteArray::number(disc);
        engine->AddDisc(identity.constData(), u"", u"", u"", u"Disc", u"", 0, 2, 0, files / discs, 0, 0, u"");
        LONG discId = 0, label = 0;
        engine->GetLastAddedDisc(&discId, &label);
        LibraryImportHandle handle = nullptr;
        engine->OpenImportHandle(&handle);
        for (const int last = id + files / discs; id < last;) {
            batch.clear();
            for (; id < last && batch.size() < kBatchRows; ++id) batch.push_back(names.Next(id));
            const QString text = BatchText(batch, discId, label);
            if (FAILED(engine->InsertFileRows(handle, reinterpret_cast<const char16_t*>(text.utf16()), 1))) std::exit(1);
        }
        engine->CloseImportHandle(handle);
    }
}

// What the earlier version wrote: no counts, no change count.
void MakeEarlier(const QString& path)
{
    sqlite3* db = OpenRaw(path);
    Exec(db, "DROP TABLE name_grams; DROP TABLE name_grams_uncounted; DROP TABLE library_changes; PRAGMA user_version=1");
    sqlite3_close(db);
}

int64_t Uncounted(const QString& path)
{
    sqlite3* db = OpenRaw(path);
    sqlite3_stmt* query = nullptr;
    int64_t count = -1;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM name_grams_uncounted", -1, &query, nullptr) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW)
        count = sqlite3_column_int64(query, 0);
    sqlite3_finalize(query);
    sqlite3_close(db);
    return count;
}

double CountOne(Engine& engine)
{
    LONG count = 0;
    const auto start = Clock::now();
    engine->SearchFileCount(u"q", &count);
    return Seconds(Clock::now() - start) * 1000;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int discs = std::max(1, argc > 2 ? std::atoi(argv[2]) : 10);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("library.db"));
    Fill(path, files, discs);
    std::printf("%d files on %d discs, library %.1f MB, load average %s\n", files, discs, FileSize(path) / 1e6,
                qPrintable(LoadAverage()));

    auto start = Clock::now();
    { Engine current(path); }
    const double baseline = Seconds(Clock::now() - start);
    MakeEarlier(path);

    start = Clock::now();
    Engine engine(path);
    const double opening = Seconds(Clock::now() - start);
    const double countBefore = CountOne(engine);
    while (Uncounted(path) != 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const double counted = Seconds(Clock::now() - start);
    const double countAfter = CountOne(engine);

    std::printf("opening the current library (baseline)       %8.3f s\n", baseline);
    std::printf("opening the earlier library                  %8.3f s  ratio %.2f\n", opening, opening / baseline);
    std::printf("its counts complete in the background after  %8.3f s\n", counted);
    std::printf("one-character count while counting           %8.1f ms (scanned); after: %.2f ms\n", countBefore,
                countAfter);
    return 0;
}
