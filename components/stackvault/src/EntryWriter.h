// Stores parsed file and folder rows (with their folded names and the name
// index) through prepared statements.
#pragma once
#include "ParsedBatch.h"
#include "SqliteConnection.h"
#include "wintypes.h"

enum class EntryKind { Files, Folders };

class EntryWriter {
public:
    explicit EntryWriter(SqliteConnection& db) : m_db(db) {}

    // Writer: call inside a write transaction. Rows without ids (hasIds
    // false) get the next free ids.
    HRESULT Insert(EntryKind kind, const ParsedBatch& batch, bool hasIds);
    // Largest id in use, 0 when none.
    HRESULT MaxId(EntryKind kind, LONG* id);
    // Sets the label id of every file or folder of a disc.
    HRESULT SetLabelId(EntryKind kind, LONG discId, LONG labelId);

private:
    SqliteConnection& m_db;
};
