// Sorting a large folder in the window. A library with a disc for each size
// asked for, whose folder "Big" holds N entries (100 folders, the rest files with the names of the
// other library benchmarks) is made through the engine's import batches in
// a temporary folder and shown in the real window (offscreen). Each column
// is clicked twice (ascending, then descending); the first click on the name
// comes right after the folder opened, while its listing may still be
// filling. For each click: the time until the rows are in order and the
// first screen is painted, the longest time the window's thread did not
// answer meanwhile (the goal: never more than 100 ms) and how much of any
// one such gap was the thread's own work (the rest is its wait for a core
// on a loaded machine), the processor time
// the whole process used meanwhile (all its threads: on a loaded machine
// the time until the rows are in order is mostly the wait for a core), and
// the growth of the process's peak resident memory. The baseline, in the same run: GNU
// `sort -f` over a text file of the same N names (best of three).
//
//   library_sort [entries...]     (default 100000; a folder of each size)
#include "CAlbireoApp.h"
#include "CFileListView.h"
#include "CMainFrame.h"
#include "LibraryBenchData.h"
#include "PowerNotices.h"
#include "WindowBench.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace WindowBench;
using LibraryBench::StatusMegabytes;

namespace {

constexpr int kBatchRows = 600;
constexpr int kSubfolders = 100;
constexpr int kFolderIdsPerDisc = 1000;
constexpr int kRuns = 3;

const char16_t* W(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

void Check(HRESULT hr, const char* what)
{
    if (SUCCEEDED(hr)) return;
    std::fprintf(stderr, "%s failed: %08X\n", what, static_cast<unsigned>(hr));
    std::exit(1);
}

QString Quoted(QString text) { return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); }

// "\Big" in the disc's root (id `big`) and its subfolders "\Big\Sub n" (the ids after it).
void AddFolders(LibraryBench::Engine& engine, LibraryImportHandle handle, int discId, int big, QFile& names)
{
    QStringList pathRows{QStringLiteral("%1, '\\Big'").arg(big)};
    QStringList folderRows{QStringLiteral("%1, 'Big', 0, 'Folder', 130000000000000000, %2, 4, 0, 0").arg(big).arg(discId)};
    for (int n = 1; n <= kSubfolders; ++n) {
        const int id = big + n;
        const QString name = QStringLiteral("Sub %1").arg(n);
        pathRows << QStringLiteral("%1, %2").arg(id).arg(Quoted(QStringLiteral("\\Big\\") + name));
        folderRows << QStringLiteral("%1, %2, 0, 'Folder', %3, %4, 4, %5, %5")
                          .arg(id)
                          .arg(Quoted(name))
                          .arg(130000000000000000LL + n * 600000000LL)
                          .arg(discId)
                          .arg(big);
        names.write(name.toUtf8() + '\n');
    }
    const QString separator = QStringLiteral(" UNION SELECT ");
    Check(engine->InsertPathRows(handle, W(QStringLiteral(" SELECT ") + pathRows.join(separator)), 1), "paths");
    Check(engine->InsertFolderRows(handle, W(QStringLiteral(" SELECT ") + folderRows.join(separator)), 1), "folders");
}

struct BigFolder {
    int entries;
    int disc;
    int folder;
    QString names; // a text file of its names, one a line
};

// A disc holding a folder of `entries` entries, whose file ids start after `firstFile`.
BigFolder AddDisc(LibraryBench::Engine& engine, int entries, int index, int firstFile, const QTemporaryDir& scratch)
{
    const QByteArray identity = "SORTBENCH" + QByteArray::number(index);
    Check(engine->AddDisc(identity.constData(), u"", u"", u"", W(QStringLiteral("Sort %1").arg(entries)), u"", 0, 2, 0, 0,
                          0, 0, u"05/04/2023 10:20:30"),
          "AddDisc");
    LONG discId = 0, label = 0;
    engine->GetLastAddedDisc(&discId, &label);
    const BigFolder big{entries, int(discId), (index + 1) * kFolderIdsPerDisc,
                        scratch.filePath(QStringLiteral("names-%1.txt").arg(index))};
    QFile names(big.names);
    if (!names.open(QIODevice::WriteOnly)) std::exit(1);
    LibraryImportHandle handle = nullptr;
    Check(engine->OpenImportHandle(&handle), "OpenImportHandle");
    AddFolders(engine, handle, discId, big.folder, names);
    LibraryBench::NameSource source;
    std::vector<LibraryBench::FileRow> batch;
    const int last = firstFile + entries - kSubfolders;
    for (int id = firstFile + 1; id <= last;) {
        batch.clear();
        QByteArray lines;
        for (; id <= last && batch.size() < kBatchRows; ++id) {
            LibraryBench::FileRow row = source.Next(id);
            row.folder = row.path = big.folder;
            lines += row.name.toUtf8() + '\n';
            batch.push_back(std::move(row));
        }
        Check(engine->InsertFileRows(handle, W(LibraryBench::BatchText(batch, discId, label)), 1), "InsertFileRows");
        names.write(lines);
    }
    Check(engine->CloseImportHandle(handle), "CloseImportHandle");
    return big;
}

std::vector<BigFolder> MakeLibrary(const QString& database, const std::vector<int>& sizes, const QTemporaryDir& scratch)
{
    LibraryBench::Engine engine(database);
    if (!engine.IsReady()) std::exit(1);
    std::vector<BigFolder> folders;
    int files = 0;
    for (int entries : sizes) {
        std::fprintf(stderr, "making a folder of %d entries\n", entries);
        folders.push_back(AddDisc(engine, entries, int(folders.size()), files, scratch));
        files += entries;
    }
    return folders;
}

double SortNames(const QString& namesPath)
{
    double best = 1e12;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(QStringLiteral("sort"), {QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null"), namesPath});
        best = std::min(best, Milliseconds(timer));
    }
    return best;
}

struct Click {
    double milliseconds;
    double longestStall;
    double longestBusy; // the window's thread's own processor time in any one gap
    double processorMilliseconds;
    double peakGrowth;
};

// User and system time of every thread of the process so far.
double ProcessorMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& time) { return time.tv_sec * 1000.0 + time.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Clicks the column from the event loop and waits until the listing is
// complete and its rows are in order; then paints. The window's thread
// sleeps between events, as in the program's own event loop: processEvents
// with a time limit never waits for an event (it drops WaitForMoreEvents),
// and looping on it kept that thread busy the whole time, a core taken from
// the sort's threads.
Click ClickColumn(CFileListView* view, StallWatch& watch, int column)
{
    LibraryBench::ResetPeak();
    const double before = StatusMegabytes("VmRSS:");
    bool handled = false;
    const double processorBefore = ProcessorMilliseconds();
    QElapsedTimer timer;
    timer.start();
    watch.Restart();
    QTimer::singleShot(0, view->List(), [&] {
        emit view->List()->columnClicked(column);
        handled = true;
    });
    while (!handled || view->IsListing() || view->IsSorting())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    PaintList(view);
    return {Milliseconds(timer), watch.Longest(), watch.LongestBusy(), ProcessorMilliseconds() - processorBefore,
            StatusMegabytes("VmHWM:") - before};
}

void MeasureFolder(CFileListView* view, const BigFolder& big)
{
    const double baseline = SortNames(big.names);
    StallWatch watch;
    QElapsedTimer timer;
    timer.start();
    view->ShowFolder(big.disc, big.folder);
    PaintList(view);
    std::printf("\nfolder of %d entries: first screen %.1f ms; sort -f of the names %.1f ms; load average %s\n",
                big.entries, Milliseconds(timer), baseline, qPrintable(LibraryBench::LoadAverage()));
    std::printf("%-22s %10s %8s %14s %12s %12s %10s\n", "click", "ms", "ratio", "longest stall", "own work ms",
                "processor ms", "peak MB");
    const char* const columns[] = {"name", "size", "type", "date"};
    for (int column = 0; column < 4; ++column) {
        for (int direction = 0; direction < 2; ++direction) {
            const Click click = ClickColumn(view, watch, column);
            std::printf("%-5s %-16s %10.1f %8.2f %11.1f ms %12.1f %12.1f %10.1f%s\n", columns[column],
                        direction ? "descending" : "ascending", click.milliseconds, click.milliseconds / baseline,
                        click.longestStall, click.longestBusy, click.processorMilliseconds, click.peakGrowth,
                        column == 0 && direction == 0 ? "  (first sort, the listing still filling)" : "");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::max(std::atoi(argv[i]), kSubfolders + 1));
    if (sizes.empty()) sizes.push_back(100000);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir scratch;
    const QString database = scratch.filePath(QStringLiteral("library.db"));
    const std::vector<BigFolder> folders = MakeLibrary(database, sizes, scratch);
    PrepareEnvironment(database, scratch);
    CAlbireoApp app(QStringList{QStringLiteral("albireo")});
    app.SetPowerNotices(std::make_unique<PowerNotices>());
    if (!app.InitInstance()) return 1;
    app.MainFrame()->resize(1024, 668);
    for (const BigFolder& big : folders) MeasureFolder(app.MainFrame()->FileListView(), big);
    app.ExitInstance();
    return 0;
}
