// Changing a disc's label: the three label setters (disc, folders, files)
// on a disc of many files, against the same on a disc of ten files in the
// same library and run. The figure is the ratio of the medians; 1 means the
// cost does not grow with the disc.
//
//   library_label [files]     (default 200000; run from the build tree)
#include "LibraryBenchData.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace LibraryBench;
using Clock = std::chrono::steady_clock;

namespace {
double MedianLabelChange(Engine& engine, int disc)
{
    std::vector<double> runs;
    for (int run = 0; run < 21; ++run) {
        const LONG label = 1 + run % 5;
        const auto start = Clock::now();
        engine->SetDiscLabelId(disc, label);
        engine->SetFolderLabelId(disc, label);
        engine->SetFileLabelId(disc, label);
        runs.push_back(Seconds(Clock::now() - start));
    }
    return Median(runs);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 200000;
    QTemporaryDir folder;
    Engine engine(folder.filePath(QStringLiteral("label.db")));
    if (!engine.IsReady()) return 1;
    int nextId = 1;
    const int small = ImportDisc(engine, "SMALL", 10, &nextId);
    const int large = ImportDisc(engine, "LARGE", files, &nextId);
    const double smallSeconds = MedianLabelChange(engine, small);
    const double largeSeconds = MedianLabelChange(engine, large);
    std::printf("label change, 10 files: %.6f s; %d files: %.6f s; ratio %.2f\n", smallSeconds, files, largeSeconds,
                largeSeconds / smallSeconds);
    return 0;
}
