#include "KeptParse.h"

void KeptParse::Keep(const std::string& stamp, DWORD options, FileTree tree)
{
    std::lock_guard lock(m_mutex);
    m_held = !stamp.empty() && uint64_t(tree.FileCount()) + tree.FolderCount() <= kMaxEntries;
    m_stamp = m_held ? stamp : std::string();
    m_options = options;
    m_tree = m_held ? std::move(tree) : FileTree();
}

bool KeptParse::Take(const std::string& stamp, DWORD options, FileTree& tree)
{
    std::lock_guard lock(m_mutex);
    if (!m_held || stamp.empty() || stamp != m_stamp || options != m_options) return false;
    tree = std::move(m_tree);
    m_tree = FileTree();
    m_held = false;
    return true;
}
