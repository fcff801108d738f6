#include "DiscCategory.h"

namespace {

const char* const kNames[kDiscCategoryCount] = {"video", "photo", "music", "data", "system"};

QString TablePath(int size, int category)
{
    return QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\%1\\%2.png").arg(size).arg(QLatin1String(kNames[category]));
}

} // namespace

DefaultDiscLabels::DefaultDiscLabels()
{
    for (int category = 0; category < kDiscCategoryCount; ++category) {
        m_str32[category] = TablePath(32, category);
        m_str128[category] = TablePath(128, category);
        m_str360[category] = TablePath(360, category);
    }
}

QString DefaultDiscLabels::CategoryName(int category)
{
    if (category < 0 || category >= kDiscCategoryCount) return {};
    return QLatin1String(kNames[category]);
}

QString DefaultDiscLabels::Path(int category, int size) const
{
    if (category < 0 || category >= kDiscCategoryCount) return {};
    switch (size) {
    case 32: return m_str32[category];
    case 128: return m_str128[category];
    case 360: return m_str360[category];
    default: return {};
    }
}
