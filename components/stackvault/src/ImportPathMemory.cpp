#include "ImportPathMemory.h"

namespace {

constexpr char16_t kSeparator = u'\\';

} // namespace

ImportPathMemory::Recall ImportPathMemory::Find(const std::u16string& text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return FindHere(text);
}

ImportPathMemory::Recall ImportPathMemory::Known(const std::u16string& text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return FolderToReadHere(text).empty() ? FindHere(text) : Recall{};
}

std::u16string ImportPathMemory::FolderToRead(const std::u16string& text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return FolderToReadHere(text);
}

void ImportPathMemory::FolderRead(const std::u16string& folder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_readFolders.insert(folder);
}

void ImportPathMemory::Stored(const std::u16string& text, LONG id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Recall& recall = m_paths[text];
    if (recall.answer != Answer::Referenced) recall = {Answer::Stored, id};
}

void ImportPathMemory::Referenced(const std::u16string& text, LONG id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_paths[text] = {Answer::Referenced, id};
}

void ImportPathMemory::Missing(const std::u16string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_paths[text] = {Answer::Missing, 0};
}

void ImportPathMemory::Forget()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_paths.clear();
    m_readFolders.clear();
}

ImportPathMemory::Recall ImportPathMemory::FindHere(const std::u16string& text) const
{
    const auto known = m_paths.find(text);
    if (known != m_paths.end()) return known->second;
    return InsideReadFolder(text) ? Recall{Answer::Missing, 0} : Recall{};
}

std::u16string ImportPathMemory::FolderToReadHere(const std::u16string& text) const
{
    const size_t cut = text.rfind(kSeparator);
    if (cut == std::u16string::npos || cut == 0 || InsideReadFolder(text)) return {};
    return text.substr(0, cut);
}

// Whether a folder above this path (its parent, or one further up) has had
// all its stored descendants read.
bool ImportPathMemory::InsideReadFolder(const std::u16string& text) const
{
    if (m_readFolders.empty()) return false;
    for (size_t cut = text.rfind(kSeparator); cut != std::u16string::npos && cut > 0;
         cut = text.rfind(kSeparator, cut - 1))
        if (m_readFolders.count(text.substr(0, cut))) return true;
    return false;
}
