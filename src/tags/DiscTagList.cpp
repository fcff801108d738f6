#include "DiscTagList.h"

#include "ComPtr.h"
#include "ILibraryDiscTags.h"
#include "TagRecords.h"
#include "TagText.h"

#include <QSet>

namespace DiscTagList {

namespace {

const QString kIdSeparator = QStringLiteral("::");

// The whole text, asked for again while it grows between the two calls.
HRESULT ReadWhole(ILibraryDiscTags* tags, LONG discId, QString* text)
{
    LONG length = 0;
    HRESULT hr = tags->GetDiscTagIds(discId, nullptr, 0, &length);
    for (int attempt = 0; hr == S_FALSE && attempt < 3; ++attempt) {
        std::vector<char16_t> buffer(static_cast<size_t>(length) + 1, u'\0');
        hr = tags->GetDiscTagIds(discId, buffer.data(), static_cast<LONG>(buffer.size()), &length);
        if (hr == S_OK) *text = QString::fromUtf16(buffer.data());
    }
    return hr == S_OK ? S_OK : E_FAIL;
}

} // namespace

Ids Read(ILibraryEngine* library, const DiscRecord& disc)
{
    const QString recorded = QString::fromUtf16(disc.tagIds);
    if (recorded.size() < kLibraryTextLength - 1) return {recorded, true};
    ComPtr<ILibraryDiscTags> tags;
    QString whole;
    if (library && SUCCEEDED(library->QueryInterface(IID_ILibraryDiscTags, tags.PutVoid())) && tags &&
        SUCCEEDED(ReadWhole(tags.Get(), disc.discId, &whole)))
        return {whole, true};
    const qsizetype lastSeparator = recorded.lastIndexOf(kIdSeparator);
    return {lastSeparator < 0 ? QString() : recorded.left(lastSeparator), false};
}

QString Names(const std::vector<TagRecord>& tags, const QString& idsText)
{
    const QList<int> ids = TagText::SplitIds(idsText);
    const QSet<int> wanted(ids.begin(), ids.end());
    QStringList names;
    for (const TagRecord& tag : tags)
        if (wanted.contains(tag.id)) names << TagRecords::Name(tag);
    return TagText::JoinNames(names);
}

} // namespace DiscTagList
