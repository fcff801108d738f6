// The locale the user's messages are in, as POSIX names it: LC_ALL, then
// LC_MESSAGES, then LANG (the first one set), else Qt's system locale.
// Read at each call so that a changed environment is seen.
#pragma once
#include <QString>

namespace SystemLocale {
// Such as "de_DE.UTF-8"; "C" when nothing names a locale.
QString MessagesLocale();
} // namespace SystemLocale
