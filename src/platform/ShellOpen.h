// ShellOpen: "open" a file or address with the desktop's default
// application. Handing it to xdg-open is not enough to know that anything
// opens it (xdg-open tells its failure only on standard error, later), so
// the application is looked for first: the one the desktop's MIME
// associations name for the file's type, and for a web page also a web
// browser on the path.
#pragma once
#include <QUrl>

namespace ShellOpen {

// Whether an application is there to open `url` (a file or a web address).
bool HasApplicationFor(const QUrl& url);
// Opens `url`; false when no application is there or it could not be started.
bool Open(const QUrl& url);

} // namespace ShellOpen
