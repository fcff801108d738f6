#include "DiscLabelFiles.h"

#include "DiscCategory.h"
#include "PictureSaver.h"

#include <QFile>
#include <utility>

namespace {
const char16_t* W(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }
} // namespace

void DiscLabelPaths::Remove() const
{
    for (const QString& path : {small, medium, large})
        if (!path.isEmpty()) QFile::remove(path);
}

namespace DiscLabelFiles {

HRESULT Write(const QImage& picture, const QString& folder, const QString& baseName, DiscLabelPaths* paths)
{
    const DiscLabelPaths written{folder + baseName + QStringLiteral("_S.png"), folder + baseName + QStringLiteral("_M.png"),
                                 folder + baseName + QStringLiteral("_L.png")};
    const QString partial = QStringLiteral(".part");
    const DiscLabelPaths parts{written.small + partial, written.medium + partial, written.large + partial};
    const QString png = QStringLiteral("png");
    HRESULT hr = folder.isEmpty() || picture.isNull() ? E_INVALIDARG : S_OK;
    if (SUCCEEDED(hr)) hr = PictureSaver::SaveSquare(picture, parts.small, kSmallSide, png);
    if (SUCCEEDED(hr)) hr = PictureSaver::SaveSquare(picture, parts.medium, kMediumSide, png);
    if (SUCCEEDED(hr)) hr = PictureSaver::SaveSquare(picture, parts.large, kLargeSide, png);
    if (FAILED(hr)) {
        parts.Remove();
        return hr;
    }
    // All three are written: they take the place of a set written before.
    written.Remove();
    for (const auto& [part, path] : {std::pair{parts.small, written.small}, std::pair{parts.medium, written.medium},
                                     std::pair{parts.large, written.large}})
        QFile::rename(part, path);
    *paths = written;
    return S_OK;
}

HRESULT Store(ILibraryEngine* engine, LONG discId, LONG oldLabelId, const DiscLabelPaths& paths)
{
    if (!engine) return E_POINTER;
    HRESULT hr = engine->AddLabel(W(paths.small), W(paths.medium), W(paths.large));
    LONG newLabelId = 0;
    if (SUCCEEDED(hr)) hr = engine->GetLastLabelId(&newLabelId);
    if (SUCCEEDED(hr)) hr = engine->SetDiscLabelId(discId, newLabelId);
    if (SUCCEEDED(hr)) hr = engine->SetFolderLabelId(discId, newLabelId);
    if (SUCCEEDED(hr)) hr = engine->SetFileLabelId(discId, newLabelId);
    if (SUCCEEDED(hr) && oldLabelId > kLastDefaultLabelId && oldLabelId != newLabelId)
        hr = engine->DeleteLabel(oldLabelId, 0);
    return hr;
}

} // namespace DiscLabelFiles
