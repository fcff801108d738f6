#include "CliCatalogCommands.h"

#include "CliContext.h"
#include "DiscReadGaps.h"
#include "LibraryReader.h"

namespace {
// Success only when every read of the library succeeded.
int Finished(CliContext& context, const LibraryReader& reader)
{
    return FAILED(reader.Failure()) ? context.LibraryFailure(reader.Failure()) : CliContext::Success;
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
        CliContext::Print(QStringList{QString::number(disc.discId), LibraryReader::Text(disc.name),
                                      reader.Identity(disc.discId), QString::number(disc.folderCount),
                                      QString::number(disc.fileCount),
                                      incomplete ? QStringLiteral("incomplete") : QStringLiteral("complete")}
                              .join(QLatin1Char('\t')));
    }
    return Finished(context, reader);
}

int List(CliContext& context, const QStringList& arguments)
{
    QStringList positional = arguments;
    const bool recursive = positional.removeAll(QStringLiteral("-R")) > 0;
    if (positional.isEmpty() || positional.size() > 2) return CliContext::UsageError("ls", "needs a disc and an optional path");
    ILibraryEngine* library = context.Library();
    if (!library) return CliContext::Failure;
    LibraryReader reader(library);
    QString error;
    const int discId = reader.FindDisc(positional[0], &error);
    if (FAILED(reader.Failure())) return context.LibraryFailure(reader.Failure());
    if (discId <= 0) return CliContext::Fail(error);
    const QString path = positional.value(1);
    const int folderId = reader.FindFolder(discId, path, &error);
    if (FAILED(reader.Failure())) return context.LibraryFailure(reader.Failure());
    if (folderId < 0) return CliContext::Fail(error);
    reader.ListFolder(discId, folderId, LibraryReader::NormalisedPath(path), recursive,
                      [](const LibraryReader::Entry& entry) { CliContext::Print(entry.Line()); });
    return Finished(context, reader);
}

int Search(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 1 || arguments[0].isEmpty()) return CliContext::UsageError("search", "needs one search text");
    ILibraryEngine* library = context.Library();
    if (!library) return CliContext::Failure;
    LibraryReader reader(library);
    const QString& text = arguments[0];
    const std::vector<DiscRecord> discs = reader.SearchDiscs(text);
    const std::vector<ItemRecord> folders = reader.SearchFolders(text);
    const std::vector<ItemRecord> files = reader.SearchFiles(text);
    if (FAILED(reader.Failure())) return context.LibraryFailure(reader.Failure());
    for (const DiscRecord& disc : discs)
        CliContext::Print(QStringLiteral("disc\t") + LibraryReader::Text(disc.name) + QStringLiteral("\t\\"));
    for (const ItemRecord& folder : folders)
        CliContext::Print(QStringLiteral("folder\t") + LibraryReader::Text(folder.discName) + QLatin1Char('\t') +
                          reader.FolderFullPath(folder) + QLatin1Char('\\'));
    for (const ItemRecord& file : files)
        CliContext::Print(QStringLiteral("file\t") + LibraryReader::Text(file.discName) + QLatin1Char('\t') +
                          reader.FileFullPath(file));
    return Finished(context, reader);
}

} // namespace CliCatalogCommands
