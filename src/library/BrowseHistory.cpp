#include "BrowseHistory.h"

void BrowseHistory::Reset(Origin origin, const QString& searchText)
{
    m_origin = origin;
    m_strSearchText = origin == Origin::SearchResults ? searchText : QString();
    m_levels.clear();
}

void BrowseHistory::EnterDisc(int discId, const QString& discName, const ListView& left)
{
    m_levels.push_back({discId, 0, u'\\' + discName, QString(), left});
}

void BrowseHistory::EnterFoundFolder(int discId, int folderId, const QString& discName, const QString& pathText,
                                     const ListView& left)
{
    // The location names the disc, then the folder's path on it.
    m_levels.push_back({discId, folderId, discName + pathText, pathText, left});
}

void BrowseHistory::EnterFolder(int folderId, const QString& name, const ListView& left)
{
    const Level* parent = Current();
    if (!parent) return; // folders are entered from a disc
    m_levels.push_back({parent->discId, folderId, parent->location + u'\\' + name, parent->folderPath + u'\\' + name,
                        left});
}

BrowseHistory::Level BrowseHistory::Leave()
{
    if (m_levels.empty()) return {};
    Level left = m_levels.back();
    m_levels.pop_back();
    return left;
}
