// albireo-cli search at ten million files: on the browsing benchmark's
// library (100 discs, 10,000,000 files; see BrowseLibrary.h) the tool's
// `search` is run as a script would run it. For each query: the time until
// its first line arrives, until its last line (the whole output read and
// counted), and until it ends after its reader closed on the first line
// (`| head -1`); the tool's peak resident memory over the whole output.
// The baseline is `grep -F -i -c` over a text file of the same 10 M names
// (best of three each).
//
//   cli_search [work folder] [query...]   (default /tmp/albireo-browse-bench; queries: e .jpg holiday 7)
#include "BrowseLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 3;

double Milliseconds(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

double GrepMilliseconds(const QString& text, const QString& names, long long* count)
{
    double best = 1e12;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess grep;
        grep.start(QStringLiteral("grep"), {QStringLiteral("-F"), QStringLiteral("-i"), QStringLiteral("-c"), text, names});
        grep.waitForFinished(-1);
        best = std::min(best, Milliseconds(timer));
        *count = grep.readAllStandardOutput().trimmed().toLongLong();
    }
    return best;
}

struct Run {
    double firstLine = 0, lastLine = 0, endAfterClose = 0, peakMegabytes = 0;
    long long lines = 0;
};

// Starts the tool with its standard output on a pipe; the read end.
pid_t StartTool(const std::vector<std::string>& arguments, int* readEnd)
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
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    *readEnd = pipeEnds[0];
    return child;
}

// Whole output: first and last line, lines counted, peak memory.
Run ReadAll(const std::vector<std::string>& arguments)
{
    Run run;
    QElapsedTimer timer;
    timer.start();
    int input = -1;
    const pid_t child = StartTool(arguments, &input);
    std::vector<char> buffer(1 << 16);
    ssize_t got = 0;
    while ((got = read(input, buffer.data(), buffer.size())) > 0) {
        const long long newLines = std::count(buffer.begin(), buffer.begin() + got, '\n');
        if (run.lines == 0 && newLines > 0) run.firstLine = Milliseconds(timer);
        run.lines += newLines;
    }
    run.lastLine = Milliseconds(timer);
    close(input);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    return run;
}

// The reader closes after the first line: how long until the tool ends.
double EndAfterFirstLine(const std::vector<std::string>& arguments)
{
    QElapsedTimer timer;
    timer.start();
    int input = -1;
    const pid_t child = StartTool(arguments, &input);
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
    const QStringList queries = arguments.isEmpty() ? QStringList{"e", ".jpg", "holiday", "7"} : arguments;
    const BrowseLibrary::Paths paths = BrowseLibrary::Ensure(folder);

    // The tool in an environment of its own on the benchmark's library.
    QTemporaryDir home;
    setenv("XDG_CONFIG_HOME", qPrintable(home.path()), 1);
    setenv("XDG_DATA_HOME", qPrintable(home.path()), 1);
    setenv("ALBIREO_REGISTRY_USER", qPrintable(home.path() + "/user.reg"), 1);
    setenv("ALBIREO_LIBRARY_DB", qPrintable(paths.database), 1);
    const std::string tool = QDir(QString::fromLatin1(ALBIREO_BUILT_PROGRAM_DIR)).filePath("albireo-cli").toStdString();
    ReadAll({tool, "search", "--count", "zq"}); // the library's first opening by this engine

    std::printf("%-9s %10s %9s %10s %7s %10s %7s %11s %8s\n", "query", "lines", "grep ms", "first ms", "ratio",
                "all ms", "ratio", "closed ms", "peak MB");
    for (const QString& query : queries) {
        long long grepCount = 0;
        const double grep = GrepMilliseconds(query, paths.names, &grepCount);
        const std::vector<std::string> search = {tool, "search", "--files", query.toStdString()};
        Run best;
        best.firstLine = best.lastLine = best.endAfterClose = 1e12;
        for (int run = 0; run < kRuns; ++run) {
            const Run measured = ReadAll(search);
            best.firstLine = std::min(best.firstLine, measured.firstLine);
            best.lastLine = std::min(best.lastLine, measured.lastLine);
            best.peakMegabytes = std::max(best.peakMegabytes, measured.peakMegabytes);
            best.lines = measured.lines;
            best.endAfterClose = std::min(best.endAfterClose, EndAfterFirstLine(search));
        }
        std::printf("%-9s %10lld %9.1f %10.1f %7.3f %10.1f %7.2f %11.1f %8.1f%s\n", qPrintable("\"" + query + "\""),
                    best.lines, grep, best.firstLine, best.firstLine / grep, best.lastLine, best.lastLine / grep,
                    best.endAfterClose, best.peakMegabytes, best.lines == grepCount ? "" : "  (count differs from grep's)");
    }
    return 0;
}
