// Loading of skin pictures. A path beginning with "Image\" is joined to the
// program folder (falling back to the current directory); a path that is
// absolute and names an existing file is used as it is. Skin pictures
// ("Image\...") are read once per process. Pictures come back
// premultiplied by their alpha, ready to be blended.
#pragma once
#include <QImage>
#include <QString>

namespace SkinImage {

// The file a picture path names, or empty when there is none. Letter case
// of the folders and file is matched loosely, as on the system the paths
// were written for.
QString Resolve(const QString& picturePath);
// The picture (premultiplied ARGB), or a null image when it cannot be read.
QImage Load(const QString& picturePath);
// The picture, or the control's default picture when none is named or the
// named one cannot be read.
QImage LoadOr(const QString& picturePath, const char* defaultPath);

} // namespace SkinImage
