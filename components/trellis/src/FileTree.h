// The parsed file system of a disc: folders and files with names, sizes,
// times and attributes, found again by their backslash-separated paths.
// Bounded: past kMaxEntries further entries are dropped. What could not be
// read (folders whose entries are missing, files whose entry or data is)
// is counted with the reason, for the reader's report.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct FileNode {
    std::u16string name;
    uint64_t size = 0;
    uint64_t fileTime = 0;
    uint32_t attributes = 0;
    uint64_t location = 0; // where a file's data is, in the file system reader's own terms
    std::vector<uint32_t> children; // folders only, in disc order
};

class FileTree {
public:
    static constexpr uint32_t kRoot = 0;
    static constexpr uint32_t kNone = UINT32_MAX;
    static constexpr uint32_t kMaxEntries = 4'000'000;
    static constexpr uint32_t kMaxDepth = 1000;

    FileTree();

    // What stands in a name for a slash (U+2215 DIVISION SLASH) and for a
    // zero (U+FFFD, as for any unit that is not text).
    static constexpr char16_t kSlashStandIn = 0x2215;
    static constexpr char16_t kZeroStandIn = 0xFFFD;

    // Makes a name one path part, as TrellisInterfaces.h promises: a
    // backslash becomes '_', a slash and a zero their stand-ins, and the
    // names "." and ".." become "._" and ".._".
    static void MakeOnePathPart(std::u16string& name);

    // Adds an entry below `parent` (its name made one path part); kNone
    // when the tree is full.
    uint32_t Add(uint32_t parent, FileNode node);
    const FileNode& Node(uint32_t index) const { return m_nodes[index]; }
    FileNode& Node(uint32_t index) { return m_nodes[index]; }
    bool IsFolder(uint32_t index) const;
    // Nodes in the tree, the root included.
    uint32_t Count() const { return uint32_t(m_nodes.size()); }

    // The folder at a backslash path from the root ("" or "\" is the root);
    // exact names first, then ignoring case; kNone when there is none.
    uint32_t FindFolder(std::u16string_view path) const;
    // The file at a backslash path ("\DIR\name"), exact names first, then
    // ignoring case; kNone when there is none.
    uint32_t FindFile(std::u16string_view path) const;

    uint32_t FileCount() const { return m_files; }
    uint32_t FolderCount() const { return m_folders; }

    // A folder whose entries could not all be read; a file whose entry or
    // data could not be read. `reason` is a TRELLIS_GAP_* bit.
    void MissFolder(uint32_t reason);
    void MissFile(uint32_t reason);
    uint32_t UnreadFolders() const { return m_unreadFolders; }
    uint32_t UnreadFiles() const { return m_unreadFiles; }
    uint32_t GapReasons() const { return m_gapReasons; }

private:
    uint32_t FindChildFolder(uint32_t folder, std::u16string_view name, bool ignoreCase) const;
    uint32_t Walk(std::u16string_view path, bool ignoreCase) const;

    std::vector<FileNode> m_nodes;
    uint32_t m_files = 0;
    uint32_t m_folders = 0;
    uint32_t m_unreadFolders = 0;
    uint32_t m_unreadFiles = 0;
    uint32_t m_gapReasons = 0;
    // Per folder, its child folders by name; built on first lookup.
    mutable std::unordered_map<uint32_t, std::unordered_multimap<std::u16string, uint32_t>> m_folderIndex;
};
