#include "ProfileString.h"

#include <QFile>
#include <QStringConverter>
#include <QStringList>

namespace {
QString DecodeFile(const QByteArray& bytes)
{
    const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(bom.value_or(QStringConverter::Utf8));
    QString text = decoder(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

QString Unquoted(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}
} // namespace

namespace ProfileString {

QString Read(const QString& iniFile, const QString& section, const QString& key, const QString& defaultValue,
             int capacity)
{
    QFile file(iniFile);
    if (!file.open(QIODevice::ReadOnly)) return defaultValue.left(capacity - 1);
    bool inSection = false;
    for (const QString& rawLine : DecodeFile(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            inSection = close > 0 && line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inSection && equals > 0 && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return Unquoted(line.mid(equals + 1)).left(capacity - 1);
    }
    return defaultValue.left(capacity - 1);
}

} // namespace ProfileString
