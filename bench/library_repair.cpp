// Repairing a library of one disc of 100,000 files (ILibraryMaintenance::
// RepairLibrary: backup, row-by-row copy, name indexes rebuilt, full check,
// swap) against SQLite's VACUUM INTO of the same library (a plain copy of
// every table and index, no checks), best of three each, in the same run;
// once on the sound library and once with three pages of the file table
// overwritten.
//
//   library_repair [files]     (default 100000; run from the build tree)
#include "ILibraryMaintenance.h"
#include "LibraryBenchData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace LibraryBench;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int kRuns = 3;

double Vacuum(const QString& path, const QString& target)
{
    QFile::remove(target);
    sqlite3* db = OpenRaw(path);
    const QByteArray sql = "VACUUM INTO '" + QFile::encodeName(target) + "'";
    const auto start = Clock::now();
    Exec(db, sql.constData());
    const double seconds = Seconds(Clock::now() - start);
    sqlite3_close(db);
    return seconds;
}

// Repairs a fresh copy of `original`; the kept copies are removed afterwards.
double Repair(const QString& original, const QString& path, int64_t* lost)
{
    for (const QString& name : QDir(QFileInfo(path).path()).entryList({QFileInfo(path).fileName() + "*"}, QDir::Files))
        QFile::remove(QFileInfo(path).dir().filePath(name));
    QFile::copy(original, path);
    CDllCom loader;
    ILibraryEngine* engine = nullptr;
    ILibraryMaintenance* maintenance = nullptr;
    if (FAILED(loader.CreateLibraryEngine(&engine)) ||
        FAILED(engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance))))
        std::exit(1);
    auto report = std::make_unique<LibraryRepairReport>();
    const auto start = Clock::now();
    const HRESULT hr = maintenance->RepairLibrary(report.get());
    const double seconds = Seconds(Clock::now() - start);
    maintenance->Release();
    engine->Release();
    if (FAILED(hr)) std::exit(1);
    *lost = report->rowsLost;
    return seconds;
}

// Three pages in the middle of the file overwritten with a pattern.
void Damage(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    const qint64 pages = file.size() / 4096;
    for (qint64 page = pages / 2; page < pages / 2 + 3; ++page) {
        file.seek(page * 4096);
        file.write(QByteArray(4096, '\x5A'));
    }
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir folder;
    const QString original = folder.filePath("original.db"), damaged = folder.filePath("damaged.db");
    const QString path = folder.filePath("work/library.db");
    QDir().mkpath(folder.filePath("work"));
    FillOneDisc(original, files);
    QFile::copy(original, damaged);
    Damage(damaged);
    qputenv("ALBIREO_LIBRARY_DB", QFile::encodeName(path));

    std::vector<double> vacuum, sound, broken;
    int64_t lostSound = 0, lostBroken = 0;
    for (int run = 0; run < kRuns; ++run) {
        vacuum.push_back(Vacuum(original, folder.filePath("vacuum.db")));
        sound.push_back(Repair(original, path, &lostSound));
        broken.push_back(Repair(damaged, path, &lostBroken));
    }
    const double base = *std::min_element(vacuum.begin(), vacuum.end());
    const double repairSound = *std::min_element(sound.begin(), sound.end());
    const double repairBroken = *std::min_element(broken.begin(), broken.end());
    std::printf("%d files, %.1f MB\n", files, FileSize(original) / 1e6);
    std::printf("VACUUM INTO (baseline)      %.3f s\n", base);
    std::printf("repair, sound library       %.3f s  ratio %.2f  rows lost %lld\n", repairSound, repairSound / base,
                static_cast<long long>(lostSound));
    std::printf("repair, 3 pages overwritten %.3f s  ratio %.2f  rows lost %lld\n", repairBroken, repairBroken / base,
                static_cast<long long>(lostBroken));
    return 0;
}
