// albireo-cli compare FOLDER [--disc DISC]: whether every file below a local
// folder is catalogued (a file of the same name, ignoring case, and size),
// and on which discs; exit code 5 when some are not.
#pragma once
#include <QStringList>

class CliContext;

namespace CliCompareCommand {

int Compare(CliContext& context, const QStringList& arguments);

} // namespace CliCompareCommand
