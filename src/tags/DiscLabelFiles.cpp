#include "DiscLabelFiles.h"

#include "DiscCategory.h"
#include "PictureSaver.h"

#include <QFile>

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
    const QString png = QStringLiteral("png");
    HRESULT hr = folder.isEmpty() || picture.isNull() ? E_INVALIDARG : S_OK;
    if (SUCCEEDED(hr)) hr = PictureSaver::SaveSquare(picture, written.small, kSmallSide, png);
    if (SUCCEEDED(hr)) hr = PictureSaver::SaveSquare(picture, written.medium, kMediumSide, png);
    if (SUCCEEDED(hr)) hr = PictureSaver::SaveSquare(picture, written.large, kLargeSide, png);
    if (FAILED(hr)) {
        written.Remove();
        return hr;
    }
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
