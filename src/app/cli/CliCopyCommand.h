// albireo-cli copy-library: a whole library copied into an empty one, between
// a library file and a library on a database server, either way.
#pragma once
#include <QStringList>

class CliContext;

namespace CliCopyCommand {

int CopyLibrary(CliContext& context, const QStringList& arguments);

} // namespace CliCopyCommand
