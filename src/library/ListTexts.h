// Texts of the file list's columns: a disc's type from its media class and
// format codes, sizes in kilobytes and dates in the user's locale.
#pragma once
#include "wintypes.h"

#include <QDateTime>
#include <QString>

namespace ListTexts {

// Class word and format word joined by a blank (either may be empty).
QString DiscTypeText(int mediaClass, int formatCode);
// "0 KB" for 0, else the size rounded up to whole kilobytes in the user's
// number format and the unit.
QString SizeText(INT64 size);
// " date time ": the file time in local time, the user's short date and time formats.
QString DateText(INT64 fileTime);
// The form of a disc's date as its import stores it (the volume's time).
inline constexpr char kDiscDateFormat[] = "MM/dd/yyyy HH:mm:ss";
// A disc's stored date as the list shows every date: the user's short date
// and time formats, like DateText (the volume's time, no zone to convert);
// the stored text itself when it does not parse.
QString DiscDateText(const QString& stored);
// The stored date as a number that orders discs by it to the second (a file
// time, the volume's time read as UTC); -1 when it does not parse.
INT64 DiscDateTime(const QString& stored);
// A date text read back: a disc's date as stored, or a date as the list
// shows it in the user's locale; invalid when it does not parse.
QDateTime ParseDate(const QString& text);

} // namespace ListTexts
