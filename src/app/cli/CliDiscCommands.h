// albireo-cli rename | tags | delete | label: changes to a catalogued disc's
// record, made as the window makes them.
#pragma once
#include <QStringList>

class CliContext;

namespace CliDiscCommands {

int Rename(CliContext& context, const QStringList& arguments);
int Tags(CliContext& context, const QStringList& arguments);
int Delete(CliContext& context, const QStringList& arguments);
int Label(CliContext& context, const QStringList& arguments);

} // namespace CliDiscCommands
