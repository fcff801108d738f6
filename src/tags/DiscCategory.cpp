#include "DiscCategory.h"

#include "ProgramPaths.h"

#include <QFileInfo>

namespace {

const char* const kNames[kDiscCategoryCount] = {"video", "photo", "music", "data", "system"};

QString TablePath(int size, int category)
{
    return QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\%1\\%2.png").arg(size).arg(QLatin1String(kNames[category]));
}

const char16_t* W(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

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

HRESULT DefaultDiscLabels::SeedEngine(ILibraryEngine* engine)
{
    if (!engine) return E_POINTER;
    LONG count = 0;
    HRESULT hr = engine->GetLabelCount(&count);
    if (FAILED(hr) || count > 0) return hr;
    const DefaultDiscLabels tables;
    for (int category = 0; category < kDiscCategoryCount; ++category) {
        const QString small = ProgramPaths::UnderProgramFolder(tables.Path(category, 32));
        const QString medium = ProgramPaths::UnderProgramFolder(tables.Path(category, 128));
        const QString large = ProgramPaths::UnderProgramFolder(tables.Path(category, 360));
        if (!QFileInfo::exists(small) || !QFileInfo::exists(medium) || !QFileInfo::exists(large)) return S_FALSE;
        hr = engine->AddLabel(W(small), W(medium), W(large));
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}
