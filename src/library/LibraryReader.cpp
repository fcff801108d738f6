#include "LibraryReader.h"

#include "FileTime.h"

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

QString LibraryReader::Entry::Line() const
{
    return path + QLatin1Char('\t') + QString::number(size) + QLatin1Char('\t') + IsoTime(time);
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

QString LibraryReader::FileFullPath(const ItemRecord& item) const
{
    char16_t folder[260] = {};
    if (item.pathId > 0) Note(m_pLibrary->GetPathText(item.pathId, folder));
    return Text(folder) + QLatin1Char('\\') + Text(item.name);
}

QString LibraryReader::FolderFullPath(const ItemRecord& item) const
{
    char16_t path[260] = {};
    Note(m_pLibrary->GetPathText(item.pathId, path));
    return Text(path);
}

int LibraryReader::FindDisc(const QString& idOrName, QString* error) const
{
    const std::vector<DiscRecord> discs = Discs();
    bool numeric = false;
    const int id = idOrName.toInt(&numeric);
    for (const DiscRecord& disc : discs)
        if (numeric && disc.discId == id) return id;
    for (Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        int found = 0, matches = 0;
        for (const DiscRecord& disc : discs)
            if (Text(disc.name).compare(idOrName, sensitivity) == 0) {
                found = disc.discId;
                ++matches;
            }
        if (matches == 1) return found;
        if (matches > 1) {
            *error = QStringLiteral("%1 discs are named \"%2\"; give the disc id").arg(matches).arg(idOrName);
            return 0;
        }
    }
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

void LibraryReader::ListFolder(int discId, int folderId, const QString& folderPath, bool recursive,
                               const std::function<void(const Entry&)>& visit) const
{
    for (const FolderItemRecord& item : FolderItems(discId, folderId)) {
        const QString path = folderPath + QLatin1Char('\\') + Text(item.name);
        const bool folder = IsFolder(item);
        visit({folder ? path + QLatin1Char('\\') : path, item.size, item.time});
        if (folder && recursive) ListFolder(discId, item.id, path, true, visit);
    }
}

QString LibraryReader::IsoTime(INT64 fileTime)
{
    if (fileTime <= 0) return QString();
    return FileTime::ToDateTime(fileTime).toString(Qt::ISODate);
}
