// albireo-cli drives | insert | eject | identity
#pragma once
#include <QStringList>

class CliContext;

namespace CliDriveCommands {

int Drives(CliContext& context, const QStringList& arguments);
int Insert(CliContext& context, const QStringList& arguments);
int Eject(CliContext& context, const QStringList& arguments);
int Identity(CliContext& context, const QStringList& arguments);

} // namespace CliDriveCommands
