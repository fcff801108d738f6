// The last parse a drive's reader made of an image, kept for the next
// reader of the same image: an import parses a disc to count its entries,
// then again to walk it, and the second parse of an unchanged image file
// would only repeat the first. The whole parse is handed over once (moved,
// not copied): the opened image, its file-system reader (which keeps what
// it learned while parsing, such as the extents of files in several
// parts) and the tree; only while the image's files are unchanged, as
// their stamp (device, inode, size, modification and change times) says.
// Trees of more than a million entries are not kept, to bound what a
// drive holds.
#pragma once
#include "DiscMedium.h"
#include "FileSystemReader.h"
#include "FileTree.h"
#include "wintypes.h"

#include <memory>
#include <mutex>
#include <string>

class KeptParse {
public:
    static constexpr uint32_t kMaxEntries = 1'000'000;

    struct Parse {
        std::unique_ptr<DiscMedium> medium; // before the reader, which reads it: destroyed after it
        std::unique_ptr<FileSystemReader> fileSystem;
        VolumeInfo volume;
        FileTree tree;
    };

    // Keeps the parse of the medium with this stamp (a non-empty one).
    void Keep(const std::string& stamp, DWORD options, Parse parse);
    // Moves the kept parse into `parse` when it came from a medium with
    // this stamp and was made with these options; false otherwise.
    bool Take(const std::string& stamp, DWORD options, Parse& parse);

private:
    std::mutex m_mutex;
    std::string m_stamp; // empty while nothing is kept
    DWORD m_options = 0;
    Parse m_parse;
};
