#include "TagText.h"

#include "TagRecords.h"

namespace TagText {

namespace {
const QString kNameSeparator = QStringLiteral(", ");
}

QStringList SplitNames(const QString& namesText) { return namesText.split(kNameSeparator, Qt::SkipEmptyParts); }

QString JoinNames(const QStringList& names) { return names.join(kNameSeparator); }

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
        const char16_t* text = TagRecords::Utf16(name);
        LONG id = 0, visible = 0;
        HRESULT hr = library->FindTag(&id, &visible, text);
        if (SUCCEEDED(hr) && (id <= 0 || !visible)) hr = library->AddTag(text, &id);
        if (FAILED(hr)) return hr;
        wanted << id;
    }
    std::vector<TagRecord> tags;
    if (const HRESULT hr = TagRecords::Read(library, &tags); FAILED(hr)) return hr;
    QList<int> ordered;
    for (const TagRecord& tag : tags)
        if (wanted.contains(tag.id) && !ordered.contains(tag.id)) ordered << tag.id;
    *idsText = JoinIds(ordered);
    return S_OK;
}

} // namespace TagText
