// The exports of AlbireoLabels.dll (LabelModule.h): the command line's
// label pictures, on Qt Gui.
#include "DiscLabelFiles.h"
#include "LabelModule.h"
#include "PictureFileReader.h"
#include "ProgramPaths.h"
#include "SnapshotPicture.h"
#include "com.h"

#include <memory>

ALBIREO_EXPORT void AlbStorePictureFileLabel(ILibraryEngine* library, LONG discId, LONG oldLabelId,
                                             const QString* picturePath, const QString* folder,
                                             PictureFileLabel* outcome)
{
    const PictureFileReader::Result picture = PictureFileReader::Read(*picturePath, SnapshotPicture::kFileReadSide);
    if (picture.problem == PictureFileReader::Problem::TooLarge) {
        outcome->problem = PictureFileLabel::Problem::TooLarge;
        outcome->width = picture.size.width();
        outcome->height = picture.size.height();
        outcome->maxSide = PictureFileReader::kMaxSide;
        return;
    }
    if (FAILED(picture.hr)) {
        outcome->problem = PictureFileLabel::Problem::Unreadable;
        return;
    }
    auto skin = [](const char* path) { return QImage(ProgramPaths::ImageFile(QString::fromLatin1(path))); };
    const QImage label = SnapshotPicture::Compose(picture.image, skin(SnapshotPicture::kMaskPicture),
                                                  skin(SnapshotPicture::kBackgroundPicture));
    DiscLabelPaths paths;
    if (FAILED(DiscLabelFiles::Write(label, *folder, QStringLiteral("label"), &paths))) {
        outcome->problem = PictureFileLabel::Problem::NotSaved;
        return;
    }
    outcome->hr = DiscLabelFiles::Store(library, discId, oldLabelId, paths);
    paths.Remove();
}

ALBIREO_EXPORT HRESULT AlbCopyLabel(ILibraryEngine* from, LONG labelId, ILibraryEngine* to, const QString* folder,
                                    LONG* newLabelId, bool* pictureRead)
{
    QImage* picture = nullptr;
    HRESULT hr = from->GetLabelImage(labelId, &picture);
    const std::unique_ptr<QImage> owned(picture);
    *pictureRead = SUCCEEDED(hr) && picture;
    if (!*pictureRead) return FAILED(hr) ? hr : E_FAIL;
    DiscLabelPaths paths;
    hr = DiscLabelFiles::Write(*picture, *folder, QStringLiteral("copied-label"), &paths);
    const auto utf16 = [](const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); };
    if (SUCCEEDED(hr)) hr = to->AddLabel(utf16(paths.small), utf16(paths.medium), utf16(paths.large));
    if (SUCCEEDED(hr)) hr = to->GetLastLabelId(newLabelId);
    paths.Remove();
    return hr;
}
