// Reads a whole tree from a fuzzed image and walks it the way the scan
// does, so that lookups by path run over whatever the parser produced.
#pragma once
#include "FileSystemReader.h"

#include <string>

inline void WalkTree(FileSystemReader& reader)
{
    FileTree tree;
    std::atomic<bool> abort{false};
    std::atomic<double> fraction{0};
    ParseControl control(&abort, &fraction);
    reader.ReadTree(tree, control);
    std::u16string path;
    uint32_t folder = FileTree::kRoot;
    for (int depth = 0; depth < 8; ++depth) {
        uint32_t next = FileTree::kNone;
        for (uint32_t child : tree.Node(folder).children)
            if (tree.IsFolder(child)) next = child;
        if (next == FileTree::kNone) break;
        path += (path.empty() ? u"" : u"\\") + tree.Node(next).name;
        if (tree.FindFolder(path) == FileTree::kNone) __builtin_trap(); // a parsed folder must be found again
        folder = next;
    }
}
