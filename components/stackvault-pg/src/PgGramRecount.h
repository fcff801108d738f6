// Recounts every gram tally of a library from its stored names, as the
// import would have counted them: used when the grams the engine tallies
// change (a migration), inside the migration's transaction. Names are read
// one disc at a time through a cursor, so memory holds one disc's tallies.
#pragma once
#include "PgConnection.h"

namespace PgGramRecount {

HRESULT Run(PgConnection& db);

} // namespace PgGramRecount
