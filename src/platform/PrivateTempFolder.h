// PrivateTempFolder: this process's private temporary folder, for files the
// program writes only to hand on (label pictures being prepared, files read
// out of disc images to be opened). It is "Albireo-XXXXXX" under the system
// temporary folder ($TMPDIR, else /tmp), made with mkdtemp: a fresh name no
// one can predict, mode 0700, owned by this user, so another user can
// neither read what is in it nor plant a link in its place.
//
// Path() makes it on first use, and makes a new one when a caller removed
// it (an emptied folder may be removed like any other). The folder and
// everything in it is removed when the process exits normally.
#pragma once
#include <QString>

class PrivateTempFolder {
public:
    // The folder with a trailing '/', or empty when none can be made.
    static QString Path();
    // Removes the folder and everything in it now (as exit does).
    static void RemoveAll();
    // True when `path` is a real folder (not a link) owned by this user that
    // no one else may read, write or enter.
    static bool IsPrivateFolder(const QString& path);
};
