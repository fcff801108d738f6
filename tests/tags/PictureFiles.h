// Picture files made in tests: whole ones in every format the label source
// reads, ones cut short, and ones whose header announces a huge size.
#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtEndian>

namespace PictureFiles {

// A picture with a red band on the left, blue on the right and green in
// its centred square, so that a crop shows which part it took.
inline QImage Banded(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    const int side = qMin(width, height);
    painter.fillRect(0, 0, (width - side) / 2, height, Qt::red);
    painter.fillRect((width + side) / 2, 0, width - (width + side) / 2, height, Qt::blue);
    return image;
}

inline QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

inline QString Write(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(data);
    return path;
}

inline quint32 Crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small valid PNG whose header says width x height.
inline QByteArray PngAnnouncing(int width, int height)
{
    QByteArray png = Encoded(Banded(4, 4), "png");
    auto* bytes = reinterpret_cast<uchar*>(png.data());
    qToBigEndian<quint32>(width, bytes + 16);
    qToBigEndian<quint32>(height, bytes + 20);
    qToBigEndian<quint32>(Crc32(png.mid(12, 17)), bytes + 29);
    return png;
}

// A BMP whose header says width x height (its pixel data is that of 4 x 4).
inline QByteArray BmpAnnouncing(int width, int height)
{
    QByteArray bmp = Encoded(Banded(4, 4), "bmp");
    auto* bytes = reinterpret_cast<uchar*>(bmp.data());
    qToLittleEndian<qint32>(width, bytes + 18);
    qToLittleEndian<qint32>(height, bytes + 22);
    return bmp;
}

} // namespace PictureFiles
