// Substring search over file names: the library engine's file search
// (SearchFileCount) against SELECT count(*) ... LIKE '%text%' over the same
// table, in the same run, medians of alternating runs; "engine+fetch" adds
// SearchFiles filling every record. The library holds four discs of
// 500,000 files each (2,000,000 names).
//
//   library_search [files]     (default 2000000; run from the build tree)
#include "LibraryBenchData.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace LibraryBench;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int kDiscs = 4;
constexpr int kBatchRows = 600;
constexpr int kRuns = 7;      // LIKE and engine alternate, so load on the shared machine hits both
constexpr int kFetchRuns = 3;

void Fill(Engine& engine, int files)
{
    NameSource names;
    int id = 1;
    for (int d = 0; d < kDiscs; ++d) {
        const std::string identity = "SEARCH" + std::to_string(d);
        engine->AddDisc(identity.c_str(), u"", u"", u"", u"Disc", u"", 0, 2, 0, 0, 0, 0, u"");
        LONG disc = 0, label = 0;
        engine->GetLastAddedDisc(&disc, &label);
        LibraryImportHandle handle = nullptr;
        engine->OpenImportHandle(&handle);
        const int last = files * (d + 1) / kDiscs;
        std::vector<FileRow> batch;
        while (id <= last) {
            batch.clear();
            for (; id <= last && batch.size() < kBatchRows; ++id) batch.push_back(names.Next(id));
            const QString text = BatchText(batch, disc, 4);
            if (FAILED(engine->InsertFileRows(handle, reinterpret_cast<const char16_t*>(text.utf16()), 1))) std::exit(1);
        }
        engine->CloseImportHandle(handle);
    }
}

QByteArray LikePattern(const QString& text)
{
    QByteArray escaped = text.toUtf8();
    escaped.replace("\\", "\\\\").replace("%", "\\%").replace("_", "\\_");
    return "%" + escaped + "%";
}

struct Timing {
    double milliseconds;
    long long count;
};

template <class Run>
Timing Measure(int runs, Run run)
{
    std::vector<double> times;
    long long count = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        count = run();
        times.push_back(Seconds(Clock::now() - start) * 1000);
    }
    return {Median(times), count};
}

long long LikeCount(sqlite3* db, const QString& text)
{
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM files WHERE name LIKE ? ESCAPE '\\'", -1, &query, nullptr);
    const QByteArray pattern = LikePattern(text);
    sqlite3_bind_text(query, 1, pattern.constData(), static_cast<int>(pattern.size()), SQLITE_TRANSIENT);
    sqlite3_step(query);
    const long long count = sqlite3_column_int64(query, 0);
    sqlite3_finalize(query);
    return count;
}

long long EngineCount(Engine& engine, const QString& text)
{
    LONG count = -1;
    engine->SearchFileCount(reinterpret_cast<const char16_t*>(text.utf16()), &count);
    return count;
}

long long EngineAnswer(Engine& engine, const QString& text)
{
    const LONG count = static_cast<LONG>(EngineCount(engine, text));
    std::vector<ItemRecord> records(count > 0 ? count : 0);
    engine->SearchFiles(reinterpret_cast<const char16_t*>(text.utf16()), records.data(), count);
    return count;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000000;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("search.db"));
    Engine engine(path);
    if (!engine.IsReady()) return 1;
    const auto start = Clock::now();
    Fill(engine, files);
    std::printf("library of %d file names built in %.1f s\n", files, Seconds(Clock::now() - start));
    sqlite3* raw = OpenRaw(path);

    NameSource names;
    const QStringList longQueries = {names.Word(100).toLower(), names.Word(2345).toUpper(), names.Word(4567),
                                     QStringLiteral("holiday"), QStringLiteral("img_12"), QStringLiteral("2019"),
                                     QStringLiteral("final_"), QStringLiteral("ber"), QStringLiteral("xan"),
                                     QStringLiteral("concert 20"), QStringLiteral(".flac"), QStringLiteral(".jpg")};
    const QStringList shortQueries = {QStringLiteral("q"), QStringLiteral("7"), QStringLiteral("zx"),
                                      QStringLiteral("ka"), QStringLiteral("_")};

    std::printf("\n%-14s %9s %12s %14s %12s %8s\n", "query", "matches", "engine ms", "engine+fetch", "LIKE ms",
                "ratio");
    double worstLong = 1e9, worstShort = 1e9;
    bool countsAgree = true;
    for (const QStringList* group : {&longQueries, &shortQueries}) {
        for (const QString& query : *group) {
            std::vector<double> likeTimes, countTimes;
            Timing like{}, count{};
            for (int run = 0; run < kRuns; ++run) {
                like = Measure(1, [&] { return LikeCount(raw, query); });
                count = Measure(1, [&] { return EngineCount(engine, query); });
                likeTimes.push_back(like.milliseconds);
                countTimes.push_back(count.milliseconds);
            }
            like.milliseconds = Median(likeTimes);
            count.milliseconds = Median(countTimes);
            const Timing answer = Measure(kFetchRuns, [&] { return EngineAnswer(engine, query); });
            const double ratio = like.milliseconds / count.milliseconds;
            (group == &longQueries ? worstLong : worstShort) =
                std::min(group == &longQueries ? worstLong : worstShort, ratio);
            countsAgree = countsAgree && like.count == count.count;
            std::printf("%-14s %9lld %12.2f %14.2f %12.1f %8.1f%s\n", qPrintable("\"" + query + "\""), count.count,
                        count.milliseconds, answer.milliseconds, like.milliseconds, ratio,
                        like.count == count.count ? "" : "  (counts differ!)");
        }
        std::printf("\n");
    }
    std::printf("lowest ratio LIKE / engine, queries of 3+ characters: %.1f (needed: at least 30)\n", worstLong);
    std::printf("lowest ratio LIKE / engine, queries of 1-2 characters: %.2f (needed: at least 1)\n", worstShort);
    std::printf("engine and LIKE counts %s\n", countsAgree ? "agree" : "DIFFER");
    sqlite3_close(raw);
    return countsAgree ? 0 : 1;
}
