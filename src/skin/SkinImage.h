// Loading of skin pictures. A path beginning with "Image\" is joined to the
// program folder (falling back to the current directory); a path that is
// absolute and names an existing file is used as it is. Skin pictures
// ("Image\...") are read once per process. Pictures come back
// premultiplied by their alpha, ready to be blended.
//
// Every skin picture is installed twice: as named, and drawn at twice its
// size under Qt's "@2x" name beside it. Where the screens are denser than
// one device pixel per logical pixel (a scaled desktop: 125 %, 150 %, 200 %)
// the "@2x" twin is loaded, with its device pixel ratio set, so that it is
// never stretched beyond its own pixels. Measure such a picture in logical
// pixels (SkinPaint::Size and friends), never by its width() and height().
#pragma once
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

namespace SkinImage {

// The file a picture path names, or empty when there is none. Letter case
// of the folders and file is matched loosely, as on the system the paths
// were written for.
QString Resolve(const QString& picturePath);
// The densest ratio among the screens (QGuiApplication::devicePixelRatio),
// at least 1.
qreal ScreenDensity();
// The picture (premultiplied ARGB) at the screens' density, or a null image
// when it cannot be read.
QImage Load(const QString& picturePath);
// The picture as dense as `density` where a twin that dense is installed
// (else as named); Load(path, 1) gives the plain picture, one pixel per
// logical pixel, for code that works on its pixels.
QImage Load(const QString& picturePath, qreal density);
// The "@2x" name of a picture path or file: "...\cover@2x.png" for "...\cover.png".
QString DenseName(const QString& picturePath);
// The skin pictures read so far for the screens (not those asked for at a
// density of their own), with the device pixel ratio each came at: what the
// windows draw from, for diagnostics and checks.
QList<QPair<QString, qreal>> LoadedForScreens();
// The picture, or the control's default picture when none is named or the
// named one cannot be read.
QImage LoadOr(const QString& picturePath, const char* defaultPath);

} // namespace SkinImage
