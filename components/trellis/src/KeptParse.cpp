#include "KeptParse.h"

void KeptParse::Keep(const std::string& stamp, DWORD options, Parse parse)
{
    // A disc in a drive (no stamp) is never kept: its parse would hold the
    // drive open for nothing.
    const bool keep =
        !stamp.empty() && uint64_t(parse.tree.FileCount()) + parse.tree.FolderCount() <= kMaxEntries;
    std::lock_guard lock(m_mutex);
    m_stamp = keep ? stamp : std::string();
    m_options = options;
    m_parse = keep ? std::move(parse) : Parse{};
}

bool KeptParse::Take(const std::string& stamp, DWORD options, Parse& parse)
{
    std::lock_guard lock(m_mutex);
    if (m_stamp.empty() || stamp != m_stamp || options != m_options) return false;
    parse = std::move(m_parse);
    m_parse = Parse{};
    m_stamp.clear();
    return true;
}
