// Tag lists as text: the ids string (ids with "%d" joined by "::") and the
// names string (names joined by ", "), both in the order of the engine's
// tag list.
#pragma once
#include "ILibraryEngine.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace TagText {

// The names string: pieces between ", " separators. A separator at the start
// or end adds no piece, and neither do two separators in a row.
QStringList SplitNames(const QString& namesText);
QString JoinNames(const QStringList& names);

QString JoinIds(const QList<int>& ids);
QList<int> SplitIds(const QString& idsText);
// The ids string for tag names, creating the tags that do not exist yet
// (and showing hidden ones again); names are matched case-insensitively.
HRESULT IdsForNames(ILibraryEngine* library, const QStringList& names, QString* idsText);

} // namespace TagText
