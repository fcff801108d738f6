#include "LibraryReader.h"

#include "FileTime.h"
#include "ListingReader.h"

#include <algorithm>
#include <iterator>

#include <cstring>

namespace {

const WCHAR* Utf16(const QString& text) { return reinterpret_cast<const WCHAR*>(text.utf16()); }

} // namespace

HRESULT LibraryReader::Note(HRESULT hr) const
{
    if (FAILED(hr) && SUCCEEDED(m_hrFailure)) m_hrFailure = hr;
    return hr;
}

// Reads a list: count first, then that many zero-filled records.
template <class Record>
std::vector<Record> LibraryReader::ReadList(const std::function<HRESULT(LONG*)>& count,
                                            const std::function<HRESULT(Record*, LONG)>& fill) const
{
    LONG n = 0;
    if (FAILED(Note(count(&n))) || n <= 0) return {};
    std::vector<Record> records(static_cast<size_t>(n));
    std::memset(static_cast<void*>(records.data()), 0, records.size() * sizeof(Record));
    if (FAILED(Note(fill(records.data(), n)))) return {};
    return records;
}

std::vector<DiscRecord> LibraryReader::Discs() const
{
    return ReadList<DiscRecord>([&](LONG* n) { return m_pLibrary->GetDiscCount(n); },
                                [&](DiscRecord* r, LONG n) { return m_pLibrary->GetDiscs(r, n); });
}

bool LibraryReader::DiscById(int discId, DiscRecord* record) const
{
    for (const DiscRecord& disc : Discs())
        if (disc.discId == discId) {
            *record = disc;
            return true;
        }
    return false;
}

std::vector<DiscRecord> LibraryReader::SearchDiscs(const QString& text) const
{
    return ReadList<DiscRecord>([&](LONG* n) { return m_pLibrary->SearchDiscCount(Utf16(text), n); },
                                [&](DiscRecord* r, LONG n) { return m_pLibrary->SearchDiscs(Utf16(text), r, n); });
}

std::vector<ItemRecord> LibraryReader::SearchFolders(const QString& text) const
{
    return ReadList<ItemRecord>([&](LONG* n) { return m_pLibrary->SearchFolderCount(Utf16(text), n); },
                                [&](ItemRecord* r, LONG n) { return m_pLibrary->SearchFolders(Utf16(text), r, n); });
}

std::vector<ItemRecord> LibraryReader::SearchFiles(const QString& text) const
{
    return ReadList<ItemRecord>([&](LONG* n) { return m_pLibrary->SearchFileCount(Utf16(text), n); },
                                [&](ItemRecord* r, LONG n) { return m_pLibrary->SearchFiles(Utf16(text), r, n); });
}

std::vector<FolderItemRecord> LibraryReader::FolderItems(int discId, int folderId) const
{
    return ReadList<FolderItemRecord>(
        [&](LONG* n) { return m_pLibrary->GetFolderItemCount(discId, folderId, n); },
        [&](FolderItemRecord* r, LONG n) { return m_pLibrary->GetFolderItems(discId, folderId, r, n); });
}

QString LibraryReader::Identity(int discId) const
{
    char identity[260] = {};
    return SUCCEEDED(Note(m_pLibrary->GetDiscIdentity(discId, identity))) ? QString::fromLatin1(identity) : QString();
}

QString LibraryReader::PathText(int pathId) const
{
    if (pathId <= 0) return QString();
    const auto known = m_paths.constFind(pathId);
    if (known != m_paths.constEnd()) return *known;
    char16_t text[kLibraryTextLength] = {};
    if (FAILED(Note(m_pLibrary->GetPathText(pathId, text)))) return QString();
    // Entries found together mostly share few folders; the memo stays small.
    if (m_paths.size() >= kRememberedPaths) m_paths.clear();
    return *m_paths.insert(pathId, Text(text));
}

QString LibraryReader::FileFullPath(const ItemRecord& item) const
{
    return PathText(item.pathId) + QLatin1Char('\\') + Text(item.name);
}

QString LibraryReader::FolderFullPath(const ItemRecord& item) const { return PathText(item.pathId); }

int LibraryReader::FindDisc(const QString& idOrName, QString* error) const
{
    const std::vector<DiscRecord> discs = Discs();
    if (idOrName.startsWith(QLatin1Char('#'))) {
        bool numeric = false;
        const int id = idOrName.mid(1).toInt(&numeric);
        for (const DiscRecord& disc : discs)
            if (numeric && disc.discId == id) return id;
        *error = QStringLiteral("no disc %1 in the library").arg(idOrName);
        return 0;
    }
    for (Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        QStringList candidates;
        int found = 0;
        for (const DiscRecord& disc : discs)
            if (Text(disc.name).compare(idOrName, sensitivity) == 0) {
                found = disc.discId;
                candidates << QStringLiteral("#%1 \"%2\"").arg(disc.discId).arg(Text(disc.name));
            }
        if (candidates.size() == 1) return found;
        if (candidates.size() > 1) {
            *error = QStringLiteral("%1 discs are named \"%2\" (%3); name one by its #id")
                         .arg(candidates.size())
                         .arg(idOrName, candidates.join(QStringLiteral(", ")));
            return 0;
        }
    }
    // A bare number names the disc with that id when no disc has it as its name.
    bool numeric = false;
    const int id = idOrName.toInt(&numeric);
    for (const DiscRecord& disc : discs)
        if (numeric && disc.discId == id) return id;
    *error = QStringLiteral("no disc \"%1\" in the library").arg(idOrName);
    return 0;
}

QString LibraryReader::NormalisedPath(const QString& path)
{
    QString normal = path;
    normal.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList parts = normal.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? QString() : QLatin1Char('\\') + parts.join(QLatin1Char('\\'));
}

bool LibraryReader::IsFolder(const FolderItemRecord& item) { return Text(item.type) == QLatin1String("Folder"); }

int LibraryReader::FindFolder(int discId, const QString& path, QString* error) const
{
    int folderId = 0;
    for (const QString& part : NormalisedPath(path).split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        int next = -1;
        for (const FolderItemRecord& item : FolderItems(discId, folderId))
            if (IsFolder(item) && Text(item.name) == part) next = item.id;
        if (next < 0) {
            *error = QStringLiteral("no folder %1 on that disc").arg(NormalisedPath(path));
            return -1;
        }
        folderId = next;
    }
    return folderId;
}

bool LibraryReader::ForEachEntry(int discId, int folderId,
                                 const std::function<bool(const ItemRecord&, bool folder)>& visit) const
{
    LONG count = 0;
    if (FAILED(Note(m_pLibrary->GetFolderItemCount(discId, folderId, &count)))) return false;
    const ComPtr<ILibraryListings> listings =
        count > kWholeFolder ? ListingReader::ListingsOf(m_pLibrary) : ComPtr<ILibraryListings>();
    LibraryListing listing = nullptr;
    if (listings && SUCCEEDED(Note(listings->OpenFolderListing(discId, folderId, &listing))))
        return ForEachListed(listings.Get(), listing, visit);
    for (const FolderItemRecord& entry : FolderItems(discId, folderId)) {
        ItemRecord item{};
        item.id = entry.id;
        std::copy(std::begin(entry.name), std::end(entry.name), item.name);
        item.size = entry.size;
        item.time = entry.time;
        if (!visit(item, IsFolder(entry))) return false;
    }
    return SUCCEEDED(m_hrFailure);
}

bool LibraryReader::ForEachListed(ILibraryListings* listings, LibraryListing listing,
                                  const std::function<bool(const ItemRecord&, bool folder)>& visit) const
{
    ListingReader reader(listings, listing);
    std::vector<ItemRecord> block;
    for (LONG kind : {kListingFolders, kListingFiles}) {
        HRESULT hr = S_OK;
        while ((hr = Note(reader.Next(kind, block))) == S_OK)
            for (const ItemRecord& item : block)
                if (item.id != 0 && !visit(item, kind == kListingFolders)) return false;
        if (FAILED(hr)) return false;
    }
    return true;
}

bool LibraryReader::ListFolder(int discId, int folderId, const QString& folderPath, bool recursive,
                               const std::function<bool(const Entry&)>& visit) const
{
    return ForEachEntry(discId, folderId, [&](const ItemRecord& item, bool folder) {
        const QString path = folderPath + QLatin1Char('\\') + Text(item.name);
        if (!visit({folder ? path + QLatin1Char('\\') : path, item.size, item.time, folder})) return false;
        return !folder || !recursive || ListFolder(discId, item.id, path, true, visit);
    });
}

QString LibraryReader::IsoTime(INT64 fileTime)
{
    if (fileTime <= 0) return QString();
    return FileTime::ToDateTime(fileTime).toString(Qt::ISODate);
}
