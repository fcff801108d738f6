// CTagView: the tag pane at the lower left of the main window. An all
// button and the title "Tags" over a divider, the four category tags, a
// dashed separator and the user tags, each row with a check box. Ticking
// rows filters the file list by the ticked tags; the all button clears
// every tick and the filter.
//
// The pane opens its own library engine when it is created (and releases
// it with itself); on an empty library it adds the four category tags and
// the default label image sets. When the engine cannot be opened or holds
// no tags, message 3014 is shown and the pane stays empty.
//
// It talks to the file list view only through messages (TagPaneMessages.h):
// after every tick and untick it sends WM_TAG_FILTER with the stored names
// of the ticked tags (category tags by their keys), in list order; the file
// list may send it WM_TAG_CLEAR_FILTER, WM_TAG_APPLY_FILTER and
// WM_TAG_RELOAD. The document's update hint 2 (the library changed) reloads
// the tags, keeping the ticks.
#pragma once
#include "CDllCom.h"
#include "CView.h"
#include "ILibraryEngine.h"
#include "WinControls.h"

#include <QStringList>

class CFilterListCtrl;
class CGButton;
class CGStatic;

class CTagView : public CView {
    Q_OBJECT
public:
    static constexpr UINT kAllButtonId = 625;
    static constexpr UINT kSeparatorId = 623;
    static constexpr UINT kListId = 61205;
    static constexpr LPARAM kLibraryChangedHint = 2;
    static constexpr const char* kSeparatorText = "------------------------------------";

    explicit CTagView(QWidget* parent = nullptr);
    ~CTagView() override;

    // Where the filter goes: the file list view (null: nowhere).
    void SetFileListView(QObject* fileList) { m_pFileList = fileList; }
    // The document's update: hint 2 reloads the tags.
    void OnUpdate(CView* sender, LPARAM hint, QObject* hintObject) override;

    // Empties both lists, opens the engine if needed (seeding an empty
    // library) and fills them. False when the engine failed (message 3014).
    bool populate();
    // Re-reads the tags and ticks the rows whose stored names were ticked:
    // E_POINTER without engine, E_FAIL when it holds no tags.
    HRESULT reloadTags();
    // Collects the ticked tags and hands them to the file list.
    void applyFilter();
    // Unticks every row; the file list is not told.
    void clearFilter();

    const QStringList& Selection() const { return m_selection; }
    ILibraryEngine* Engine() const { return m_pEngine; }
    CFilterListCtrl* CategoryList() const { return m_pCategoryList; }
    CFilterListCtrl* TagList() const { return m_pTagList; }
    CGButton* AllButton() const { return m_pAllButton; }
    CGStatic* Separator() const { return m_pSeparator; }

signals:
    // An engine call failed (the window tells the user of a damaged library).
    void engineFailed(HRESULT hr);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    CFilterListCtrl* CreateList(const QPoint& topLeft);
    HRESULT OpenEngine();
    void FillLists(const std::vector<TagRecord>& records);
    bool ListsShow(const std::vector<TagRecord>& records) const;
    void TickSelected();
    void SendFilter(const QStringList& filter);
    void Layout();
    void Fail();
    // Emits engineFailed for a failure and passes the result on.
    HRESULT Checked(HRESULT hr);

    CDllCom m_loader;
    ILibraryEngine* m_pEngine = nullptr;
    CGButton* m_pAllButton = nullptr;
    CGStatic* m_pTitle = nullptr;
    CGStatic* m_pDivider = nullptr;
    CFilterListCtrl* m_pCategoryList = nullptr;
    CGStatic* m_pSeparator = nullptr;
    CFilterListCtrl* m_pTagList = nullptr;
    QObject* m_pFileList = nullptr;
    QStringList m_selection;
};
