// albireo-cli discs | ls | search: the catalogue, read without any disc.
#pragma once
#include <QStringList>

class CliContext;

namespace CliCatalogCommands {

int Discs(CliContext& context, const QStringList& arguments);
int List(CliContext& context, const QStringList& arguments);
int Search(CliContext& context, const QStringList& arguments);

} // namespace CliCatalogCommands
