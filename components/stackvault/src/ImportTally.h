// The gram tallies (NameGrams) of an import's rows, made while the import
// goes on: each batch stored hands its rows over, and a thread of the
// tally's own folds their names (exactly as sv_fold folds the stored
// names) and tallies them by disc. The import's close stores the tallies
// of the discs it finishes, where it would otherwise read and fold every
// name again while the library waits.
#pragma once
#include "EntryWriter.h"
#include "NameGrams.h"
#include "ParsedBatch.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

class ImportTally {
public:
    ImportTally();
    ~ImportTally(); // waits for the thread
    ImportTally(const ImportTally&) = delete;
    ImportTally& operator=(const ImportTally&) = delete;

    // Hands over the rows of a batch the library stored.
    void Add(EntryKind kind, ParsedBatch batch);
    // Waits until every row handed over is tallied; the tallies of a kind.
    const NameGrams::DiscTallies& Tallies(EntryKind kind);

private:
    void Run();
    void TallyRows(EntryKind kind, const ParsedBatch& batch);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<EntryKind, ParsedBatch>> m_queue;
    bool m_tallying = false; // a batch taken off the queue is being tallied
    bool m_stop = false;
    NameGrams::DiscTallies m_tallies[2]; // by EntryKind
    std::thread m_thread; // last: starts when everything else is ready
};
