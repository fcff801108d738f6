#include "LibrarySeed.h"

#include "CategoryTags.h"
#include "DiscCategory.h"
#include "ProgramPaths.h"
#include "TagRecords.h"

#include <QFileInfo>

namespace LibrarySeed {

namespace {

constexpr int kLabelSizes[] = {32, 128, 360};

int CategoryNamed(const QString& name)
{
    for (int category = 0; category < kDiscCategoryCount; ++category)
        if (DefaultDiscLabels::CategoryName(category) == name) return category;
    return -1;
}

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
    const QString picture = DefaultDiscLabels().Path(CategoryNamed(category), pixels);
    if (picture.isEmpty()) return {};
    return programFolder + QLatin1Char('/') + ProgramPaths::ToNativeSeparators(picture);
}

int EnsureDefaultLabels(ILibraryEngine* library, const QString& programFolder)
{
    LONG labels = 0;
    if (!library || FAILED(library->GetLabelCount(&labels)) || labels > 0) return 0;
    int added = 0;
    for (int category = 0; category < kDiscCategoryCount; ++category) {
        QString files[3];
        for (int i = 0; i < 3; ++i) {
            files[i] = DefaultLabelFile(programFolder, DefaultDiscLabels::CategoryName(category), kLabelSizes[i]);
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
