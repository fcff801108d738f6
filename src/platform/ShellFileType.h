// The shell's type name of a file, from its name alone: the MIME database's
// description of the name's extension, "File" when unknown. Cached per
// extension; safe to call from any thread.
#pragma once
#include <QString>

namespace ShellFileType {

// At most 80 characters.
QString TypeName(const QString& fileName);

} // namespace ShellFileType
