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
    case 2: return 6090;
    case 3:
    case 6: return 6144;
    case 5: return 62420;
    default: return 6089;
    }
}

// The class word's string, 0 for none; *keepFormat tells whether the format word stays.
UINT ClassWordId(int mediaClass, int formatCode, bool* keepFormat)
{
    *keepFormat = true;
    switch (mediaClass) {
    case 1: return 5113;
    case 2: *keepFormat = false; return 5114;
    case 3: return 5116;
    case 4: return 5115;
    case 5:
        *keepFormat = false;
        switch (formatCode) {
        case 1: return 5117;
        case 2: return 5118;
        case 5: return 62420;
        case 6: return 6144;
        default: return 0;
        }
    case 6: return 10206;
    case 7: *keepFormat = false; return 5123;
    case 8: *keepFormat = false; return 5122;
    case 9: return 61870;
    case 12: *keepFormat = false; return 5118;
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
    const QDateTime local = FileTime::ToDateTime(fileTime).toTimeZone(zone);
    const QLocale locale;
    return u' ' + locale.toString(local.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(local.time(), QLocale::ShortFormat) + u' ';
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
