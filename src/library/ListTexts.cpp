#include "ListTexts.h"

#include "FileTime.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QLocale>
#include <QTimeZone>

namespace {

UINT FormatWordId(int formatCode)
{
    switch (formatCode) {
    case 2: return IDS_FORMAT_2;
    case 3:
    case 6: return IDS_FORMAT_3_6;
    case 5: return IDS_FORMAT_5;
    default: return IDS_FORMAT_OTHER;
    }
}

// The class word's string, 0 for none; *keepFormat tells whether the format word stays.
UINT ClassWordId(int mediaClass, int formatCode, bool* keepFormat)
{
    *keepFormat = true;
    switch (mediaClass) {
    case 1: return IDS_MEDIA_CLASS_1;
    case 2: *keepFormat = false; return IDS_MEDIA_CLASS_2;
    case 3: return IDS_MEDIA_CLASS_3;
    case 4: return IDS_MEDIA_CLASS_4;
    case 5:
        *keepFormat = false;
        switch (formatCode) {
        case 1: return IDS_MEDIA_CLASS_5_FORMAT_1;
        case 2: return IDS_MEDIA_CLASS_5_FORMAT_2;
        case 5: return IDS_FORMAT_5;
        case 6: return IDS_FORMAT_3_6;
        default: return 0;
        }
    case 6: return IDS_MEDIA_CLASS_6;
    case 7: *keepFormat = false; return IDS_MEDIA_CLASS_7;
    case 8: *keepFormat = false; return IDS_MEDIA_CLASS_8;
    case 9: return IDS_MEDIA_CLASS_9;
    case 12: *keepFormat = false; return IDS_MEDIA_CLASS_5_FORMAT_2;
    default: return 0;
    }
}

QString DateTimeFormat()
{
    const QLocale locale;
    return locale.dateFormat(QLocale::ShortFormat) + u' ' + locale.timeFormat(QLocale::ShortFormat);
}

} // namespace

namespace ListTexts {

namespace {

QString ShortDateTimeText(const QDateTime& date)
{
    const QLocale locale;
    return u' ' + locale.toString(date.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(date.time(), QLocale::ShortFormat) + u' ';
}

// Read as UTC: the stored text names no zone, and a local reading would
// lose or double the hour a clock change skips or repeats.
QDateTime StoredDiscDate(const QString& stored)
{
    QDateTime date = QDateTime::fromString(stored.trimmed(), QString::fromLatin1(kDiscDateFormat));
    date.setTimeSpec(Qt::UTC);
    return date;
}

} // namespace

QString DiscTypeText(int mediaClass, int formatCode)
{
    bool keepFormat = true;
    const UINT classId = ClassWordId(mediaClass, formatCode, &keepFormat);
    const QString classWord = classId ? LoadString(classId) : QString();
    const QString formatWord = keepFormat ? LoadString(FormatWordId(formatCode)) : QString();
    if (classWord.isEmpty()) return formatWord;
    if (formatWord.isEmpty()) return classWord;
    return classWord + u' ' + formatWord;
}

QString SizeText(INT64 size)
{
    const QString unit = LoadString(IDS_UNIT_KB);
    if (size == 0) return QStringLiteral("0 ") + unit;
    return QLocale().toString(qlonglong((size + 1023) / 1024)) + u' ' + unit;
}

QString DateText(INT64 fileTime)
{
    // The system zone, read once: converting to local time through the C
    // library checks the zone file on every call (a folder of 100,000
    // entries converts 100,000 times).
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return ShortDateTimeText(FileTime::ToDateTime(fileTime).toTimeZone(zone));
}

QString DiscDateText(const QString& stored)
{
    const QDateTime date = StoredDiscDate(stored);
    return date.isValid() ? ShortDateTimeText(date) : stored;
}

INT64 DiscDateTime(const QString& stored)
{
    const QDateTime date = StoredDiscDate(stored);
    return date.isValid() ? FileTime::FromDateTime(date) : -1;
}

QDateTime ParseDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {};
    QDateTime parsed = QDateTime::fromString(trimmed, QString::fromLatin1(kDiscDateFormat));
    static const QString format = DateTimeFormat();
    if (!parsed.isValid()) parsed = QLocale().toDateTime(trimmed, format);
    if (!parsed.isValid()) parsed = QDateTime::fromString(trimmed, Qt::ISODate);
    return parsed;
}

} // namespace ListTexts
