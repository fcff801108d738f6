// Where the system mounted a device: the stand-in for a drive's root
// ("E:\") of a physical drive, whose files are opened from the mount point.
// Reads the mount table of this process (/proc/self/mounts; another file
// for tests), in which blanks, tabs, newlines and backslashes of paths are
// written as octal escapes ("\040").
#pragma once
#include <QString>

namespace MountTable {

// The mount point of the device (compared after resolving links, so that
// "/dev/cdrom" finds "/dev/sr0"); the last mount wins; "" when it is not
// mounted or the table cannot be read.
QString MountPointOf(const QString& devicePath, const QString& tablePath = QStringLiteral("/proc/self/mounts"));
// The table's text of one field with its octal escapes decoded.
QString DecodeField(const QByteArray& field);

} // namespace MountTable
