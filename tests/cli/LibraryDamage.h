// Damage as a bad sector or a half-copied file leaves it: pages in the
// middle of a library file overwritten, for tests of what the tools and
// the window make of it.
#pragma once
#include <QString>
#include <QStringList>

// Overwrites the middle three leaf pages of the file table; returns how
// many rows they held (0 when the table has fewer than five leaves or the
// file cannot be written), and their names in *lostNames when asked.
int DamageFileTable(const QString& library, QStringList* lostNames = nullptr);
