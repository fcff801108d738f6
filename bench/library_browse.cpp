// Browsing and searching in the window at ten million files. The real
// window (CAlbireoApp, offscreen) opens a library of 10,000,000 files on
// 100 discs (made once into a work folder through the engine's batches,
// see BrowseLibrary.h). For each query: the time from Search(text) until
// the first screen of rows is painted, and until the counts are final,
// against `grep -F -i -c` over a text file of the same 10 M names (best of
// three each); the growth of the process's memory. Then a folder of 99,990
// entries against one of 10 (time until the first screen is painted), and
// sorting that folder by each column.
//
// The process's peak resident memory is printed after the window's start
// (its start-up check and backup included) and at the end.
//
//   library_browse [work folder] [--folders-only | --searches-only] [--library ADDRESS] [query...]
//       (default /tmp/albireo-browse-bench and fourteen queries)
//
// --library opens ADDRESS (another copy of the same library, or the same
// library on a library server) instead of the work folder's library file;
// grep still reads the work folder's names.
#include "BrowseLibrary.h"
#include "LibraryBenchData.h"
#include "WindowBench.h"
#include "CAlbireoApp.h"
#include "CFileListView.h"
#include "CMainFrame.h"
#include "PowerNotices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace WindowBench;
using LibraryBench::StatusMegabytes;

namespace {

constexpr int kRuns = 3;
constexpr int kStartSettleMs = 3000; // the start-up check and backup run meanwhile

// The process's peak resident size from its start: the kernel's peak is
// restarted for each search, so the peaks before are kept here.
double g_peakBefore = 0;

void RestartPeak()
{
    g_peakBefore = std::max(g_peakBefore, StatusMegabytes("VmHWM:"));
    LibraryBench::ResetPeak();
}

double ProcessPeak() { return std::max(g_peakBefore, StatusMegabytes("VmHWM:")); }

struct GrepResult {
    double milliseconds;
    long long count;
};

GrepResult Grep(const QString& text, const QString& names)
{
    double best = 1e12;
    long long count = -1;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess grep;
        grep.start(QStringLiteral("grep"), {QStringLiteral("-F"), QStringLiteral("-i"), QStringLiteral("-c"), text, names});
        grep.waitForFinished(-1);
        best = std::min(best, Milliseconds(timer));
        count = grep.readAllStandardOutput().trimmed().toLongLong();
    }
    return {best, count};
}

struct SearchResult {
    double firstScreen;
    double finalCounts;
    double memoryGrowth;
    double peakGrowth;
    long long files;
};

SearchResult MeasureSearch(CFileListView* view, const QString& text)
{
    SearchResult best{1e12, 1e12, 0, 0, 0};
    for (int run = 0; run < kRuns; ++run) {
        view->ShowAllDiscs();
        QCoreApplication::processEvents();
        RestartPeak();
        const double memoryBefore = StatusMegabytes("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        view->Search(text);
        PaintList(view);
        const double first = Milliseconds(timer);
        while (!view->CountsFinal()) WaitForEvents(5);
        const double final = Milliseconds(timer);
        while (view->IsListing()) WaitForEvents(5);
        PaintList(view);
        best.firstScreen = std::min(best.firstScreen, first);
        best.finalCounts = std::min(best.finalCounts, final);
        best.memoryGrowth = std::max(best.memoryGrowth, StatusMegabytes("VmRSS:") - memoryBefore);
        best.peakGrowth = std::max(best.peakGrowth, StatusMegabytes("VmHWM:") - memoryBefore);
    }
    best.files = view->FoundFileCount();
    return best;
}

double MeasureFolder(CFileListView* view, int folderId)
{
    double best = 1e12;
    for (int run = 0; run < 5; ++run) {
        view->ShowAllDiscs();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        view->ShowFolder(BrowseLibrary::kDiscs, folderId);
        PaintList(view);
        best = std::min(best, Milliseconds(timer));
        while (view->IsListing()) WaitForEvents(5);
    }
    return best;
}

void MeasureSorting(CFileListView* view)
{
    view->ShowFolder(BrowseLibrary::kDiscs, BrowseLibrary::LargeFolderId());
    while (view->IsListing()) WaitForEvents(5);
    const char* const names[] = {"name", "size", "type", "date"};
    for (int column = 0; column < 4; ++column) {
        for (int click = 0; click < 2; ++click) {
            QElapsedTimer timer;
            timer.start();
            emit view->List()->columnClicked(column);
            while (view->IsSorting()) WaitForEvents(5);
            PaintList(view);
            std::printf("  sort by %-5s %s  %8.1f ms%s\n", names[column], click ? "descending" : "ascending ",
                        Milliseconds(timer), column == 0 && click == 0 ? "  (first sort: every record read)" : "");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QString folder = QStringLiteral("/tmp/albireo-browse-bench");
    bool foldersOnly = false, searchesOnly = false;
    QString library;
    QStringList queries;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--folders-only")) foldersOnly = true;
        else if (argument == QLatin1String("--searches-only")) searchesOnly = true;
        else if (argument == QLatin1String("--library") && i + 1 < argc) library = QString::fromLocal8Bit(argv[++i]);
        else if (i == 1) folder = argument;
        else queries << argument;
    }
    if (queries.isEmpty())
        queries = {QStringLiteral("prabel"), QStringLiteral("holiday"), QStringLiteral("img_12"), QStringLiteral("2019"),
                   QStringLiteral("final_"), QStringLiteral("ber"), QStringLiteral("concert 20"), QStringLiteral(".flac"),
                   QStringLiteral(".jpg"), QStringLiteral("q"), QStringLiteral("7"), QStringLiteral("zx"),
                   QStringLiteral("ka"), QStringLiteral("_")};
    QTemporaryDir scratch;
    std::fprintf(stderr, "library in %s (made on the first run, several minutes)\n", qPrintable(folder));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const BrowseLibrary::Paths paths = BrowseLibrary::Ensure(folder);
    PrepareEnvironment(library.isEmpty() ? paths.database : library, scratch);
    LibraryBench::ResetPeak();
    const double beforeStart = StatusMegabytes("VmRSS:");
    CAlbireoApp app(QStringList{QStringLiteral("albireo")});
    app.SetPowerNotices(std::make_unique<PowerNotices>());
    if (!app.InitInstance()) return 1;
    CFileListView* view = app.MainFrame()->FileListView();
    app.MainFrame()->resize(1024, 668);
    PaintList(view);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < kStartSettleMs) WaitForEvents(50);
    std::printf("window started (%.1f s of events included): peak resident %.1f MB (%.1f MB before the window), "
                "load average %s\n\n",
                kStartSettleMs / 1000.0, ProcessPeak(), beforeStart, qPrintable(LibraryBench::LoadAverage()));

    std::printf("%-12s %9s %9s %11s %9s %11s %9s %8s %8s\n", "query", "files", "grep ms", "first ms", "ratio",
                "final ms", "ratio", "MB", "peak MB");
    bool countsAgree = true;
    for (const QString& query : foldersOnly ? QStringList() : queries) {
        const GrepResult grep = Grep(query, paths.names);
        const SearchResult search = MeasureSearch(view, query);
        countsAgree = countsAgree && grep.count == search.files;
        std::printf("%-12s %9lld %9.1f %11.2f %9.3f %11.1f %9.2f %8.1f %8.1f%s\n", qPrintable("\"" + query + "\""),
                    search.files, grep.milliseconds, search.firstScreen, search.firstScreen / grep.milliseconds,
                    search.finalCounts, search.finalCounts / grep.milliseconds, search.memoryGrowth, search.peakGrowth,
                    grep.count == search.files ? "" : "  (grep counts differently!)");
    }
    if (!searchesOnly) {
        const double small = MeasureFolder(view, BrowseLibrary::SmallFolderId());
        const double large = MeasureFolder(view, BrowseLibrary::LargeFolderId());
        std::printf("\nfolder of 10 entries: %.2f ms, of 99,990 entries: %.2f ms, ratio %.2f (goal at most 2)\n", small,
                    large, large / small);
        std::printf("\nsorting the folder of 99,990 entries:\n");
        MeasureSorting(view);
    }
    std::printf("\nfile counts %s grep's; peak resident memory of the run %.1f MB\n",
                countsAgree ? "agree with" : "DIFFER from", ProcessPeak());
    app.ExitInstance();
    return countsAgree ? 0 : 1;
}
