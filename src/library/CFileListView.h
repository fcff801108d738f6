// CFileListView: the main pane. One list that shows, in turn, the
// catalogued discs, the contents of one folder of one disc, or the results
// of a search over discs, folders and files. It owns its own library
// engine, deletes discs, and keeps the location text, the search box and
// the command bar's back button in step with what it shows.
//
// Rows are CAlbDataItem children of the document's root item; the list is
// virtual and asks for a row's texts only when it paints it. Search results
// and folder contents are read through the engine's listings where it has
// them: the first screen is shown as soon as it is found, the rest is
// counted in the background and read a block at a time as it is looked at.
#pragma once
#include "BrowseHistory.h"
#include "CAlbListCtrl.h"
#include "CView.h"
#include "ComPtr.h"
#include "FileIconCache.h"
#include "IncompleteDiscMarks.h"
#include "LibraryChangeWatch.h"
#include "ListingSortJob.h"
#include "ILibraryEngine.h"
#include "ILibraryListings.h"

#include <QHash>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class CAlbDataItem;
class CFileListHost;

class CFileListView : public CView {
    Q_OBJECT
public:
    static constexpr UINT kReloadMessage = 0x8006; // WM_APP + 6
    static constexpr QRgb kHeaderColour = 0xFFBABCBF; // the colour reference 0xBFBCBA
    static constexpr int kThumbSide = 45;
    static constexpr int kIconSide = 35;
    // Entries a listing must have found (or be complete) before a search or
    // a folder is shown, and how long the window waits for them at most.
    static constexpr int kFirstScreenRows = 64;
    static constexpr int kFirstScreenWaitMs = 150;
    static constexpr int kListingPollMs = 40;
    static constexpr int kTypeAheadReach = 20000;

    // Row kinds of the search results.
    enum SearchKind { DiscHeader = 1, DiscRow, FolderHeader, FolderRow, FileHeader, FileRow };

    explicit CFileListView(QWidget* parent = nullptr);
    ~CFileListView() override;

    // Creates the engine (or takes `engine`, which the view then owns and
    // releases), opens the library, seeds tags and label sets on a first
    // start and shows the discs. False (after message 3014) when the
    // library cannot be used.
    bool Create(CFileListHost* host, ILibraryEngine* engine = nullptr);
    ILibraryEngine* Engine() const { return m_pEngine; }
    CAlbListCtrl* List() const { return m_pList; }

    void ShowAllDiscs();
    void ShowDiscs(const QStringList& tagFilter);
    void Search(const QString& text);
    // The search box got its first letter: the list becomes the (empty)
    // search results until the search runs. Leaves results shown as they are.
    void BeginSearch();
    // The search box was emptied: the discs, filtered by the ticked tags.
    void EndSearch();
    void ShowFolder(int discId, int folderId);
    void SetViewStyle(int style);
    void PurgeTagIds();
    void Reload(WPARAM flag);
    // Carries out a command of the window or the context menus.
    BOOL OnCommand(UINT id);
    // Whether a command of the window can run now (Back while there is a
    // level to go back to); FALSE for commands the view does not decide.
    BOOL OnUpdateCommand(UINT id, BOOL* enabled) const;

    // Where a search hit lives: its disc's name and its path on the disc.
    QString FoundLocation(const CAlbDataItem& item) const;
    // The text a row shows in a column, and its picture index.
    CAlbListModel::Cell Display(int row, int column) const;
    // The kind and index of a search result row.
    static void SearchRowOf(int row, int discs, int folders, int files, int* kind, int* index);
    int DiscCount() const { return int(m_discs.size()); }
    CAlbDataItem* Root() const;
    const BrowseHistory& History() const { return m_history; }
    // Whether a search or folder is still being found; whether its counts
    // (and so the rows of the list) are final.
    bool IsListing() const { return m_listing != nullptr && !m_listed.complete && SUCCEEDED(m_listed.failure); }
    bool CountsFinal() const { return !IsListing() || m_listed.counted; }
    // Whether a sort of the folder's rows is still being made (away from
    // the window's thread); the rows keep their order until it is done.
    bool IsSorting() const { return m_sortJob != nullptr; }
    // Folders and files found by the last search, so far.
    int FoundFolderCount() const { return m_listed.folders; }
    int FoundFileCount() const { return m_listed.files; }

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, QObject* hintObject) override;

signals:
    // A search ran (the search box's text reached the list).
    void searchRan(const QString& text);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // Hands a failed engine call's result to the host and passes it on;
    // every engine call of the view goes through it.
    HRESULT Checked(HRESULT hr) const;
    bool OpenLibrary();
    bool SeedTags();
    void SeedLabels();
    bool ReadDiscs();
    // A change someone else made to the library: the disc list shown is read
    // again, sorted and selected as it was and scrolled where it was; other
    // lists show it when the disc list is shown next.
    void ShowChangesMadeElsewhere();
    // Nothing is open that a new list would pull from under the user.
    bool CanShowChanges() const;
    int RowOfDisc(int discId) const;
    void BuildThumbs();
    QPixmap Thumbnail(int labelId) const;
    void ClearRows();
    void AddDiscRow(const DiscRecord& disc, int image);
    // A disc's row: its date shown as every date is, sorted by the stored time.
    static std::unique_ptr<CAlbDataItem> DiscItem(const DiscRecord& disc, int image);
    void ShowSearchRows();
    int SearchThumb(int labelId);
    // Listings: started, polled until complete, closed with the rows.
    void StartListing(LibraryListing listing);
    void PollListing();
    void CloseListing();
    void FinishListing();
    int ListedRowCount() const;
    std::vector<ItemRecord> ListedItems(int kind, int first, int count) const;
    void MakeSearchRows(int first, int count, std::vector<std::unique_ptr<CAlbDataItem>>& made);
    void MakeFolderRows(int first, int count, std::vector<std::unique_ptr<CAlbDataItem>>& made);
    std::unique_ptr<CAlbDataItem> SearchHeader(UINT textId);
    void MarkSearchHeaders();
    std::unique_ptr<CAlbDataItem> SearchItem(const ItemRecord& record, bool folder);
    template <class Record>
    std::unique_ptr<CAlbDataItem> FolderEntry(const Record& record);
    void Open(int row);
    void OpenFromSearch(const CAlbDataItem& item);
    // Opens the disc of the selected row (a disc, or a folder or file found).
    void BrowseSelectedDisc();
    // Leaves the list shown for the search results' level entered last.
    void LeaveSearchResults();
    // Shows the history's current level.
    void ShowLevel();
    void Back();
    // The discs, filtered by the tags ticked in the tag pane.
    void ShowFilteredDiscs();
    // The list shown again after the library changed, sorted and selected as it was.
    void ShowAgain();
    BrowseHistory::ListView CurrentListView() const;
    void RestoreListView(const BrowseHistory::ListView& view);
    const CAlbDataItem* SelectedItem() const;
    void DeleteSelectedDisc();
    // F2 and the disc menu's Rename: the selected disc's name is edited in
    // place (disc list only); the list takes the typed name through RenameDisc.
    void RenameSelectedDisc();
    bool RenameDisc(int row, const QString& name);
    void ShowDiscInformation();
    void ShowDiscLabel();
    std::optional<DiscRecord> SelectedDiscRecord() const;
    int SelectedDiscId() const;
    void ShowContextMenu(const QPoint& globalPosition);
    void SortByColumn(int column);
    // Sorts the rows by `column` in `direction`: a folder listing by a
    // ListingSortJob, whose order arrives later; other lists, and the rows a
    // failed listing could read, at once.
    void SortRows(int column, int direction);
    void SortListing(int column, int direction);
    void ApplySortOrder(std::vector<int> order);
    // Ends a sort on its way; an order it already handed on is dropped.
    void StopSorting();
    // Selects `row` once the list has it and its order is final.
    void SelectWhenListed(int row);
    void SelectPendingRow();
    void ShowSortDirections();
    void TypeAhead(const QString& text);
    void UpdateCommandButtons();
    void ResetList(int mode);

    CFileListHost* m_pHost = nullptr;
    ILibraryEngine* m_pEngine = nullptr;
    HRESULT m_hrOpen = S_OK; // what opening the library gave
    CAlbListCtrl* m_pList = nullptr;
    int m_nPresentation = 1;
    std::vector<DiscRecord> m_discs;
    std::vector<DiscRecord> m_discsCopy;
    std::vector<QPixmap> m_discThumbs;
    IncompleteDiscMarks m_incomplete;
    std::vector<QPixmap> m_searchThumbs;
    FileIconCache m_fileIcons{kIconSide};
    std::vector<DiscRecord> m_foundDiscRecs;
    // Whole lists, for an engine without listings.
    std::vector<ItemRecord> m_foundFolderRecs;
    std::vector<ItemRecord> m_foundFileRecs;
    std::vector<FolderItemRecord> m_folderEntries;
    QHash<int, int> m_searchThumbIndex;
    ILibraryListings* m_pListings = nullptr;
    // Optional: the compact entries and types a sort reads instead of records.
    ComPtr<ILibraryListedTypes> m_pListedTypes;
    std::thread m_sortWarmUp;
    LibraryListing m_listing = nullptr;
    LibraryListingCounts m_listed{};
    std::unique_ptr<ListingSortJob> m_sortJob;
    // The last job that delivered its order: kept while its thread frees what
    // the sort used, so that the window's thread never waits for that.
    std::unique_ptr<ListingSortJob> m_finishedSortJob;
    int m_nSortSerial = 0; // tells the last sort's order from those it replaced
    // What the listing's entries are sorted by, once a sort has read them.
    ListingSortJob::Fields m_sortFields;
    int m_nRowToSelect = -1; // selected once listed and sorted (a list shown again); -1: none
    QTimer m_listingTimer;
    QString m_strShownSearch; // the text of the search results shown
    // The folder shown.
    int m_nCurrentDisc = 0;
    int m_nCurrentFolder = 0;
    BrowseHistory m_history;
    QString m_strTypedAhead;
    QTimer m_typeAheadTimer;
    LibraryChangeWatch m_changes;
};
