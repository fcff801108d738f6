// Changes made by other clients of a library on the server. Every change of
// a disc, a tag, a label or how a disc was read sends a notice (a trigger
// of the schema) carrying the writer's owner id, which each writing
// connection of an engine instance sets; the instance listens on its own
// connection from the first question on and counts the notices of others.
// Asking costs no round trip: the notices wait in the connection's input.
#pragma once
#include "hresult.h"

#include <QByteArray>
#include <cstdint>
#include <string>

class PgConnection;

class PgChangeWatch {
public:
    // Marks the changes made through `db` as those of `ownerId`.
    static HRESULT MarkWriter(PgConnection& db, int64_t ownerId);
    // The SQL expression that marks them as those of the owner id `idSql`
    // (an expression of type text), for a statement doing more.
    static std::string WriterMarkSql(const char* idSql);

    // The connection was opened again: notices sent meanwhile are lost, so
    // the next stamp counts as a change.
    void Reconnected();
    // The count of others' changes since the first question (listening on
    // `db` from then on).
    HRESULT Stamp(PgConnection& db, int64_t ownerId, int64_t* stamp);

private:
    bool m_listening = false;
    int64_t m_stamp = 0;
};
