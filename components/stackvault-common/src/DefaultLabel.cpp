#include "DefaultLabel.h"

namespace {
enum LabelSet { kVideo = 1, kPhoto = 2, kMusic = 3, kData = 4, kSystem = 5 };

int32_t SetOfCategoryTag(const QString& tag)
{
    if (tag.compare(QLatin1String("Video"), Qt::CaseInsensitive) == 0) return kVideo;
    if (tag.compare(QLatin1String("Photo"), Qt::CaseInsensitive) == 0) return kPhoto;
    if (tag.compare(QLatin1String("Music"), Qt::CaseInsensitive) == 0) return kMusic;
    if (tag.compare(QLatin1String("Document"), Qt::CaseInsensitive) == 0) return kData;
    return 0;
}

bool LooksLikeSystemDisc(const QString& name)
{
    static const char* const kWords[] = {"setup", "install", "boot", "system", "recovery", "driver", "windows", "linux"};
    for (const char* word : kWords)
        if (name.contains(QLatin1String(word), Qt::CaseInsensitive)) return true;
    return false;
}
} // namespace

namespace DefaultLabel {

int32_t SetFor(const DiscProperties& disc, const QStringList& categoryTags, const QString& discName)
{
    if (disc.IsAudio()) return kMusic;
    for (const QString& tag : categoryTags)
        if (const int32_t set = SetOfCategoryTag(tag)) return set;
    return LooksLikeSystemDisc(discName) ? kSystem : kData;
}

} // namespace DefaultLabel
