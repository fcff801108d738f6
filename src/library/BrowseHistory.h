// BrowseHistory: where Back leads in the file list. The user browses down
// from a list (the disc list, or the results of a search) into a disc and
// its folders; each level entered remembers the folder it shows, the
// location text, the folder's whole path on its disc (to open its files),
// and how the list it was entered from looked (sort column and selected
// row), so that Back shows that list as it was left. Showing another list
// (the disc list, a tag filter, a search) starts a new history.
#pragma once
#include <QString>
#include <vector>

class BrowseHistory {
public:
    // How a list looked when it was left.
    struct ListView {
        int sortColumn = -1;
        int sortDirection = 0;
        int selectedRow = -1;
    };
    struct Level {
        int discId = 0;
        int folderId = 0;  // 0: the disc's root
        QString location;  // the location text
        QString folderPath; // "\DIR\SUB" on the disc, "" for its root
        ListView left;     // the list this level was entered from
    };
    enum class Origin { DiscList, SearchResults };

    // A new list is shown: nothing to go back to.
    void Reset(Origin origin, const QString& searchText = QString());
    Origin From() const { return m_origin; }
    // The search the levels were entered from (empty from the disc list).
    QString SearchText() const { return m_strSearchText; }

    // Into a disc's root.
    void EnterDisc(int discId, const QString& discName, const ListView& left);
    // Into a folder found by a search: `pathText` is its whole path on the
    // disc ("\DIR\SUB").
    void EnterFoundFolder(int discId, int folderId, const QString& discName, const QString& pathText,
                          const ListView& left);
    // Into a folder of the folder shown.
    void EnterFolder(int folderId, const QString& name, const ListView& left);
    // Leaves the current level; answers it (its `left` is the list to show again).
    Level Leave();

    bool CanGoBack() const { return !m_levels.empty(); }
    // The level shown, or null in the list the history started from.
    const Level* Current() const { return m_levels.empty() ? nullptr : &m_levels.back(); }

private:
    Origin m_origin = Origin::DiscList;
    QString m_strSearchText;
    std::vector<Level> m_levels;
};
