// The last tree a drive's reader parsed from an image, kept for the next
// reader of the same image: an import parses a disc to count its entries,
// then again to walk it, and the second parse of an unchanged image file
// would only repeat the first. The tree is handed over once (moved, not
// copied) and only while the image's files are unchanged, as their stamp
// (device, inode, size, modification and change times) says. Trees of
// more than a million entries are not kept, to bound what a drive holds.
#pragma once
#include "FileTree.h"
#include "wintypes.h"

#include <mutex>
#include <string>

class KeptParse {
public:
    static constexpr uint32_t kMaxEntries = 1'000'000;

    // Keeps the tree parsed from the medium with this stamp (a non-empty one).
    void Keep(const std::string& stamp, DWORD options, FileTree tree);
    // Moves the kept tree into `tree` when it came from a medium with this
    // stamp and was parsed with these options; false otherwise.
    bool Take(const std::string& stamp, DWORD options, FileTree& tree);

private:
    std::mutex m_mutex;
    bool m_held = false;
    std::string m_stamp;
    DWORD m_options = 0;
    FileTree m_tree;
};
