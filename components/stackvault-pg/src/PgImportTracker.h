// All-or-nothing imports, one at a time per library, on a database server.
// An import has a connection of its own: it holds the import slot (a
// session-level advisory lock, which the server frees when the client
// dies) and writes every row in one transaction, so nobody sees a row
// before the import closes and a client that dies leaves no row behind.
// The discs an import writes are marked at once on the instance's
// connection (discs.import_id) and not listed until the close clears the
// mark in the import's transaction.
//
// Every engine instance holds an owner id (an advisory lock of its own)
// while it is open; discs it added and imports it opened carry that id.
// Work whose owner's lock is free belongs to a client that is gone: the
// next clean-up removes it.
#pragma once
#include "ILibraryEngine.h"
#include "ParsedBatch.h"
#include "PgConnection.h"
#include "PgEntryWriter.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <map>
#include <memory>
#include <set>
#include <vector>

struct PgImportSession {
    int64_t importId = 0;
    PgConnection db;                 // the import's connection, inside its transaction
    PgGramTallies grams[2];          // by PgEntryKind
    PgFileSpans fileSpans;           // of the rows written and not yet in file_spans
    std::set<LONG> discs;            // discs the import writes
    std::vector<LONG> paths;         // paths it stored or found
    // Paths it stored or found (and locked), by text: they stay as they are
    // until the import ends, unless it deletes a disc itself.
    QHash<QString, LONG> knownPaths;
    // Paths whose stored children are all in knownPaths: a child not there
    // is not stored (only the import, which holds the slot, adds paths).
    QSet<QString> childrenRead;
};

class PgImportTracker {
public:
    explicit PgImportTracker(PgConnection& db) : m_db(db) {}

    // Takes an owner id, holds it for the life of the connection and marks
    // the connection's changes as its own (one round trip); `workLeft`:
    // whether any client's unfinished work is stored (see RecoverAbandoned).
    HRESULT TakeOwnerId(int64_t* ownerId, bool* workLeft);
    // Removes the unfinished work of clients that are gone (never this
    // instance's own, `ownerId`).
    HRESULT RecoverAbandoned(int64_t ownerId);
    // One attempt to take the slot: S_OK and a session whose transaction
    // is open, S_FALSE and the holder's process token while another holds it.
    HRESULT TryOpen(const QString& address, int64_t ownerId, const QByteArray& token,
                    std::unique_ptr<PgImportSession>& session, QByteArray* holder);
    // Marks a disc as written by the import (committed at once); refuses a
    // disc that does not exist (E_INVALIDARG) or that another import writes.
    HRESULT ClaimDisc(PgImportSession& session, LONG discId);
    // Makes the import final in its transaction and ends it (the slot is free).
    // The rows it wrote for a disc another client deleted meanwhile go too.
    HRESULT Finish(PgImportSession& session, const std::vector<LONG>& addedDiscs);
    // Drops the import's transaction and removes its discs.
    HRESULT Undo(PgImportSession& session);

    LibraryImportHandle Add(std::unique_ptr<PgImportSession> session);
    PgImportSession* Session(LibraryImportHandle handle);
    void Remove(LibraryImportHandle handle);
    std::vector<LibraryImportHandle> Handles() const;

private:
    HRESULT IsGone(int64_t ownerId, bool* gone);
    // Removes the rows and tallies of the session's discs that no longer
    // exist, and locks the others until the import commits.
    HRESULT DropDeletedDiscs(PgImportSession& session);
    HRESULT RemoveImport(int64_t importId);

    PgConnection& m_db;
    std::map<LibraryImportHandle, std::unique_ptr<PgImportSession>> m_sessions;
};
