#include "LibraryCopy.h"

#include "CTreeWalk.h"
#include "CataloguedDiscReader.h"
#include "ComPtr.h"
#include "DiscReadGaps.h"
#include "DiscTagList.h"
#include "DiscTypeMapping.h"
#include "ILibraryDiscCounts.h"
#include "ImportRecord.h"
#include "LabelModule.h"
#include "LibraryReader.h"
#include "LibraryStatusText.h"
#include "PrivateTempFolder.h"
#include "TagNames.h"

#include <QDir>
#include <memory>

namespace {

// Label sets 1 to 5 are every library's default sets, under the same ids.
constexpr LONG kLastDefaultLabel = 5;

const char16_t* Utf16(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

constexpr long long kMB = 1000LL * 1000;
constexpr long long kGB = 1000LL * kMB;

// The library keeps a disc's codes, not the drive's answers they came from:
// the answers to give AddDisc are those that give the same codes again.
DiscProperties PropertiesFor(const DiscRecord& disc, const QByteArray& identity)
{
    static const long long capacities[] = {0, 200 * kMB, 700 * kMB, 2 * kGB, 4700 * kMB, 8500 * kMB,
                                           15 * kGB, 25 * kGB, 50 * kGB, 100 * kGB, 128 * kGB};
    DiscProperties properties;
    properties.identity = identity;
    properties.folderCount = disc.folderCount;
    properties.fileCount = disc.fileCount;
    properties.usedBytes = disc.totalSize;
    for (const int32_t audioFlag : {0, -1})
        for (const int32_t discClass : {1, 2, 3, 0})
            for (const long long capacity : capacities) {
                properties.audioFlag = audioFlag;
                properties.discClass = discClass;
                properties.capacityBytes = capacity;
                const DiscTypeCodes codes = DiscTypeMapping::Classify(properties);
                if (codes.mediaClass == disc.mediaClass && codes.formatCode == disc.formatCode) return properties;
            }
    return properties; // no answers give these codes; the check at the end says so
}

bool SameRecord(const DiscRecord& a, const DiscRecord& b)
{
    return LibraryReader::Text(a.name) == LibraryReader::Text(b.name) &&
           LibraryReader::Text(a.tagNames) == LibraryReader::Text(b.tagNames) &&
           LibraryReader::Text(a.dateText) == LibraryReader::Text(b.dateText) && a.folderCount == b.folderCount &&
           a.fileCount == b.fileCount && a.mediaClass == b.mediaClass && a.formatCode == b.formatCode &&
           a.totalSize == b.totalSize;
}

} // namespace

HRESULT LibraryCopy::Fail(HRESULT hr, const QString& why)
{
    if (m_error.isEmpty()) m_error = why;
    return FAILED(hr) ? hr : E_FAIL;
}

HRESULT LibraryCopy::Run()
{
    const LibraryReader source(m_pFrom);
    const std::vector<DiscRecord> discs = source.Discs();
    if (FAILED(source.Failure())) return Fail(source.Failure(), QStringLiteral("the library to copy cannot be read"));
    const HRESULT unwritable = LibraryStatusText::WriteFailureOf(m_pTo);
    if (FAILED(unwritable)) return Fail(unwritable, LibraryStatusText::WriteFailure(unwritable));
    LONG present = 0;
    HRESULT hr = m_pTo->GetDiscCount(&present);
    if (FAILED(hr)) return Fail(hr, QStringLiteral("the destination library cannot be read"));
    if (present > 0)
        return Fail(E_FAIL, QStringLiteral("the destination library is not empty (%1 discs); a copy goes only into an empty library")
                                .arg(present));
    hr = CopyTags();
    LibraryImportHandle handle = nullptr;
    if (SUCCEEDED(hr)) hr = m_pTo->OpenImportHandle(&handle);
    if (FAILED(hr)) {
        Undo(nullptr);
        return Fail(hr, QStringLiteral("the destination library cannot be written"));
    }
    for (size_t i = 0; i < discs.size() && SUCCEEDED(hr); ++i) {
        if (m_progress) m_progress(static_cast<int>(i + 1), static_cast<int>(discs.size()), LibraryReader::Text(discs[i].name));
        hr = CopyDisc(handle, discs[i]);
    }
    if (FAILED(hr)) {
        Undo(handle);
        return hr;
    }
    hr = m_pTo->CloseImportHandle(handle);
    if (FAILED(hr)) {
        Undo(nullptr);
        return Fail(hr, QStringLiteral("the copied discs could not be made final"));
    }
    hr = Verify(discs);
    if (FAILED(hr)) Undo(nullptr);
    return hr;
}

// Every visible tag of the source, in its order; tags the destination has
// (by name, ignoring case) are used as they are.
HRESULT LibraryCopy::CopyTags()
{
    LONG count = 0;
    HRESULT hr = m_pFrom->GetTagCount(&count);
    std::vector<TagRecord> tags(static_cast<size_t>(std::max<LONG>(count, 0)));
    if (SUCCEEDED(hr) && count > 0) hr = m_pFrom->GetTags(tags.data(), count);
    if (FAILED(hr)) return Fail(hr, QStringLiteral("the tags of the library to copy cannot be read"));
    for (const TagRecord& tag : tags) {
        LONG id = 0;
        hr = m_pTo->AddTag(tag.name, &id);
        if (FAILED(hr)) return Fail(hr, QStringLiteral("the tag %1 cannot be added").arg(LibraryReader::Text(tag.name)));
        if (hr == S_OK) m_addedTags.push_back(LibraryReader::Text(tag.name));
        m_tagIds.insert(tag.id, static_cast<int>(id));
    }
    return S_OK;
}

QString LibraryCopy::TargetTagIds(const DiscRecord& disc) const
{
    QStringList ids;
    for (const int id : TagNames::SplitIds(DiscTagList::Read(m_pFrom, disc).text))
        if (m_tagIds.contains(id)) ids << QString::number(m_tagIds.value(id));
    return ids.join(QStringLiteral("::"));
}

// Default sets keep their id; any other set is stored again from its largest picture.
HRESULT LibraryCopy::TargetLabel(LONG sourceLabelId, LONG* targetLabelId)
{
    if (sourceLabelId <= kLastDefaultLabel) {
        *targetLabelId = sourceLabelId;
        return S_OK;
    }
    if (const auto known = m_labelIds.constFind(sourceLabelId); known != m_labelIds.constEnd()) {
        *targetLabelId = *known;
        return S_OK;
    }
    const QString folder = PrivateTempFolder::Path();
    bool pictureRead = false;
    const HRESULT hr = LabelModule::CopyLabel(m_pFrom, sourceLabelId, m_pTo, folder, targetLabelId, &pictureRead);
    QDir().rmdir(folder);
    if (!pictureRead) return Fail(hr, QStringLiteral("the label picture %1 cannot be read").arg(sourceLabelId));
    if (FAILED(hr)) return Fail(hr, QStringLiteral("the label picture %1 cannot be stored").arg(sourceLabelId));
    m_addedLabels.push_back(*targetLabelId);
    m_labelIds.insert(sourceLabelId, *targetLabelId);
    return S_OK;
}

HRESULT LibraryCopy::AddDiscRecord(const DiscRecord& disc, LONG* targetId)
{
    char identity[260] = {};
    HRESULT hr = m_pFrom->GetDiscIdentity(disc.discId, identity);
    if (FAILED(hr)) return hr;
    const DiscProperties properties = PropertiesFor(disc, QByteArray(identity));
    const QString tagIds = TargetTagIds(disc);
    hr = m_pTo->AddDisc(identity, nullptr, nullptr, nullptr, disc.name, Utf16(tagIds), properties.audioFlag,
                        properties.discClass, disc.folderCount, disc.fileCount, disc.totalSize,
                        properties.capacityBytes, disc.dateText);
    LONG labelId = 0;
    if (SUCCEEDED(hr)) hr = m_pTo->GetLastAddedDisc(targetId, &labelId);
    return hr;
}

HRESULT LibraryCopy::CopyDisc(LibraryImportHandle handle, const DiscRecord& disc)
{
    const QString name = LibraryReader::Text(disc.name);
    LONG labelId = 0;
    HRESULT hr = TargetLabel(disc.labelId, &labelId);
    if (FAILED(hr)) return hr;
    LONG targetId = 0;
    hr = AddDiscRecord(disc, &targetId);
    if (FAILED(hr)) return Fail(hr, QStringLiteral("the disc %1 cannot be added").arg(name));
    m_discs.push_back({disc.discId, targetId, 0, 0});
    hr = m_pTo->SetDiscLabelId(targetId, labelId);
    if (SUCCEEDED(hr)) hr = ImportRecord::Note(m_pTo, handle, targetId, 0, DiscReadGaps::OfDisc(m_pFrom, disc.discId));
    CataloguedDiscReader reader(m_pFrom, disc.discId);
    if (SUCCEEDED(hr))
        hr = CTreeWalk(handle, m_pTo, &reader, targetId, labelId,
                       {[] { return false; }, [] {}, [] {}, [&reader](const QString&) { return reader.LastType(); }})
                 .Run();
    if (SUCCEEDED(hr)) hr = reader.Failure();
    if (FAILED(hr)) return Fail(hr, QStringLiteral("the disc %1 cannot be copied").arg(name));
    m_discs.back().folders = reader.FolderCount();
    m_discs.back().files = reader.FileCount();
    return S_OK;
}

// The copy holds as many discs as the original, each with the same record
// and as many folders and files as were read from its original, counted by
// the destination from its stored rows (one request per disc).
HRESULT LibraryCopy::Verify(const std::vector<DiscRecord>& originals)
{
    ComPtr<ILibraryDiscCounts> counter;
    if (FAILED(m_pTo->QueryInterface(IID_ILibraryDiscCounts, counter.PutVoid())) || !counter)
        return Fail(E_NOINTERFACE, QStringLiteral("the destination library cannot count the entries of its discs"));
    const LibraryReader target(m_pTo);
    const std::vector<DiscRecord> copies = target.Discs();
    if (FAILED(target.Failure())) return Fail(target.Failure(), QStringLiteral("the copy cannot be read back"));
    if (copies.size() != originals.size())
        return Fail(E_FAIL, QStringLiteral("the copy holds %1 discs instead of %2").arg(copies.size()).arg(originals.size()));
    for (size_t i = 0; i < m_discs.size(); ++i) {
        const CopiedDisc& copied = m_discs[i];
        const QString name = LibraryReader::Text(originals[i].name);
        DiscRecord copy{};
        LONG folders = 0, files = 0;
        HRESULT hr = target.DiscById(copied.targetId, &copy) ? S_OK : E_FAIL;
        if (SUCCEEDED(hr)) hr = counter->GetDiscEntryCounts(copied.targetId, &folders, &files);
        if (FAILED(hr)) return Fail(hr, QStringLiteral("the copy of disc %1 cannot be read back").arg(name));
        if (!SameRecord(copy, originals[i]) || folders != copied.folders || files != copied.files)
            return Fail(E_FAIL, QStringLiteral("the copy of disc %1 differs from the original (%2 folders and %3 files"
                                               " instead of %4 and %5)")
                                    .arg(name).arg(folders).arg(files).arg(copied.folders).arg(copied.files));
        m_copied.folders += folders;
        m_copied.files += files;
    }
    m_copied.discs = static_cast<int>(copies.size());
    return S_OK;
}

// Takes out of the destination what the copy put there: its discs (still
// inside the open import, when there is one), label sets and new tags.
void LibraryCopy::Undo(LibraryImportHandle handle)
{
    for (const CopiedDisc& disc : m_discs) {
        if (handle) m_pTo->DeleteDiscWithHandle(handle, disc.targetId, 0);
        m_pTo->DeleteDisc(disc.targetId, 0);
    }
    if (handle) m_pTo->CloseImportHandle(handle);
    for (const LONG labelId : m_addedLabels) m_pTo->DeleteLabel(labelId, 0);
    for (const QString& tag : m_addedTags) m_pTo->SetTagVisible(Utf16(tag), 0);
    m_discs.clear();
    m_copied = Counts{};
}
