#include "FileTree.h"

#include "TrellisInterfaces.h"

namespace {

char16_t FoldCase(char16_t c)
{
    if (c >= u'a' && c <= u'z') return char16_t(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32);
    return c;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

} // namespace

void FileTree::MakeOnePathPart(std::u16string& name)
{
    // A backslash would split the name in the engine's own paths; a slash or
    // a zero would split or cut it in this machine's; "." and ".." would
    // name the folder itself or its parent. The replacements keep the name
    // recognisable.
    for (char16_t& c : name) {
        if (c == u'\\')
            c = u'_';
        else if (c == u'/')
            c = kSlashStandIn;
        else if (c == 0)
            c = kZeroStandIn;
    }
    if (name == u"." || name == u"..") name += u'_';
}

FileTree::FileTree()
{
    FileNode root;
    root.attributes = TRELLIS_ATTRIBUTE_DIRECTORY;
    m_nodes.push_back(std::move(root));
}

bool FileTree::IsFolder(uint32_t index) const { return m_nodes[index].attributes & TRELLIS_ATTRIBUTE_DIRECTORY; }

uint32_t FileTree::Add(uint32_t parent, FileNode node)
{
    MakeOnePathPart(node.name);
    const bool folder = node.attributes & TRELLIS_ATTRIBUTE_DIRECTORY;
    if (m_nodes.size() > kMaxEntries) {
        folder ? MissFolder(TRELLIS_GAP_LIMIT) : MissFile(TRELLIS_GAP_LIMIT);
        return kNone;
    }
    const uint32_t index = uint32_t(m_nodes.size());
    folder ? ++m_folders : ++m_files;
    m_nodes.push_back(std::move(node));
    m_nodes[parent].children.push_back(index);
    m_folderIndex.erase(parent);
    return index;
}

void FileTree::MissFolder(uint32_t reason)
{
    ++m_unreadFolders;
    m_gapReasons |= reason;
}

void FileTree::MissFile(uint32_t reason)
{
    ++m_unreadFiles;
    m_gapReasons |= reason;
}

uint32_t FileTree::FindChildFolder(uint32_t folder, std::u16string_view name, bool ignoreCase) const
{
    const FileNode& node = m_nodes[folder];
    if (ignoreCase) {
        for (uint32_t child : node.children)
            if (IsFolder(child) && EqualIgnoringCase(m_nodes[child].name, name)) return child;
        return kNone;
    }
    auto found = m_folderIndex.find(folder);
    if (found == m_folderIndex.end()) {
        auto& index = m_folderIndex[folder];
        for (uint32_t child : node.children)
            if (IsFolder(child)) index.emplace(m_nodes[child].name, child);
        found = m_folderIndex.find(folder);
    }
    auto hit = found->second.find(std::u16string(name));
    return hit == found->second.end() ? kNone : hit->second;
}

uint32_t FileTree::Walk(std::u16string_view path, bool ignoreCase) const
{
    uint32_t folder = kRoot;
    size_t begin = 0;
    while (begin < path.size()) {
        size_t end = path.find(u'\\', begin);
        if (end == std::u16string_view::npos) end = path.size();
        if (end > begin) {
            folder = FindChildFolder(folder, path.substr(begin, end - begin), ignoreCase);
            if (folder == kNone) return kNone;
        }
        begin = end + 1;
    }
    return folder;
}

uint32_t FileTree::FindFile(std::u16string_view path) const
{
    const size_t slash = path.rfind(u'\\');
    const std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    const uint32_t folder = FindFolder(slash == std::u16string_view::npos ? std::u16string_view() : path.substr(0, slash));
    if (folder == kNone || name.empty()) return kNone;
    const std::vector<uint32_t>& children = m_nodes[folder].children;
    for (uint32_t child : children)
        if (!IsFolder(child) && m_nodes[child].name == name) return child;
    for (uint32_t child : children)
        if (!IsFolder(child) && EqualIgnoringCase(m_nodes[child].name, name)) return child;
    return kNone;
}

uint32_t FileTree::FindFolder(std::u16string_view path) const
{
    const uint32_t exact = Walk(path, false);
    return exact != kNone ? exact : Walk(path, true);
}
