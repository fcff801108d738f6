#include "CliCatalogCommands.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "DiscReadGaps.h"
#include "LibraryReader.h"
#include "ListedHitWriter.h"
#include "ListingReader.h"

#include <algorithm>
#include <limits>

namespace {

// Success only when every read of the library succeeded.
int Finished(CliContext& context, const LibraryReader& reader)
{
    return FAILED(reader.Failure()) ? context.LibraryFailure(reader.Failure()) : CliContext::Success;
}

const QString kFolder = QStringLiteral("folder");
const QString kFile = QStringLiteral("file");

// What `search` was asked for.
struct SearchRequest {
    QString text;
    int discId = 0; // 0: every disc
    bool discs = true, folders = true, files = true;
    qint64 limit = std::numeric_limits<qint64>::max();
    bool countOnly = false;
};

// -1 when the request is ready, else the exit code (the error reported).
int ParseSearch(CliContext& context, const QStringList& arguments, SearchRequest& request)
{
    CliOptions options(arguments, {"--folders", "--files", "--count"}, {"--limit", "--disc"});
    if (options.Positional().size() != 1 || options.Positional()[0].isEmpty()) options.SetError("needs one search text");
    if (options.Has("--limit")) options.Number("--limit", 1, &request.limit);
    if (options.Has("--count") && options.Has("--limit")) options.SetError("--count counts every hit; it takes no --limit");
    if (!options.Error().isEmpty()) return CliContext::UsageError("search", options.Error());
    request.text = options.Positional()[0];
    request.countOnly = options.Has("--count");
    if (options.Has("--folders") || options.Has("--files")) {
        request.discs = false;
        request.folders = options.Has("--folders");
        request.files = options.Has("--files");
    }
    if (options.Has("--disc")) {
        request.discId = context.FindDisc(options.Value("--disc"));
        if (request.discId <= 0) return CliContext::Failure;
    }
    return -1;
}

// One line of `search`: a folder or file found.
CliRecord HitRecord(const LibraryReader& paths, const ItemRecord& item, bool folder, const QString& discName)
{
    CliRecord record;
    record.Text("kind", folder ? kFolder : kFile)
        .Text("disc", discName)
        .Text("path", folder ? paths.FolderFullPath(item) + QLatin1Char('\\') : paths.FileFullPath(item));
    return record;
}

CliRecord HitRecord(const LibraryReader& paths, const ItemRecord& item, bool folder)
{
    return HitRecord(paths, item, folder, LibraryReader::Text(item.discName));
}

// Prints found folders or files; false when the output ended (the reader
// went away) or the limit was reached.
bool PrintFound(CliContext& context, const LibraryReader& paths, const std::vector<ItemRecord>& items, bool folder,
                const SearchRequest& request, qint64& printed)
{
    CliOutput& output = context.Output();
    int nameOf = 0; // the disc whose name discName holds (hits come disc by disc)
    QString discName;
    for (const ItemRecord& item : items) {
        if (item.id == 0 || (request.discId && item.discId != request.discId)) continue;
        if (item.discId != nameOf) {
            nameOf = item.discId;
            discName = LibraryReader::Text(item.discName);
        }
        if (!output.Write(HitRecord(paths, item, folder, discName)) || ++printed >= request.limit) return false;
    }
    // What was found so far reaches the reader now, and a reader that went
    // away is noticed here.
    return output.Flush();
}

// Prints the hits of one kind as the listing finds them, a block at a time.
bool PrintListed(CliContext& context, const LibraryReader& paths, ListingReader& listing, LONG kind,
                 const SearchRequest& request, qint64& printed, HRESULT& failure)
{
    std::vector<ItemRecord> block;
    HRESULT hr = S_OK;
    while ((hr = listing.Next(kind, block)) == S_OK)
        if (!PrintFound(context, paths, block, kind == kListingFolders, request, printed)) return false;
    if (FAILED(hr)) failure = hr;
    return SUCCEEDED(hr);
}

int PrintCount(CliContext& context, const QString& kind, qint64 count)
{
    context.Output().Write(CliRecord().Text("kind", kind).Number("count", count));
    return CliContext::Success;
}

// --count: from the listing's counts; with --disc, by reading the hits.
int CountHits(CliContext& context, ListingReader& listing, const SearchRequest& request,
              qint64 discs)
{
    qint64 counts[2] = {0, 0};
    if (request.discId == 0) {
        LibraryListingCounts final{};
        const HRESULT hr = listing.FinalCounts(&final);
        if (FAILED(hr)) return context.LibraryFailure(hr);
        counts[0] = final.folders;
        counts[1] = final.files;
    } else {
        std::vector<ItemRecord> block;
        for (LONG kind : {kListingFolders, kListingFiles}) {
            if (!(kind == kListingFolders ? request.folders : request.files)) continue;
            HRESULT hr = S_OK;
            while ((hr = listing.Next(kind, block)) == S_OK)
                for (const ItemRecord& item : block) counts[kind] += item.id != 0 && item.discId == request.discId;
            if (FAILED(hr)) return context.LibraryFailure(hr);
        }
    }
    if (request.discs) PrintCount(context, QStringLiteral("discs"), discs);
    if (request.folders) PrintCount(context, QStringLiteral("folders"), counts[0]);
    if (request.files) PrintCount(context, QStringLiteral("files"), counts[1]);
    return CliContext::Success;
}

bool PrintDiscs(CliContext& context, const std::vector<DiscRecord>& discs, const SearchRequest& request, qint64& printed)
{
    for (const DiscRecord& disc : discs) {
        const CliRecord record = CliRecord()
                                     .Text("kind", QStringLiteral("disc"))
                                     .Text("disc", LibraryReader::Text(disc.name))
                                     .Text("path", QStringLiteral("\\"));
        if (!context.Output().Write(record) || ++printed >= request.limit) return false;
    }
    return true;
}

// An engine without listings: every hit is read before the first is printed.
int SearchWhole(CliContext& context, const LibraryReader& reader, const SearchRequest& request,
                const std::vector<DiscRecord>& discs)
{
    const std::vector<ItemRecord> folders = request.folders ? reader.SearchFolders(request.text) : std::vector<ItemRecord>();
    const std::vector<ItemRecord> files = request.files ? reader.SearchFiles(request.text) : std::vector<ItemRecord>();
    if (FAILED(reader.Failure())) return context.LibraryFailure(reader.Failure());
    if (request.countOnly) {
        auto onDisc = [&](const ItemRecord& item) { return !request.discId || item.discId == request.discId; };
        if (request.discs) PrintCount(context, QStringLiteral("discs"), qint64(discs.size()));
        if (request.folders) PrintCount(context, QStringLiteral("folders"), std::count_if(folders.begin(), folders.end(), onDisc));
        if (request.files) PrintCount(context, QStringLiteral("files"), std::count_if(files.begin(), files.end(), onDisc));
        return CliContext::Success;
    }
    qint64 printed = 0;
    if (PrintDiscs(context, discs, request, printed) && PrintFound(context, reader, folders, true, request, printed))
        PrintFound(context, reader, files, false, request, printed);
    return Finished(context, reader);
}

} // namespace

namespace CliCatalogCommands {

int Discs(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty()) return CliContext::UsageError("discs", "takes no arguments");
    ILibraryEngine* library = context.Library();
    if (!library) return CliContext::Failure;
    LibraryReader reader(library);
    const std::vector<DiscRecord> discs = reader.Discs();
    if (FAILED(reader.Failure())) return context.LibraryFailure(reader.Failure());
    for (const DiscRecord& disc : discs) {
        const bool incomplete = DiscReadGaps::OfDisc(library, disc.discId).IsIncomplete();
        const CliRecord record = CliRecord()
                                     .Number("id", disc.discId)
                                     .Text("name", LibraryReader::Text(disc.name))
                                     .Text("identity", reader.Identity(disc.discId))
                                     .Number("folders", disc.folderCount)
                                     .Number("files", disc.fileCount)
                                     .Text("state", incomplete ? QStringLiteral("incomplete") : QStringLiteral("complete"));
        if (!context.Output().Write(record)) break;
    }
    return Finished(context, reader);
}

int List(CliContext& context, const QStringList& arguments)
{
    CliOptions options(arguments, {"-R"}, {});
    if (options.Positional().isEmpty() || options.Positional().size() > 2) options.SetError("needs a disc and an optional path");
    if (!options.Error().isEmpty()) return CliContext::UsageError("ls", options.Error());
    const int discId = context.FindDisc(options.Positional()[0]);
    if (discId <= 0) return CliContext::Failure;
    LibraryReader reader(context.Library());
    QString error;
    const QString path = options.Positional().value(1);
    const int folderId = reader.FindFolder(discId, path, &error);
    if (FAILED(reader.Failure())) return context.LibraryFailure(reader.Failure());
    if (folderId < 0) return CliContext::Fail(error);
    CliOutput& output = context.Output();
    reader.ListFolder(discId, folderId, LibraryReader::NormalisedPath(path), options.Has("-R"),
                      [&](const LibraryReader::Entry& entry) {
                          return output.Write(CliRecord()
                                                  .Text("path", entry.path)
                                                  .Number("size", entry.size)
                                                  .Text("time", LibraryReader::IsoTime(entry.time)));
                      });
    return Finished(context, reader);
}

int Search(CliContext& context, const QStringList& arguments)
{
    SearchRequest request;
    if (const int code = ParseSearch(context, arguments, request); code >= 0) return code;
    ILibraryEngine* library = context.Library();
    if (!library) return CliContext::Failure;
    LibraryReader reader(library);
    // Discs first, as the window lists them; a library has few.
    std::vector<DiscRecord> discs;
    if (request.discs) discs = reader.SearchDiscs(request.text);
    if (FAILED(reader.Failure())) return context.LibraryFailure(reader.Failure());
    std::erase_if(discs, [&](const DiscRecord& disc) { return request.discId && disc.discId != request.discId; });

    const ComPtr<ILibraryListings> listings = ListingReader::ListingsOf(library);
    if (!listings) return SearchWhole(context, reader, request, discs);
    // Printing goes through the hits in order, so the engine can hand them
    // out from the scan that finds them; counting needs no entries.
    const ComPtr<ILibraryListedEntries> compact =
        request.countOnly ? ComPtr<ILibraryListedEntries>() : ListingReader::ListedEntriesOf(library);
    const auto* text = reinterpret_cast<const char16_t*>(request.text.utf16());
    LibraryListing listing = nullptr;
    // Files alone are not kept waiting while every folder name is scanned.
    // Folders are searched with the files even when only they are printed:
    // while the listing's worker reads, the path lookups of folder lines (one
    // a folder) share its hold on the library file's locks; without it each
    // takes and drops them (a third more processor time at 50,000 folders).
    // Lines show a hit's name and place only: the files' sizes and times are not read.
    const LONG kinds = (request.folders ? kListedFoldersAndFiles : kListedFiles) | kListedPlacesOnly;
    const HRESULT opened =
        compact ? compact->OpenSearchEntries(text, kinds, &listing) : listings->OpenSearchListing(text, &listing);
    if (FAILED(opened)) return context.LibraryFailure(opened);
    ListingReader found(listings.Get(), listing);
    if (request.countOnly) return CountHits(context, found, request, qint64(discs.size()));

    qint64 printed = 0;
    if (!PrintDiscs(context, discs, request, printed)) return Finished(context, reader);
    HRESULT failure = S_OK;
    bool more = true;
    if (compact) {
        // Hits in the compact form; the rare one whose texts need it from its whole record.
        const ComPtr<ILibraryPathTexts> pathTexts = ListedPathTexts::RangesOf(library);
        ListedHitWriter writer(context.Output(), reader, found, compact.Get(), pathTexts.Get(), request.discId,
                               [&](const ItemRecord& item, bool folder) {
                                   return context.Output().Write(HitRecord(reader, item, folder));
                               });
        if (request.folders) more = writer.PrintKind(kListingFolders, request.limit, printed, failure);
        if (more && request.files) writer.PrintKind(kListingFiles, request.limit, printed, failure);
    } else {
        if (request.folders) more = PrintListed(context, reader, found, kListingFolders, request, printed, failure);
        if (more && request.files) PrintListed(context, reader, found, kListingFiles, request, printed, failure);
    }
    if (FAILED(failure)) return context.LibraryFailure(failure);
    // Every line is out: the reader sees the end before the listing closes.
    context.Output().End();
    return Finished(context, reader);
}

} // namespace CliCatalogCommands
