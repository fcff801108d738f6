#include "CliImportCommand.h"

#include "CliContext.h"
#include "DiscReadout.h"
#include "DiscTagList.h"
#include "ImportProgress.h"
#include "LibraryReader.h"
#include "LibrarySeed.h"
#include "NewDiscRecord.h"
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
    bool nameGiven = false, tagsGiven = false, replace = false;
};

// Parses LETTER [--name NAME] [--tags T1,T2] [--replace]; an error text when malformed.
QString ParseOptions(const QStringList& arguments, ImportOptions& options)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--replace")) {
            options.replace = true;
        } else if (argument == QLatin1String("--name") || argument == QLatin1String("--tags")) {
            if (i + 1 >= arguments.size()) return argument + QStringLiteral(" needs a value");
            const QString value = arguments[++i];
            if (argument == QLatin1String("--name")) {
                options.name = value;
                options.nameGiven = true;
            } else {
                options.tagsGiven = true;
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

// Runs the started scan to its end, showing progress and passing Ctrl-C on.
QString Cancelled(LONG replaced)
{
    return replaced ? QStringLiteral("import cancelled; the catalogued disc stays as it was")
                    : QStringLiteral("import cancelled; nothing of the disc was kept");
}

// Ctrl-C is passed on within kInterruptCheckMs (a fast scan may end sooner
// than a progress step); progress and the import's wait are shown every
// kProgressSteps checks.
constexpr unsigned long kInterruptCheckMs = 20;
constexpr int kProgressSteps = 10;

bool FollowScan(CDiscAccess& discs)
{
    ImportProgress progress;
    for (int step = 0; !g_finished.load(); ++step) {
        discs.SetCancel(g_interrupted.load());
        if (step % kProgressSteps == 0) {
            ImportSlotHolder holder{};
            progress.ShowState(discs.GetImportWait(&holder) ? LibraryStatusText::ImportWait(holder) : QString());
            int percent = 0;
            discs.GetProperty(5000, &percent);
            progress.Show(percent);
        }
        discs.WaitForScan(kInterruptCheckMs);
    }
    discs.WaitForScan();
    discs.SetCancel(0);
    progress.Finish(g_succeeded.load() ? 100 : -1);
    return g_succeeded.load() != 0;
}

// The import failed: say why when the library cannot be written or reached.
int ImportFailure(ILibraryEngine* library, HRESULT hr)
{
    const QString why = LibraryStatusText::ImportFailure(library);
    const bool plain = why == LoadString(IDS_MSG_IMPORT_FAILED);
    return CliContext::Fail(why + (plain && FAILED(hr) ? QStringLiteral(" (%1)").arg(CliContext::CodeText(hr)) : QString()));
}

struct NewRecord {
    QString name;
    LONG discId = 0, labelId = 0;
};

// Adds the disc's record: named and tagged by the options, else after the
// disc it replaces (whose label set it takes too), else by its volume label.
HRESULT AddRecord(ILibraryEngine* library, const DiscReadout& disc, const ImportOptions& options,
                  const DiscRecord* replaced, NewRecord& record)
{
    NewDiscRecord::Details details;
    details.name = options.nameGiven ? options.name : replaced ? LibraryReader::Text(replaced->name) : disc.Label();
    record.name = details.name;
    HRESULT hr = S_OK;
    if (replaced && !options.tagsGiven)
        details.tagIds = DiscTagList::Read(library, *replaced).text;
    else
        hr = TagText::IdsForNames(library, options.tags, &details.tagIds);
    if (replaced) details.keptLabelId = replaced->labelId;
    if (SUCCEEDED(hr)) hr = NewDiscRecord::Add(library, disc, details, &record.discId, &record.labelId);
    return hr;
}

// Scans the disc into its new record; prints the record, and says what the
// read missed (exit code 4).
int Scan(CliOutput& output, CDiscAccess& discs, ILibraryEngine* library, const DiscReadout& disc, const NewRecord& record,
         LONG replacedDiscId)
{
    discs.SetLibrary(library);
    discs.SetDiscIds(record.discId, record.labelId);
    discs.SetReplacedDisc(replacedDiscId);
    discs.SetCallback(OnScanEvent, 0);
    if (!discs.StartScan(disc.ScanMode())) {
        library->DeleteDisc(record.discId, 0);
        return CliContext::Fail(LoadString(IDS_MSG_IMPORT_FAILED));
    }
    if (!FollowScan(discs))
        return g_interrupted.load() ? CliContext::Fail(Cancelled(replacedDiscId)) : ImportFailure(library, S_OK);
    output.Write(CliRecord().Number("id", record.discId).Text("name", record.name));
    const DiscReadGaps& gaps = discs.LastReadGaps();
    if (!gaps.IsIncomplete()) return CliContext::Success;
    CliContext::Fail(gaps.ImportMessage());
    return CliContext::Incomplete;
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
    ILibraryEngine* library = context.Library();
    if (!library || !context.SelectDrive(options.letter)) return CliContext::Failure;
    CDiscAccess& discs = *context.Discs();
    if (FAILED(discs.CheckDiscReady())) return CliContext::Fail(QStringLiteral("there is no disc in drive %1").arg(options.letter));

    discs.LockMedia(1);
    struct Unlock {
        CDiscAccess& discs;
        ~Unlock() { discs.LockMedia(0); }
    } unlock{discs};

    DiscReadout disc;
    HRESULT hr = disc.Read(discs);
    if (FAILED(hr)) return CliContext::Fail(LoadString(IDS_MSG_DISC_UNREADABLE) + QStringLiteral(" (%1)").arg(CliContext::CodeText(hr)));
    LONG existing = 0;
    hr = library->FindDiscByIdentity(disc.identity, &existing);
    if (FAILED(hr)) return context.LibraryFailure(hr);
    DiscRecord replaced{};
    if (existing != 0) {
        // A replacement keeps the catalogued disc's name, tags and label.
        if (!options.replace || !LibraryReader(library).DiscById(existing, &replaced)) {
            CliContext::Fail(LoadString(IDS_MSG_DISC_EXISTS) + QStringLiteral(" (--replace catalogues it again)"));
            return CliContext::AlreadyCatalogued;
        }
    }

    if (g_interrupted.load()) return CliContext::Fail(Cancelled(existing));
    // A library the window never opened gets its category tags and default
    // label sets first, so that the disc takes the label of its category.
    LONG tagCount = 0;
    LibrarySeed::EnsureTags(library, &tagCount);
    LibrarySeed::EnsureDefaultLabels(library, ProgramPaths::ProgramFolder());
    NewRecord record;
    hr = AddRecord(library, disc, options, existing ? &replaced : nullptr, record);
    if (FAILED(hr)) return ImportFailure(library, hr);
    if (g_interrupted.load()) {
        library->DeleteDisc(record.discId, 0);
        return CliContext::Fail(Cancelled(existing));
    }
    return Scan(context.Output(), discs, library, disc, record, existing);
}

} // namespace CliImportCommand
