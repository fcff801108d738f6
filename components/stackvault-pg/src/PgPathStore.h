// Path texts ("\DIR\SUB") shared by the whole library. Paths are written by
// an import on its own connection; a path it finds already stored is
// locked there (FOR KEY SHARE), so that deleting another disc that used it
// leaves it in place until the import ends.
#pragma once
#include "ParsedBatch.h"
#include "PgConnection.h"
#include "wintypes.h"

#include <QHash>
#include <QString>
#include <vector>

namespace PgPathStore {

// Stores each path row on the import's connection; a row equal to a stored
// path is accepted as it is, one that clashes with a stored path (same id
// or text, other partner) refuses the batch. `stored` receives the text
// and id of each path stored or found.
HRESULT Insert(PgConnection& db, const ParsedBatch& batch, bool hasIds, QHash<QString, LONG>& stored);
// Id of a path, 0 when unknown; `lock` holds it for the import of `db`.
HRESULT Find(PgConnection& db, std::u16string_view text, bool lock, LONG* id);
// The stored paths directly below `parent` ("\\DIR" holds "\\DIR\\SUB"), locked
// for the import of `db` as Find locks them.
HRESULT Children(PgConnection& db, const QString& parent, QHash<QString, LONG>& found);
// Path 0 (a disc's root) is the empty text.
HRESULT Text(PgConnection& db, LONG id, QString& text);
HRESULT MaxId(PgConnection& db, LONG* id);

} // namespace PgPathStore
