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
// A disc's date as the library stores it ("MM/dd/yyyy HH:mm:ss", the disc's
// own time) in the same formats as DateText, so that discs and files read
// alike; a text that does not parse is shown as stored.
QString DiscDateText(const QString& stored);
// A date text as the list shows it, read back in the user's locale;
// invalid when it does not parse.
QDateTime ParseDate(const QString& text);

} // namespace ListTexts
