#include "SkinImage.h"

#include "ProgramPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <mutex>

namespace {

// The existing file below `folder` whose remaining components match
// `parts` ignoring letter case (exact names tried first), or empty.
QString MatchIgnoringCase(const QString& folder, QStringList parts)
{
    if (parts.isEmpty()) return QFileInfo(folder).isFile() ? folder : QString();
    const QString part = parts.takeFirst();
    QStringList candidates{part};
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& entry : entries)
        if (entry != part && entry.compare(part, Qt::CaseInsensitive) == 0) candidates << entry;
    for (const QString& candidate : candidates) {
        const QString path = folder + QLatin1Char('/') + candidate;
        if (!QFileInfo::exists(path)) continue;
        const QString found = MatchIgnoringCase(path, parts);
        if (!found.isEmpty()) return found;
    }
    return {};
}

} // namespace

namespace SkinImage {

QString Resolve(const QString& picturePath)
{
    if (picturePath.isEmpty()) return {};
    if (QDir::isAbsolutePath(picturePath) && QFileInfo(picturePath).isFile()) return picturePath;
    const QString file = ProgramPaths::ImageFile(picturePath);
    if (QFileInfo(file).isFile()) return file;
    // Only the part below the program folder (or current directory) is
    // matched loosely.
    const QString relative = ProgramPaths::ToNativeSeparators(picturePath);
    const QString base = file.left(file.size() - relative.size() - 1);
    return MatchIgnoringCase(base, relative.split(QLatin1Char('/'), Qt::SkipEmptyParts));
}

QImage Load(const QString& picturePath)
{
    // The installed skin pictures do not change while the program runs, and
    // a window of many rows asks for the same few pictures again and again:
    // they are read once per program folder. Absolute paths (label
    // pictures, snapshots) are read every time.
    static std::mutex mutex;
    static QHash<QString, QImage> skin;
    const bool cached = !QDir::isAbsolutePath(picturePath);
    const QString key = cached ? ProgramPaths::ProgramFolder() + u'|' + picturePath : QString();
    if (cached) {
        std::lock_guard lock(mutex);
        if (const auto found = skin.constFind(key); found != skin.constEnd()) return *found;
    }
    const QString file = Resolve(picturePath);
    QImage image = file.isEmpty() ? QImage() : QImage(file);
    if (!image.isNull()) image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (cached && !image.isNull()) {
        std::lock_guard lock(mutex);
        skin.insert(key, image);
    }
    return image;
}

QImage LoadOr(const QString& picturePath, const char* defaultPath)
{
    const QImage image = picturePath.isEmpty() ? QImage() : Load(picturePath);
    return image.isNull() ? Load(QString::fromLatin1(defaultPath)) : image;
}

} // namespace SkinImage
