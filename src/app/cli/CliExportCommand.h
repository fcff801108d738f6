// albireo-cli export [DISC...] --format csv|json|html [--output FILE]: the
// catalogue, or the discs named, with every folder and file.
#pragma once
#include <QStringList>

class CliContext;

namespace CliExportCommand {

int Export(CliContext& context, const QStringList& arguments);

} // namespace CliExportCommand
