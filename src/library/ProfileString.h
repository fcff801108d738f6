// Reads one value of an INI file the way GetPrivateProfileString does:
// section and key names case-insensitive, blanks around the value and one
// pair of enclosing quotes removed, ';' and '#' lines ignored, UTF-8 or
// UTF-16 (with its byte order mark). The default when file, section or key
// is missing; values are cut to `capacity` - 1 characters.
#pragma once
#include <QString>

namespace ProfileString {

QString Read(const QString& iniFile, const QString& section, const QString& key, const QString& defaultValue,
             int capacity = 260);

} // namespace ProfileString
