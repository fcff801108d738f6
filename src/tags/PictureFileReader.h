// PictureFileReader: reads a picture the user picked (a cover scan, a
// photo of a disc). Such files come from outside and may be damaged or
// hostile, so the size is read from the header before any pixel, pictures
// beyond the limits are refused without being decoded, the decoder may
// allocate no more than the limit, and a picture cut short (which some
// decoders would fill up silently) is refused too. Large pictures are
// decoded scaled down when the format allows it.
#pragma once
#include "hresult.h"

#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

namespace PictureFileReader {

inline constexpr int kMaxSide = 12000;
inline constexpr qint64 kMaxPixels = 50'000'000;
inline constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;
// What a decoded picture may occupy, in megabytes.
inline constexpr int kAllocationLimitMb = 256;

enum class Problem {
    None,
    Unreadable, // missing, damaged, cut short or of an unknown kind
    TooLarge,   // beyond kMaxSide, kMaxPixels or kMaxFileBytes
};

struct Result {
    HRESULT hr = E_FAIL;
    Problem problem = Problem::Unreadable;
    QSize size;   // the size the header gave (invalid when unknown)
    QImage image; // at most `longestSide` pixels on its longer side
};

// Reads the picture; the image comes back scaled to at most longestSide
// pixels on its longer side (aspect kept).
Result Read(const QString& path, int longestSide);
Result Read(QIODevice* device, int longestSide);

// True when the data ends as a complete file of its kind would (JPEG: the
// end-of-image marker; BMP: as many bytes as its header announces).
// Formats whose decoders report a short file themselves always pass.
bool LooksComplete(QIODevice* device, const QByteArray& format);

} // namespace PictureFileReader
