// Reads a whole tree from a fuzzed image, checks that every name is one
// path part, and walks it the way the scan does, so that lookups by path
// run over whatever the parser produced; then reads the first files' data
// as a catalogued file is opened.
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
    // Every name handed out is one path part, whatever the image holds.
    for (uint32_t index = 1; index < tree.Count(); ++index) {
        const std::u16string& name = tree.Node(index).name;
        const bool severalParts = name.find_first_of(std::u16string_view(u"/\\\0", 3)) != std::u16string::npos;
        if (severalParts || name == u"." || name == u"..") __builtin_trap();
    }
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
    uint8_t buffer[5000];
    int files = 0;
    for (uint32_t index = 1; index < tree.Count() && files < 16; ++index) {
        if (tree.IsFolder(index)) continue;
        ++files;
        uint32_t read = 0;
        for (uint64_t offset : {uint64_t(0), uint64_t(4096), tree.Node(index).size - 1})
            if (SUCCEEDED(reader.ReadFileData(index, tree.Node(index), offset, buffer, sizeof buffer, &read)) &&
                read > sizeof buffer)
                __builtin_trap(); // never more than asked for
    }
}
