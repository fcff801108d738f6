#include "CliCatalogCommands.h"

#include "CliContext.h"
#include "LibraryReader.h"

namespace CliCatalogCommands {

int Discs(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty()) return CliContext::UsageError("discs", "takes no arguments");
    ILibraryEngine* library = context.Library();
    if (!library) return CliContext::Failure;
    LibraryReader reader(library);
    for (const DiscRecord& disc : reader.Discs())
        CliContext::Print(QStringList{QString::number(disc.discId), LibraryReader::Text(disc.name),
                                      reader.Identity(disc.discId), QString::number(disc.folderCount),
                                      QString::number(disc.fileCount)}
                              .join(QLatin1Char('\t')));
    return CliContext::Success;
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
    if (discId <= 0) return CliContext::Fail(error);
    const QString path = positional.value(1);
    const int folderId = reader.FindFolder(discId, path, &error);
    if (folderId < 0) return CliContext::Fail(error);
    reader.ListFolder(discId, folderId, LibraryReader::NormalisedPath(path), recursive,
                      [](const LibraryReader::Entry& entry) { CliContext::Print(entry.Line()); });
    return CliContext::Success;
}

int Search(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 1 || arguments[0].isEmpty()) return CliContext::UsageError("search", "needs one search text");
    ILibraryEngine* library = context.Library();
    if (!library) return CliContext::Failure;
    LibraryReader reader(library);
    const QString& text = arguments[0];
    for (const DiscRecord& disc : reader.SearchDiscs(text))
        CliContext::Print(QStringLiteral("disc\t") + LibraryReader::Text(disc.name) + QStringLiteral("\t\\"));
    for (const ItemRecord& folder : reader.SearchFolders(text))
        CliContext::Print(QStringLiteral("folder\t") + LibraryReader::Text(folder.discName) + QLatin1Char('\t') +
                          reader.FolderFullPath(folder) + QLatin1Char('\\'));
    for (const ItemRecord& file : reader.SearchFiles(text))
        CliContext::Print(QStringLiteral("file\t") + LibraryReader::Text(file.discName) + QLatin1Char('\t') +
                          reader.FileFullPath(file));
    return CliContext::Success;
}

} // namespace CliCatalogCommands
