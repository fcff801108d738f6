#include "TagNames.h"

#include "LibraryRecords.h"
#include "Utf16Text.h"

#include <QStringList>

namespace TagNames {

QList<int> SplitIds(const QString& tagIds)
{
    QList<int> ids;
    for (const QString& piece : tagIds.split(QStringLiteral("::"), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = piece.trimmed().toInt(&ok);
        if (ok) ids.append(id);
    }
    return ids;
}

bool IsValidName(std::u16string_view name)
{
    return !name.empty() && name.size() < kLibraryTextLength && name.find(u',') == std::u16string_view::npos &&
           Utf16Text::IsWellFormed(name);
}

QString Join(const QString& tagIds, const QHash<int, QString>& names)
{
    QStringList parts;
    for (int id : SplitIds(tagIds)) {
        const auto found = names.constFind(id);
        if (found != names.constEnd()) parts.append(*found);
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace TagNames
