// albireo-cli import LETTER [--name NAME] [--tags T1,T2]: reads the disc,
// refuses one already catalogued, creates its record and scans it into the
// library with progress; Ctrl-C cancels and leaves nothing of the disc.
#pragma once
#include <QStringList>

class CliContext;

namespace CliImportCommand {

int Import(CliContext& context, const QStringList& arguments);

} // namespace CliImportCommand
