#include "PictureFileReader.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace PictureFileReader {

namespace {

Result Refused(Problem problem, QSize size = {})
{
    Result result;
    result.hr = problem == Problem::TooLarge ? E_OUTOFMEMORY : E_FAIL;
    result.problem = problem;
    result.size = size;
    return result;
}

bool WithinLimits(QSize size)
{
    return size.width() <= kMaxSide && size.height() <= kMaxSide &&
           qint64(size.width()) * size.height() <= kMaxPixels;
}

QByteArray Tail(QIODevice* device, qint64 bytes)
{
    const qint64 start = qMax<qint64>(0, device->size() - bytes);
    if (!device->seek(start)) return {};
    return device->read(bytes);
}

bool JpegComplete(QIODevice* device)
{
    QByteArray tail = Tail(device, 4096);
    while (tail.endsWith('\0')) tail.chop(1); // some writers pad the file
    return tail.endsWith("\xFF\xD9");
}

bool BmpComplete(QIODevice* device)
{
    if (!device->seek(0)) return false;
    const QByteArray header = device->read(54);
    if (header.size() < 54) return false;
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 announced = qFromLittleEndian<quint32>(bytes + 2);
    if (announced != 0 && quint64(device->size()) < announced) return false;
    // Uncompressed rows: the pixel data must all be there.
    const quint32 compression = qFromLittleEndian<quint32>(bytes + 30);
    if (compression != 0 && compression != 3) return true;
    const quint64 offset = qFromLittleEndian<quint32>(bytes + 10);
    const qint64 width = qFromLittleEndian<qint32>(bytes + 18);
    const qint64 height = qAbs(qFromLittleEndian<qint32>(bytes + 22));
    const quint64 bitsPerPixel = qFromLittleEndian<quint16>(bytes + 28);
    const quint64 rowBytes = ((quint64(qAbs(width)) * bitsPerPixel + 31) / 32) * 4;
    return quint64(device->size()) >= offset + rowBytes * quint64(height);
}

QSize ScaledToFit(QSize size, int longestSide)
{
    if (qMax(size.width(), size.height()) <= longestSide) return size;
    return size.scaled(longestSide, longestSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

bool LooksComplete(QIODevice* device, const QByteArray& format)
{
    const QByteArray kind = format.toLower();
    bool complete = true;
    if (kind == "jpeg" || kind == "jpg")
        complete = JpegComplete(device);
    else if (kind == "bmp")
        complete = BmpComplete(device);
    device->seek(0);
    return complete;
}

Result Read(QIODevice* device, int longestSide)
{
    if (!device || !device->isOpen() || device->isSequential()) return Refused(Problem::Unreadable);
    if (device->size() > kMaxFileBytes) return Refused(Problem::TooLarge);

    QImageReader::setAllocationLimit(kAllocationLimitMb);
    QImageReader reader(device);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    if (format.isEmpty() || !size.isValid() || size.isEmpty()) return Refused(Problem::Unreadable, size);
    if (!WithinLimits(size)) return Refused(Problem::TooLarge, size);
    if (!LooksComplete(device, format)) return Refused(Problem::Unreadable, size);

    QImageReader pixels(device, format);
    pixels.setAutoTransform(true);
    const QSize target = ScaledToFit(size, longestSide);
    if (target != size) pixels.setScaledSize(target);
    Result result;
    result.size = size;
    if (!pixels.read(&result.image) || result.image.isNull()) return Refused(Problem::Unreadable, size);
    // A decoder that could not scale leaves it to us.
    if (qMax(result.image.width(), result.image.height()) > longestSide)
        result.image = result.image.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    result.hr = S_OK;
    result.problem = Problem::None;
    return result;
}

Result Read(const QString& path, int longestSide)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Refused(Problem::Unreadable);
    return Read(&file, longestSide);
}

} // namespace PictureFileReader
