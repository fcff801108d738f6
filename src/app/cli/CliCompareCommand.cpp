#include "CliCompareCommand.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "LibraryReader.h"
#include "ListingReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

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
    const QDir base(folder);
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        QList<int> discs;
        const HRESULT hr = DiscsHolding(listings.Get(), file.fileName(), file.size(), onlyDisc, &discs);
        if (FAILED(hr)) return context.LibraryFailure(hr);
        allCatalogued = allCatalogued && !discs.isEmpty();
        const CliRecord record = CliRecord()
                                     .Text("state", discs.isEmpty() ? QStringLiteral("missing") : QStringLiteral("catalogued"))
                                     .Text("path", base.relativeFilePath(file.filePath()))
                                     .Number("size", file.size())
                                     .Text("discs", DiscList(discs));
        if (!context.Output().Write(record)) break;
    }
    return allCatalogued ? CliContext::Success : CliContext::NotAllCatalogued;
}

} // namespace CliCompareCommand
