// What an import has learned about the library's paths, so that the walk's
// two questions per folder (once as a subfolder, once when it is walked)
// cost no statement the second time and none for most new paths.
//
// It is exact because only the import holding the library's one slot adds
// paths: a path the memory knows to be missing stays missing until this
// import stores it (and the memory notes it). Paths can only disappear
// through disc deletion: a path this import references (import_paths) is
// kept, and for the others the engine asks the library again before using
// them. Deleting one of the import's own discs can drop its references:
// the engine then forgets everything (Forget).
//
// Safe to use from several threads: the walk asks what it knows while the
// writer thread stores paths.
#pragma once
#include "wintypes.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

class ImportPathMemory {
public:
    enum class Answer { Unknown, Missing, Referenced, Stored };
    struct Recall {
        Answer answer = Answer::Unknown;
        LONG id = 0; // Referenced and Stored
    };

    // What is known of this path text ("\DIR\SUB").
    Recall Find(const std::u16string& text) const;
    // The same where it needs no read of the library: Unknown while a
    // folder's stored paths would have to be read first (FolderToRead).
    Recall Known(const std::u16string& text) const;
    // The parent folder's path whose stored descendants, read once, would
    // answer for this path; empty when there is none to read (a top-level
    // path, or one below a folder already read).
    std::u16string FolderToRead(const std::u16string& text) const;
    // Notes that every stored path below `folder` has been given to Stored.
    void FolderRead(const std::u16string& folder);

    // A stored path the import does not reference yet.
    void Stored(const std::u16string& text, LONG id);
    // A path the import references (it created or found it): kept until
    // the import ends.
    void Referenced(const std::u16string& text, LONG id);
    // A path the library does not hold.
    void Missing(const std::u16string& text);
    void Forget();

private:
    Recall FindHere(const std::u16string& text) const;
    std::u16string FolderToReadHere(const std::u16string& text) const;
    bool InsideReadFolder(const std::u16string& text) const;

    mutable std::mutex m_mutex; // guards the two below
    std::unordered_map<std::u16string, Recall> m_paths;
    std::unordered_set<std::u16string> m_readFolders;
};
