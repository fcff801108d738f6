#include "TagText.h"

#include <vector>

namespace TagText {

QString JoinIds(const QList<int>& ids)
{
    QStringList parts;
    for (int id : ids) parts << QString::number(id);
    return parts.join(QStringLiteral("::"));
}

QList<int> SplitIds(const QString& idsText)
{
    QList<int> ids;
    for (const QString& part : idsText.split(QStringLiteral("::"), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.toInt(&ok);
        if (ok) ids << id;
    }
    return ids;
}

HRESULT IdsForNames(ILibraryEngine* library, const QStringList& names, QString* idsText)
{
    if (!library || !idsText) return E_POINTER;
    QList<int> wanted;
    for (const QString& name : names) {
        const auto* text = reinterpret_cast<const WCHAR*>(name.utf16());
        LONG id = 0, visible = 0;
        HRESULT hr = library->FindTag(&id, &visible, text);
        if (SUCCEEDED(hr) && (id <= 0 || !visible)) hr = library->AddTag(text, &id);
        if (FAILED(hr)) return hr;
        wanted << id;
    }
    LONG count = 0;
    HRESULT hr = library->GetTagCount(&count);
    if (FAILED(hr)) return hr;
    std::vector<TagRecord> tags(static_cast<size_t>(count));
    if (count > 0 && FAILED(hr = library->GetTags(tags.data(), count))) return hr;
    QList<int> ordered;
    for (const TagRecord& tag : tags)
        if (wanted.contains(tag.id) && !ordered.contains(tag.id)) ordered << tag.id;
    *idsText = JoinIds(ordered);
    return S_OK;
}

} // namespace TagText
