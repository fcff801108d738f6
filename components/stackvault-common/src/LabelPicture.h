// The pictures of a label image set: read from a file at one of the set's
// sizes and kept as PNG bytes inside the library. The work is done by a
// module of its own (LabelPictureCodec.h), loaded on the first use.
#pragma once
#include "hresult.h"

#include <QByteArray>
#include <QString>

class QImage;

namespace LabelPicture {

inline constexpr int kSizes[3] = {32, 128, 360};

// The file's picture at size x size pixels (scaled when it has another
// size) as PNG bytes; ERROR_FILE_NOT_FOUND or E_INVALIDARG when it holds
// none, ERROR_MOD_NOT_FOUND when the codec module cannot be loaded.
HRESULT Read(const QString& path, int size, QByteArray& png);
// A stored picture for the caller to delete; E_FAIL when the bytes are no picture.
HRESULT Decode(const QByteArray& png, QImage** picture);

} // namespace LabelPicture
