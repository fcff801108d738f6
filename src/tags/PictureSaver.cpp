#include "PictureSaver.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace PictureSaver {

namespace {

struct Encoder {
    const char* name;
    const char* format;
    int quality;
    bool alpha;
};

constexpr Encoder kEncoders[] = {
    {"jpg", "jpeg", 90, false},
    {"bmp", "bmp", -1, false},
    {"png", "png", -1, true},
    {"tif", "tiff", -1, true},
};

// Formats without alpha get the picture over white rather than black.
QImage Flattened(const QImage& picture)
{
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    return flat;
}

const Encoder* EncoderFor(const QString& formatName)
{
    for (const Encoder& encoder : kEncoders)
        if (formatName == QLatin1String(encoder.name)) return &encoder;
    return nullptr;
}

} // namespace

HRESULT Save(const QImage& picture, const QString& path, const QString& formatName)
{
    const Encoder* encoder = EncoderFor(formatName);
    if (!encoder || path.isEmpty()) return E_INVALIDARG;
    if (picture.isNull()) return E_POINTER;
    // Encoded in memory first, so a full disk is met by our own write: the
    // PNG encoder loses its row buffer when the device fails under it.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, encoder->format);
    if (encoder->quality >= 0) writer.setQuality(encoder->quality);
    if (!writer.write(encoder->alpha || !picture.hasAlphaChannel() ? picture : Flattened(picture))) return E_FAIL;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encoded) != encoded.size()) return E_FAIL;
    return file.commit() ? S_OK : E_FAIL;
}

HRESULT SaveSquare(const QImage& picture, const QString& path, int size, const QString& formatName)
{
    if (size <= 0) return E_INVALIDARG;
    if (picture.isNull()) return E_POINTER;
    return Save(picture.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), path, formatName);
}

} // namespace PictureSaver
