// Tag ids and names as the library engines keep them: a disc's tags are
// "::"-joined ids, shown as ", "-joined names; names are matched
// case-insensitively (Unicode case folding); the four category tags
// ("Video", "Photo", "Music", "Document") are listed first.
#pragma once
#include <QHash>
#include <QList>
#include <QString>
#include <string_view>

namespace TagNames {

// SQL ordering key of a tags row by its `fold` column: categories first.
inline constexpr char kCategoryOrder[] =
    "CASE fold WHEN 'video' THEN 0 WHEN 'photo' THEN 1 WHEN 'music' THEN 2 WHEN 'document' THEN 3 ELSE 4 END";
// SQL condition on `fold`: the tag is a category tag.
inline constexpr char kIsCategory[] = "fold IN ('video', 'photo', 'music', 'document')";

QList<int> SplitIds(const QString& tagIds);
// Tag names travel joined with ", ", so a name may not hold a comma.
bool IsValidName(std::u16string_view name);
// The names of the ids found in `names`, in the ids' order, joined with ", ".
QString Join(const QString& tagIds, const QHash<int, QString>& names);

} // namespace TagNames
