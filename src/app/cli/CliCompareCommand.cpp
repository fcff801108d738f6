#include "CliCompareCommand.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "LibraryReader.h"
#include "ListingReader.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace {

// The ids of the discs holding a file of that name (ignoring case) and
// size, each once, in the order found; S_OK or the library's failure.
HRESULT DiscsHolding(ILibraryListings* listings, const QString& name, qint64 size, int onlyDisc, QList<int>* discs)
{
    LibraryListing listing = nullptr;
    HRESULT hr = listings->OpenSearchListing(reinterpret_cast<const char16_t*>(name.utf16()), &listing);
    if (FAILED(hr)) return hr;
    ListingReader found(listings, listing);
    std::vector<ItemRecord> block;
    while ((hr = found.Next(kListingFiles, block)) == S_OK)
        for (const ItemRecord& item : block)
            if (item.id != 0 && item.size == size && (!onlyDisc || item.discId == onlyDisc) &&
                LibraryReader::Text(item.name).compare(name, Qt::CaseInsensitive) == 0 && !discs->contains(item.discId))
                discs->append(item.discId);
    return FAILED(hr) ? hr : S_OK;
}

QString DiscList(const QList<int>& discs)
{
    QStringList ids;
    for (int id : discs) ids << QLatin1Char('#') + QString::number(id);
    return ids.join(QLatin1Char(','));
}

// Calls visit(file) for every file below `folder` in name order, a folder's
// files before its subfolders (so that two runs print the same lines in
// the same order, whatever order the file system keeps); links to folders
// are not followed. False when visit stopped it.
bool EachFile(const QString& folder, const std::function<bool(const QFileInfo&)>& visit)
{
    const QDir dir(folder);
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        if (!visit(file)) return false;
    for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        if (!sub.isSymLink() && !EachFile(sub.filePath(), visit)) return false;
    return true;
}

} // namespace

namespace CliCompareCommand {

int Compare(CliContext& context, const QStringList& arguments)
{
    CliOptions options(arguments, {}, {"--disc"});
    if (options.Positional().size() != 1) options.SetError("needs one folder");
    if (!options.Error().isEmpty()) return CliContext::UsageError("compare", options.Error());
    const QString folder = options.Positional()[0];
    if (!QFileInfo(folder).isDir()) return CliContext::Fail(QStringLiteral("%1: no such folder").arg(folder));
    ILibraryEngine* library = context.Library();
    if (!library) return CliContext::Failure;
    const int onlyDisc = options.Has("--disc") ? context.FindDisc(options.Value("--disc")) : 0;
    if (options.Has("--disc") && onlyDisc <= 0) return CliContext::Failure;
    const ComPtr<ILibraryListings> listings = ListingReader::ListingsOf(library);
    if (!listings) return CliContext::Fail(QStringLiteral("this library cannot be searched name by name"));

    bool allCatalogued = true;
    HRESULT failure = S_OK;
    const QDir base(folder);
    EachFile(folder, [&](const QFileInfo& file) {
        QList<int> discs;
        failure = DiscsHolding(listings.Get(), file.fileName(), file.size(), onlyDisc, &discs);
        if (FAILED(failure)) return false;
        allCatalogued = allCatalogued && !discs.isEmpty();
        const CliRecord record = CliRecord()
                                     .Text("state", discs.isEmpty() ? QStringLiteral("missing") : QStringLiteral("catalogued"))
                                     .Text("path", base.relativeFilePath(file.filePath()))
                                     .Number("size", file.size())
                                     .Text("discs", DiscList(discs));
        return context.Output().Write(record);
    });
    if (FAILED(failure)) return context.LibraryFailure(failure);
    return allCatalogued ? CliContext::Success : CliContext::NotAllCatalogued;
}

} // namespace CliCompareCommand
