// The gram tallies (NameGrams) of an import's rows, made while the import
// goes on: each batch stored hands its rows over, and a thread of the
// tally's own folds their names (exactly as sv_fold folds the stored
// names) and tallies them by disc. The import's close stores the tallies
// of the discs it finishes, where it would otherwise read and fold every
// name again while the library waits.
#pragma once
#include "EntryWriter.h"
#include "NameGrams.h"
#include "OrderedWorker.h"
#include "ParsedBatch.h"

#include <utility>

class ImportTally {
public:
    ImportTally();

    // Hands over the rows of a batch the library stored.
    void Add(EntryKind kind, ParsedBatch batch);
    // Waits until every row handed over is tallied; the tallies of a kind.
    const NameGrams::DiscTallies& Tallies(EntryKind kind);

private:
    using Rows = std::pair<EntryKind, ParsedBatch>;
    void TallyRows(const Rows& rows);

    NameGrams::DiscTallies m_tallies[2]; // by EntryKind; written by the worker, read after a drain
    bool m_backgrounded = false;         // the worker's priority lowered; the worker's own
    OrderedWorker<Rows> m_worker;        // last: works with the tallies; rows left when the import ends are dropped
};
