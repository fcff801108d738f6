#include "CliImportCommand.h"

#include "CliContext.h"
#include "ImportProgress.h"
#include "LibrarySeed.h"
#include "LibraryStatusText.h"
#include "ProgramPaths.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "TagText.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> g_interrupted{0};
std::atomic<int> g_finished{0};
std::atomic<int> g_succeeded{0};

void OnInterrupt(int) { g_interrupted = 1; }

void OnScanEvent(int code, intptr_t parameter, int)
{
    if (code == ScanFinished) {
        g_succeeded = *reinterpret_cast<int*>(parameter);
        g_finished = 1;
    }
}

struct ImportOptions {
    QString letter, name;
    QStringList tags;
    bool nameGiven = false;
};

// Parses LETTER [--name NAME] [--tags T1,T2]; an error text when malformed.
QString ParseOptions(const QStringList& arguments, ImportOptions& options)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--name") || argument == QLatin1String("--tags")) {
            if (i + 1 >= arguments.size()) return argument + QStringLiteral(" needs a value");
            const QString value = arguments[++i];
            if (argument == QLatin1String("--name")) {
                options.name = value;
                options.nameGiven = true;
            } else {
                for (const QString& tag : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
                    options.tags << tag.trimmed();
            }
        } else if (argument.startsWith(QLatin1String("--"))) {
            return QStringLiteral("unknown option ") + argument;
        } else if (options.letter.isEmpty()) {
            options.letter = argument;
        } else {
            return QStringLiteral("unexpected argument ") + argument;
        }
    }
    return options.letter.isEmpty() ? QStringLiteral("needs a drive letter") : QString();
}

struct DiscProperties {
    char identity[33] = {};
    WCHAR label[MAX_PATH] = {}, spare[MAX_PATH] = {}, date[MAX_PATH] = {};
    int audio = -1, discClass = -1, folders = 0, files = 0;
    INT64 used = 0, capacity = 0;
};

// Runs the started scan to its end, showing progress and passing Ctrl-C on.
bool FollowScan(CDiscAccess& discs)
{
    ImportProgress progress;
    while (!g_finished.load()) {
        discs.SetCancel(g_interrupted.load());
        ImportSlotHolder holder{};
        progress.ShowState(discs.GetImportWait(&holder) ? LibraryStatusText::ImportWait(holder) : QString());
        int percent = 0;
        discs.GetProperty(5000, &percent);
        progress.Show(percent);
        discs.WaitForScan(200);
    }
    discs.WaitForScan();
    discs.SetCancel(0);
    progress.Finish(g_succeeded.load() ? 100 : -1);
    return g_succeeded.load() != 0;
}

// The import failed: say why when the library cannot be written.
int ImportFailure(ILibraryEngine* library, HRESULT hr)
{
    const QString why = LibraryStatusText::WriteFailure(LibraryStatusText::WriteFailureOf(library));
    if (!why.isEmpty()) return CliContext::Fail(why);
    return CliContext::Fail(LoadString(IDS_MSG_IMPORT_FAILED) + (FAILED(hr) ? QStringLiteral(" (%1)").arg(CliContext::CodeText(hr)) : QString()));
}

} // namespace

namespace CliImportCommand {

int Import(CliContext& context, const QStringList& arguments)
{
    ImportOptions options;
    const QString error = ParseOptions(arguments, options);
    if (!error.isEmpty()) return CliContext::UsageError("import", error);
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    const QString cancelled = QStringLiteral("import cancelled; nothing of the disc was kept");
    ILibraryEngine* library = context.Library();
    if (!library || !context.SelectDrive(options.letter)) return CliContext::Failure;
    CDiscAccess& discs = *context.Discs();
    if (FAILED(discs.CheckDiscReady())) return CliContext::Fail(QStringLiteral("there is no disc in drive %1").arg(options.letter));

    discs.LockMedia(1);
    struct Unlock {
        CDiscAccess& discs;
        ~Unlock() { discs.LockMedia(0); }
    } unlock{discs};

    DiscProperties disc;
    HRESULT hr = discs.ReadDiscProperties(disc.identity, disc.label, disc.spare, &disc.audio, &disc.discClass,
                                          &disc.folders, &disc.files, &disc.used, &disc.capacity, disc.date);
    if (FAILED(hr)) return CliContext::Fail(LoadString(IDS_MSG_DISC_UNREADABLE) + QStringLiteral(" (%1)").arg(CliContext::CodeText(hr)));
    LONG existing = 0;
    hr = library->FindDiscByIdentity(disc.identity, &existing);
    if (FAILED(hr)) return context.LibraryFailure(hr);
    if (existing != 0) {
        CliContext::Fail(LoadString(IDS_MSG_DISC_EXISTS));
        return CliContext::AlreadyCatalogued;
    }

    if (g_interrupted.load()) return CliContext::Fail(cancelled);
    const QString name = options.nameGiven ? options.name : QString::fromUtf16(disc.label);
    // A library the window never opened gets its category tags and default
    // label sets first, so that the disc takes the label of its category.
    LONG tagCount = 0;
    LibrarySeed::EnsureTags(library, &tagCount);
    LibrarySeed::EnsureDefaultLabels(library, ProgramPaths::ProgramFolder());
    QString tagIds;
    hr = TagText::IdsForNames(library, options.tags, &tagIds);
    if (FAILED(hr)) return CliContext::Fail(QStringLiteral("the tags cannot be stored (%1)").arg(CliContext::CodeText(hr)));
    hr = library->AddDisc(disc.identity, u"", u"", u"", reinterpret_cast<const WCHAR*>(name.utf16()),
                          reinterpret_cast<const WCHAR*>(tagIds.utf16()), disc.audio, disc.discClass, disc.folders,
                          disc.files, disc.used, disc.capacity, disc.date);
    LONG discId = 0, labelId = 0;
    if (SUCCEEDED(hr)) hr = library->GetLastAddedDisc(&discId, &labelId);
    if (FAILED(hr)) return ImportFailure(library, hr);

    if (g_interrupted.load()) {
        library->DeleteDisc(discId, 0);
        return CliContext::Fail(cancelled);
    }
    discs.SetLibrary(library);
    discs.SetDiscIds(discId, labelId);
    discs.SetCallback(OnScanEvent, 0);
    if (!discs.StartScan(disc.audio == -1 ? 1 : 0)) {
        library->DeleteDisc(discId, 0);
        return CliContext::Fail(LoadString(IDS_MSG_IMPORT_FAILED));
    }
    if (!FollowScan(discs)) return g_interrupted.load() ? CliContext::Fail(cancelled) : ImportFailure(library, S_OK);
    CliContext::Print(QString::number(discId) + QLatin1Char('\t') + name);
    return CliContext::Success;
}

} // namespace CliImportCommand
