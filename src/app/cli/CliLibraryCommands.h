// albireo-cli commands about the library file itself: check and repair.
#pragma once
#include <QStringList>

class CliContext;

namespace CliLibraryCommands {

int Check(CliContext& context, const QStringList& arguments);
int Repair(CliContext& context, const QStringList& arguments);

} // namespace CliLibraryCommands
