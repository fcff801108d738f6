#include "ImageInsertion.h"

#include "CFlwMessageBox.h"
#include "FileChooser.h"
#include "ImageDriveSlots.h"
#include "ResourceIds.h"
#include "StringResources.h"

namespace ImageInsertion {

QString ChooseImageFile(QWidget* parent)
{
    return FileChooser::ChooseExistingFile(
        parent, LoadString(IDS_IMAGE_FILE_CAPTION), QStandardPaths::DownloadLocation,
        LoadString(IDS_IMAGE_FILE_FILTER) + QStringLiteral(" (") + ImageDriveSlots::FilePatterns() + QLatin1Char(')'));
}

bool Insert(CDiscAccess& discs, int position, const QString& imagePath, QWidget* parent)
{
    if (position < 0) {
        CFlwMessageBox::showMessage(IDS_MSG_NO_IMAGE_DRIVE, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, parent);
        return false;
    }
    QString reason;
    if (FAILED(ImageDriveSlots(discs).Insert(position, imagePath, &reason))) {
        CFlwMessageBox::showMessage(ImageDriveSlots::RefusalMessage(imagePath, reason), MB_ICONEXCLAMATION,
                                    CFlwMessageBox::kCaptionId, parent);
        return false;
    }
    return true;
}

} // namespace ImageInsertion
