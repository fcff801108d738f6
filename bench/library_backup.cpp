// The start-up check and daily backup of a large library, as the window runs
// them on its worker thread (ILibraryMaintenance: the quick check, then
// BackUpLibrary(1)): time, peak growth of the process's resident memory and
// bytes copied, on the day of the first backup, on a later day with nothing
// changed and on a later day after a change. Baselines in the same run: `cp`
// of the library file, and the copy as it was made before (the quick check
// and one backup step over the whole file on a connection that maps up to
// 1 GB of the file into memory).
//
//   library_backup [files]     (default 1000000; run from the build tree)
#include "ILibraryMaintenance.h"
#include "LibraryBenchData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace LibraryBench;
using Clock = std::chrono::steady_clock;

namespace {

// The peak resident growth of `work` (the kernel's high-water mark reset first).
struct Measured {
    double seconds;
    double peakMegabytes;
};
template <class Work>
Measured Measure(Work work)
{
    ResetPeak();
    const double before = StatusMegabytes("VmRSS:");
    const auto start = Clock::now();
    work();
    return {Seconds(Clock::now() - start), StatusMegabytes("VmHWM:") - before};
}

QStringList Copies(const QString& library)
{
    const QFileInfo info(library);
    return info.dir().entryList({info.fileName() + QStringLiteral(".backup-*")}, QDir::Files, QDir::Name);
}

double CopiedMegabytes(const QString& library)
{
    double bytes = 0;
    for (const QString& name : Copies(library)) bytes += QFileInfo(QFileInfo(library).dir().filePath(name)).size();
    return bytes / 1e6;
}

void AgeCopies(const QString& library)
{
    QDir folder = QFileInfo(library).dir();
    int n = 0;
    for (const QString& name : Copies(library))
        folder.rename(name, QFileInfo(library).fileName() + QStringLiteral(".backup-2000010112000%1").arg(++n, 4, 10, QLatin1Char('0')));
}

// The copy as it was made before: quick check, then one step over the whole file.
void FormerStartupBackup(const QString& library, const QString& target)
{
    sqlite3* source = OpenRaw(library);
    Exec(source, "PRAGMA mmap_size=1073741824");
    Exec(source, "PRAGMA quick_check(1)");
    sqlite3* destination = nullptr;
    sqlite3_open(QFile::encodeName(target).constData(), &destination);
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    sqlite3_close(destination);
    sqlite3_close(source);
    QFile::remove(target);
}

class Maintenance {
public:
    Maintenance()
    {
        if (FAILED(m_loader.CreateLibraryEngine(&m_engine)) ||
            FAILED(m_engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&m_maintenance))))
            std::exit(1);
    }
    ~Maintenance()
    {
        m_maintenance->Release();
        m_engine->Release();
    }
    // What the window's start-up check does.
    HRESULT Startup()
    {
        const HRESULT hr = m_maintenance->CheckLibrary(0, nullptr);
        return hr == S_OK ? m_maintenance->BackUpLibrary(1) : hr;
    }

private:
    CDllCom m_loader;
    ILibraryEngine* m_engine = nullptr;
    ILibraryMaintenance* m_maintenance = nullptr;
};

void Row(const char* what, const Measured& measured, double baseSeconds, double copiedMegabytes)
{
    std::printf("%-44s %8.3f s  ratio %5.2f  peak +%7.1f MB  copies %8.1f MB\n", what, measured.seconds,
                measured.seconds / baseSeconds, measured.peakMegabytes, copiedMegabytes);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir folder;
    const QString library = folder.filePath(QStringLiteral("library.db"));
    FillOneDisc(library, files);
    std::printf("%d files, library %.1f MB, load average %s\n", files, FileSize(library) / 1e6, qPrintable(LoadAverage()));

    const Measured cp = Measure([&] { QProcess::execute(QStringLiteral("cp"), {library, folder.filePath("cp.db")}); });
    QFile::remove(folder.filePath("cp.db"));
    Row("cp of the library file (baseline)", cp, cp.seconds, 0);
    const Measured former = Measure([&] { FormerStartupBackup(library, folder.filePath("old.db")); });
    Row("former start-up: check + one-step copy", former, cp.seconds, FileSize(library) / 1e6);

    Maintenance maintenance;
    HRESULT hr = S_OK;
    // Each step measured first, then the copies it left (argument order is unspecified).
    const auto step = [&](const char* what, HRESULT expected, double copiedBefore) {
        const Measured measured = Measure([&] { hr = maintenance.Startup(); });
        Row(what, measured, cp.seconds, CopiedMegabytes(library) - copiedBefore);
        if (hr != expected) std::fprintf(stderr, "%s: %08X\n", what, static_cast<unsigned>(hr));
    };
    step("start-up, first backup", S_OK, 0);
    AgeCopies(library);
    const double before = CopiedMegabytes(library);
    step("start-up a day later, nothing changed", S_FALSE, before);
    {
        Engine engine(library);
        engine->AddTag(u"Changed", nullptr);
    }
    step("start-up a day later, after a change", S_OK, before);
    return 0;
}
