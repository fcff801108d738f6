// The tag pane and the add-tag dialog with many user tags: the time to
// build each (reading the tags from the library included) and paint it
// once, with 2,000 user tags against the same with 20, in the same run;
// best of five. A pane that paints only what is in sight stays near 1.
//
//   tag_lists_bench [tags]     (default 2000; offscreen, fresh settings and library)
#include "CAddTagDlg.h"
#include "CTagView.h"
#include "CategoryTags.h"
#include "ModalSeam.h"
#include "StringResources.h"
#include "TagRecords.h"

#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kBaselineTags = 20;
constexpr int kRuns = 5;

// A library of the four category tags and `userTags` more, in a fresh file.
void FillLibrary(const QString& folder, int userTags)
{
    qputenv("ALBIREO_LIBRARY_DB", (folder + QStringLiteral("/library-%1.db").arg(userTags)).toLocal8Bit());
    CDllCom loader;
    ILibraryEngine* engine = nullptr;
    if (FAILED(loader.CreateLibraryEngine(&engine)) || FAILED(engine->Initialize(0, 1, 0))) std::exit(1);
    QStringList names = CategoryTags::Keys();
    for (int i = 0; i < userTags; ++i) names << QStringLiteral("Tag %1").arg(i);
    for (const QString& name : names) engine->AddTag(TagRecords::Utf16(name), nullptr);
    engine->Uninitialize();
    engine->Release();
}

double BestSeconds(const std::function<void()>& run)
{
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void OpenPane()
{
    CTagView pane;
    pane.resize(210, 400);
    pane.grab();
}

void OpenDialog()
{
    CDllCom loader;
    ILibraryEngine* engine = nullptr;
    if (FAILED(loader.CreateLibraryEngine(&engine)) || FAILED(engine->Initialize(0, 1, 0))) std::exit(1);
    {
        CAddTagDlg dialog(engine);
        dialog.setNames(QStringLiteral("Music"));
        dialog.CreateModeless();
        dialog.grab();
    }
    engine->Uninitialize();
    engine->Release();
}

void Measure(const char* what, const QString& folder, int tags, const std::function<void()>& open)
{
    qputenv("ALBIREO_LIBRARY_DB", (folder + QStringLiteral("/library-%1.db").arg(kBaselineTags)).toLocal8Bit());
    const double baseline = BestSeconds(open);
    qputenv("ALBIREO_LIBRARY_DB", (folder + QStringLiteral("/library-%1.db").arg(tags)).toLocal8Bit());
    const double many = BestSeconds(open);
    std::printf("%-16s %4d tags %8.4f s   %d tags %8.4f s   ratio %6.2f\n", what, kBaselineTags, baseline, tags, many,
                many / baseline);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ALBIREO_PROGRAM_DIR")) qputenv("ALBIREO_PROGRAM_DIR", ALBIREO_BUILT_PROGRAM_DIR);
    QTemporaryDir folder;
    qputenv("ALBIREO_REGISTRY_USER", (folder.path() + QStringLiteral("/user.reg")).toLocal8Bit());
    qputenv("ALBIREO_REGISTRY_MACHINE", (folder.path() + QStringLiteral("/machine.reg")).toLocal8Bit());
    QApplication app(argc, argv);
    ModalSeam::SetUnattended(true);
    SetResourceHandle(ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll")));
    const int tags = argc > 1 ? std::atoi(argv[1]) : 2000;
    FillLibrary(folder.path(), kBaselineTags);
    FillLibrary(folder.path(), tags);
    Measure("tag pane", folder.path(), tags, OpenPane);
    Measure("add-tag dialog", folder.path(), tags, OpenDialog);
    return 0;
}
