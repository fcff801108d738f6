// PictureSaver: writes pictures through the image encoder chosen by a
// format name: "jpg" (JPEG, quality 90), "bmp", "png" and "tif" (TIFF); any
// other name fails with E_INVALIDARG. A file is replaced only once the new
// one is complete, so a full disk leaves the old file as it was.
#pragma once
#include "hresult.h"

#include <QImage>
#include <QString>

namespace PictureSaver {

HRESULT Save(const QImage& picture, const QString& path, const QString& formatName);
// Scales the picture to size x size (smoothly, aspect not kept) and saves it.
HRESULT SaveSquare(const QImage& picture, const QString& path, int size, const QString& formatName);

} // namespace PictureSaver
