#include "CategoryTags.h"

#include "ResourceIds.h"
#include "StringResources.h"
#include "TagText.h"

namespace CategoryTags {

namespace {

constexpr UINT kDisplayIds[kCount] = {IDS_TAG_VIDEO, IDS_TAG_PHOTO, IDS_TAG_MUSIC, IDS_TAG_DOCUMENT};

} // namespace

const QStringList& Keys()
{
    static const QStringList keys{QStringLiteral("Video"), QStringLiteral("Photo"), QStringLiteral("Music"),
                                  QStringLiteral("Document")};
    return keys;
}

bool categoryDisplayName(const QString& key, QString* displayName)
{
    for (int i = 0; i < kCount; ++i) {
        if (key.compare(Keys()[i], Qt::CaseInsensitive) != 0) continue;
        *displayName = LoadString(kDisplayIds[i]);
        return true;
    }
    displayName->clear();
    return false;
}

bool categoryKey(const QString& displayName, QString* key)
{
    for (int i = 0; i < kCount; ++i) {
        if (displayName != LoadString(kDisplayIds[i])) continue;
        *key = Keys()[i];
        return true;
    }
    return false;
}

QString DisplayName(const QString& storedName)
{
    QString display;
    return categoryDisplayName(storedName, &display) && !display.isEmpty() ? display : storedName;
}

QString displayTagList(const QString& namesString)
{
    QStringList shown;
    for (const QString& name : TagText::SplitNames(namesString)) shown << DisplayName(name);
    return TagText::JoinNames(shown);
}

} // namespace CategoryTags
