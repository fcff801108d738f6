// The exports of the picture codec module (StackvaultPicture.dll), as
// LabelPicture describes them.
#pragma once
#include "hresult.h"

class QByteArray;
class QImage;
class QString;

inline constexpr char kLabelPictureModule[] = "StackvaultPicture.dll";
inline constexpr char kReadLabelPictureExport[] = "SvReadLabelPicture";
inline constexpr char kDecodeLabelPictureExport[] = "SvDecodeLabelPicture";
using ReadLabelPictureFn = HRESULT (*)(const QString* path, int size, QByteArray* png);
using DecodeLabelPictureFn = HRESULT (*)(const QByteArray* png, QImage** picture);
