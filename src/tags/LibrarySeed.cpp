#include "LibrarySeed.h"

#include "CategoryTags.h"
#include "ProgramPaths.h"
#include "TagRecords.h"

#include <QFileInfo>

namespace LibrarySeed {

namespace {

const char* const kLabelCategories[] = {"video", "photo", "music", "data", "system"};
constexpr int kLabelSizes[] = {32, 128, 360};

} // namespace

HRESULT EnsureTags(ILibraryEngine* library, LONG* tagCount)
{
    if (!library || !tagCount) return E_POINTER;
    HRESULT hr = library->GetTagCount(tagCount);
    if (FAILED(hr) || *tagCount != 0) return hr;
    for (const QString& key : CategoryTags::Keys()) library->AddTag(TagRecords::Utf16(key), nullptr);
    hr = library->GetTagCount(tagCount);
    if (FAILED(hr)) return hr;
    return *tagCount < 1 ? E_FAIL : S_OK;
}

QString DefaultLabelFile(const QString& programFolder, const QString& category, int pixels)
{
    return programFolder + QLatin1Char('/') +
           ProgramPaths::ToNativeSeparators(
               QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\%1\\%2.png").arg(pixels).arg(category));
}

int EnsureDefaultLabels(ILibraryEngine* library, const QString& programFolder)
{
    LONG labels = 0;
    if (!library || FAILED(library->GetLabelCount(&labels)) || labels > 0) return 0;
    int added = 0;
    for (const char* category : kLabelCategories) {
        QString files[3];
        for (int i = 0; i < 3; ++i) {
            files[i] = DefaultLabelFile(programFolder, QString::fromLatin1(category), kLabelSizes[i]);
            if (!QFileInfo::exists(files[i])) return added;
        }
        if (FAILED(library->AddLabel(TagRecords::Utf16(files[0]), TagRecords::Utf16(files[1]),
                                     TagRecords::Utf16(files[2]))))
            return added;
        ++added;
    }
    return added;
}

} // namespace LibrarySeed
