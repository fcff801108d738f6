// albireo-cli search at ten million files: on the browsing benchmark's
// library (100 discs, 10,000,000 files; see BrowseLibrary.h) the tool's
// `search --files` is run as a script would run it. For each query: the
// time until its first line arrives, until its last line (the whole output
// read and counted) with the processor time it took, and until it ends
// after its reader closed on the first line (`| head -1`); its peak memory,
// resident (which counts the pages of the database file the engine maps)
// and its own (anonymous pages). The baseline is `grep -F -i -c` over a
// text file of the same 10 M names, run the same way (best of three each).
// Last, `export --format csv` of the whole catalogue (one run).
//
//   cli_search [work folder] [--no-export] [query...]
//   (default /tmp/albireo-browse-bench; queries: e .jpg holiday 7; --no-export leaves out the export;
//   the tool of another program folder with ALBIREO_PROGRAM_DIR=folder)
#include "BrowseLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 3;

double Milliseconds(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

double CpuMilliseconds(const rusage& usage)
{
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The process's private memory now (anonymous pages: not the database file
// the engine maps, which the kernel can drop at any time), in megabytes.
double PrivateMegabytes(pid_t process)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("RssAnon:")) return line.mid(8).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

struct Run {
    double firstLine = 0, lastLine = 0, cpu = 0, endAfterClose = 0, peakMegabytes = 0, peakPrivate = 0;
    long long lines = 0;
    QByteArray out; // the first bytes printed
};

// Starts a program with its standard output on a pipe; the read end.
pid_t Start(const std::vector<std::string>& arguments, int* readEnd)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    *readEnd = pipeEnds[0];
    return child;
}

// Whole output: first and last line, lines counted, processor time, peak
// memory (resident, and private sampled every 20 ms).
Run ReadAll(const std::vector<std::string>& arguments)
{
    Run run;
    QElapsedTimer timer, sampled;
    timer.start();
    sampled.start();
    int input = -1;
    const pid_t child = Start(arguments, &input);
    std::vector<char> buffer(1 << 16);
    ssize_t got = 0;
    while ((got = read(input, buffer.data(), buffer.size())) > 0) {
        const long long newLines = std::count(buffer.begin(), buffer.begin() + got, '\n');
        if (run.lines == 0 && newLines > 0) run.firstLine = Milliseconds(timer);
        if (run.out.size() < 4096) run.out.append(buffer.data(), got);
        run.lines += newLines;
        if (sampled.elapsed() >= 20) {
            run.peakPrivate = std::max(run.peakPrivate, PrivateMegabytes(child));
            sampled.restart();
        }
    }
    run.lastLine = Milliseconds(timer);
    close(input);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.cpu = CpuMilliseconds(usage);
    run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    return run;
}

// The best of kRuns whole runs (times), the largest memory.
Run BestOf(const std::vector<std::string>& arguments)
{
    Run best;
    best.firstLine = best.lastLine = best.cpu = 1e12;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = ReadAll(arguments);
        best.firstLine = std::min(best.firstLine, run.firstLine);
        best.lastLine = std::min(best.lastLine, run.lastLine);
        best.cpu = std::min(best.cpu, run.cpu);
        best.peakMegabytes = std::max(best.peakMegabytes, run.peakMegabytes);
        best.peakPrivate = std::max(best.peakPrivate, run.peakPrivate);
        best.lines = run.lines;
        best.out = run.out;
    }
    return best;
}

// The reader closes after the first line: how long until the tool ends.
double EndAfterFirstLine(const std::vector<std::string>& arguments)
{
    QElapsedTimer timer;
    timer.start();
    int input = -1;
    const pid_t child = Start(arguments, &input);
    char c = 0;
    while (read(input, &c, 1) == 1 && c != '\n') {
    }
    close(input);
    int status = 0;
    waitpid(child, &status, 0);
    return Milliseconds(timer);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const QString folder = arguments.isEmpty() ? QStringLiteral("/tmp/albireo-browse-bench") : arguments.takeFirst();
    const bool exportToo = arguments.removeAll(QStringLiteral("--no-export")) == 0;
    const QStringList queries = arguments.isEmpty() ? QStringList{"e", ".jpg", "holiday", "7"} : arguments;
    const BrowseLibrary::Paths paths = BrowseLibrary::Ensure(folder);

    // The tool in an environment of its own on the benchmark's library.
    QTemporaryDir home;
    setenv("XDG_CONFIG_HOME", qPrintable(home.path()), 1);
    setenv("XDG_DATA_HOME", qPrintable(home.path()), 1);
    setenv("ALBIREO_REGISTRY_USER", qPrintable(home.path() + "/user.reg"), 1);
    setenv("ALBIREO_LIBRARY_DB", qPrintable(paths.database), 1);
    // ALBIREO_PROGRAM_DIR names another build's program folder (a tool before a change).
    const QString programDir = qEnvironmentVariableIsEmpty("ALBIREO_PROGRAM_DIR")
                                   ? QString::fromLatin1(ALBIREO_BUILT_PROGRAM_DIR)
                                   : qEnvironmentVariable("ALBIREO_PROGRAM_DIR");
    const std::string tool = QDir(programDir).filePath("albireo-cli").toStdString();
    ReadAll({tool, "search", "--count", "zq"}); // the library's first opening by this engine

    // Times on a shared machine vary with its load: processor times (user +
    // system) are given beside the elapsed ones.
    std::printf("%-9s %9s | %8s %7s | %9s %6s | %9s %6s %9s %6s | %9s | %7s %7s\n", "query", "lines", "grep ms",
                "cpu ms", "first ms", "ratio", "all ms", "ratio", "cpu ms", "ratio", "closed ms", "RSS MB", "own MB");
    for (const QString& query : queries) {
        const Run grep = BestOf({"grep", "-F", "-i", "-c", query.toStdString(), paths.names.toStdString()});
        const long long grepCount = grep.out.trimmed().toLongLong();
        const std::vector<std::string> search = {tool, "search", "--files", query.toStdString()};
        const Run found = BestOf(search);
        double closed = 1e12;
        for (int i = 0; i < kRuns; ++i) closed = std::min(closed, EndAfterFirstLine(search));
        std::printf("%-9s %9lld | %8.1f %7.1f | %9.1f %6.3f | %9.1f %6.2f %9.1f %6.2f | %9.1f | %7.1f %7.1f%s\n",
                    qPrintable("\"" + query + "\""), found.lines, grep.lastLine, grep.cpu, found.firstLine,
                    found.firstLine / grep.lastLine, found.lastLine, found.lastLine / grep.lastLine, found.cpu,
                    found.cpu / grep.cpu, closed, found.peakMegabytes, found.peakPrivate,
                    found.lines == grepCount ? "" : "  (count differs from grep's)");
    }

    if (!exportToo) return 0;
    const Run grep = BestOf({"grep", "-F", "-i", "-c", "e", paths.names.toStdString()});
    const Run exported = ReadAll({tool, "export", "--format", "csv"});
    std::printf("\nexport --format csv: %lld lines in %.1f ms (%.2f x grep \"e\"), cpu %.1f ms (%.2f x grep's), "
                "RSS %.1f MB, own %.1f MB\n",
                exported.lines, exported.lastLine, exported.lastLine / grep.lastLine, exported.cpu,
                exported.cpu / grep.cpu, exported.peakMegabytes, exported.peakPrivate);
    return 0;
}
