#include "MountTable.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString Canonical(const QString& path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

} // namespace

namespace MountTable {

QString DecodeField(const QByteArray& field)
{
    QByteArray decoded;
    decoded.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
            IsOctal(field[i + 3])) {
            decoded += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return QString::fromUtf8(decoded);
}

QString MountPointOf(const QString& devicePath, const QString& tablePath)
{
    QFile table(tablePath);
    if (!table.open(QIODevice::ReadOnly)) return QString();
    const QString device = Canonical(devicePath);
    QString mountPoint;
    while (!table.atEnd()) {
        const QList<QByteArray> fields = table.readLine().simplified().split(' ');
        if (fields.size() < 2 || !fields[0].startsWith('/')) continue;
        if (Canonical(DecodeField(fields[0])) == device) mountPoint = DecodeField(fields[1]);
    }
    return mountPoint;
}

} // namespace MountTable
