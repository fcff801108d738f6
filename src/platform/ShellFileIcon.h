// The shell's small icon of a file, from its name alone: the icon theme's
// icon for the MIME type of the name's extension, else for its generic
// type, else the style's plain file icon. Cached per extension; GUI thread
// only.
#pragma once
#include <QIcon>
#include <QString>

namespace ShellFileIcon {

QIcon ForName(const QString& fileName);

} // namespace ShellFileIcon
