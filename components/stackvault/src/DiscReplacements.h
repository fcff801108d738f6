// Discs catalogued again. While an import writes a disc that replaces an
// earlier record of it, disc_replacements pairs the two; the old disc stays
// as it is until the import finishes, and is removed in the transaction
// that shows the new one. A new disc that goes (an import undone, cancelled
// or failed) takes its pair with it, and the old disc stays.
#pragma once
#include "DiscStore.h"
#include "SqliteConnection.h"

class DiscReplacements {
public:
    DiscReplacements(SqliteConnection& db, DiscStore& discs) : m_db(db), m_discs(discs) {}

    // Writers: call inside a write transaction.
    // E_INVALIDARG when the old disc does not exist or is the new one.
    HRESULT Register(int64_t importId, LONG newDiscId, LONG oldDiscId);
    // In the transaction that finishes the import: removes the old discs
    // whose new disc is still there.
    HRESULT Complete(int64_t importId);

private:
    SqliteConnection& m_db;
    DiscStore& m_discs;
};
