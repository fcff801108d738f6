// The picture codec module (StackvaultPicture.dll): reading label picture
// files and decoding stored pictures with Qt Gui, which the library engines
// load only when they handle a picture (LabelPicture).
#include "Diagnostics.h"
#include "LabelPictureCodec.h"
#include "com.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

ALBIREO_EXPORT HRESULT SvReadLabelPicture(const QString* path, int size, QByteArray* png)
{
    if (!QFileInfo(*path).isFile()) return HresultFromWin32(2); // ERROR_FILE_NOT_FOUND
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) return E_INVALIDARG;
    const QByteArray bytes = file.readAll();
    QBuffer source;
    source.setData(bytes);
    QImageReader reader(&source);
    const QByteArray format = reader.format(); // the reader forgets it once it has read
    QImage image = reader.read();
    if (image.isNull()) {
        DumpMsg("Stackvault", "label picture %s: %s", qPrintable(*path), qPrintable(reader.errorString()));
        return E_INVALIDARG;
    }
    // A PNG that already has the size is kept as it is: encoding it again
    // costs more than reading it, on every library's first label set.
    if (image.width() == size && image.height() == size && format == "png") {
        *png = bytes;
        return S_OK;
    }
    if (image.width() != size || image.height() != size)
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QBuffer buffer(png);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? S_OK : E_FAIL;
}

ALBIREO_EXPORT HRESULT SvDecodeLabelPicture(const QByteArray* png, QImage** picture)
{
    QImage image = QImage::fromData(*png, "PNG");
    if (image.isNull()) return E_FAIL;
    *picture = new QImage(std::move(image));
    return S_OK;
}
