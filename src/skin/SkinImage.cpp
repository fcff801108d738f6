#include "SkinImage.h"

#include "ProgramPaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Walks the path one component at a time, taking an entry that differs
// only in letter case where the exact one is missing.
QString MatchIgnoringCase(const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        const QString exact = current + part;
        if (QFileInfo::exists(exact)) {
            current = exact + QLatin1Char('/');
            continue;
        }
        const QStringList entries = QDir(current.isEmpty() ? QStringLiteral(".") : current)
                                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const auto match = std::find_if(entries.begin(), entries.end(), [&part](const QString& entry) {
            return entry.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end()) return {};
        current += *match + QLatin1Char('/');
    }
    current.chop(1);
    return current;
}

} // namespace

namespace SkinImage {

QString Resolve(const QString& picturePath)
{
    if (picturePath.isEmpty()) return {};
    if (QDir::isAbsolutePath(picturePath) && QFileInfo(picturePath).isFile()) return picturePath;
    const QString file = ProgramPaths::ImageFile(picturePath);
    if (QFileInfo(file).isFile()) return file;
    const QString matched = MatchIgnoringCase(file);
    return QFileInfo(matched).isFile() ? matched : QString();
}

QImage Load(const QString& picturePath)
{
    const QString file = Resolve(picturePath);
    if (file.isEmpty()) return {};
    QImage image(file);
    if (image.isNull()) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace SkinImage
