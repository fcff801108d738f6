// CMainFrame: the program's only top-level window. Under its skinned caption
// it holds the command bar on top, the tag pane at the lower left and the
// file list at the lower right, all attached to the one document; it carries
// the search box and the location text, keeps its placement across runs,
// shows a running import's scan (CScanProgress), and cancels the import
// when the machine goes to sleep or the session ends. F6 walks its
// panes, each command has its keys, and a damaged library is told to the
// user (CLibraryDamagePrompt), who may have it repaired.
#pragma once
#include "CCmdTarget.h"
#include "CFileListHost.h"
#include "CGXTFrameWnd.h"
#include "WinMessage.h"

#include <memory>

class CAlbCommandView;
class CAlbireoDoc;
class CAlphaStatic;
class CArcEditWrapper;
class CLibraryDamagePrompt;
class CDiscAccess;
class CFileListView;
class CImportCommand;
class CProgressDlg;
class CScanProgress;
class CSearchCommand;
class CViewModeCommand;
class CView;
class InstanceChannel;
class PaneCycle;
class PowerNotices;
class QSplitter;
class CTagView;

class CMainFrame : public CGXTFrameWnd, public CCmdTarget, public CFileListHost {
    Q_OBJECT
public:
    static constexpr const char* kWindowClass = "Albireo13";
    static constexpr UINT kCancelMessage = WM_USER + 2010;
    static constexpr UINT kScanCodeMessage = WM_USER + 2020; // a scan code carried to this thread
    static constexpr int kMinimumWidth = 450;
    // Caption, command bar, a few rows of tags and of the list, bottom border.
    static constexpr int kMinimumHeight = 320;
    static constexpr UINT kCommands[] = {3101, 3100, 3104, 3105};

    CMainFrame(CAlbireoDoc* document, CDiscAccess* discAccess, std::unique_ptr<PowerNotices> power = nullptr);
    ~CMainFrame() override;

    // Builds the skin, the menu bar, the progress window, the panes and
    // the search box; FALSE when any of them cannot be made.
    BOOL Create();

    CAlbCommandView* CommandView() const { return m_pCommandView; }
    CTagView* TagView() const { return m_pTagView; }
    CFileListView* FileListView() const { return m_pFileListView; }
    CArcEditWrapper* SearchBox() const { return m_pSearch; }
    CAlphaStatic* LocationLabel() const { return m_pLocation; }
    CProgressDlg* ProgressDlg() const;
    QSplitter* OuterSplitter() const { return m_pSplitter; }
    QSplitter* InnerSplitter() const { return m_pSplitterSub; }
    PowerNotices* Power() const { return m_pPower.get(); }
    CLibraryDamagePrompt* DamagePrompt() const { return m_pDamagePrompt.get(); }
    // F6 and Shift+F6: the command bar, the search box, the tag pane, the list.
    PaneCycle* Panes() const { return m_pPanes; }
    bool IsSearchPending() const;
    // Whether the progress of a running scan is being polled.
    bool IsPolling() const;
    CImportCommand* ImportCommand() const { return m_pImport.get(); }
    // A disc image named on the command line or handed over by another
    // start of the program: imported once the event loop runs.
    void ImportStartPath(const QString& path);
    // The panes and menus, which a running scan disables; the caption stays
    // alive so that the window still moves and minimises.
    QWidget* ClientArea() const;

    // The scan's callback; `context` names the frame (see ContextOf).
    static void ScanCallbackProc(int code, intptr_t parameter, int context);
    int CallbackContext() const { return m_nContext; }
    // The frame a callback context names, or null once it is gone.
    static CMainFrame* FrameOf(int context);

    void SavePlacement();
    // Re-places the search box and the view-mode buttons for the client width.
    void PlaceSearchBox();

    // CCmdTarget
    // A command whose state says it rests (Back with nothing to go back
    // to, a view mode in the search results) does nothing.
    BOOL OnCmdMsg(UINT id) override;
    BOOL OnUpdateCmdUI(UINT id, BOOL* enabled) override;
    // CFileListHost
    void SetLocationText(const QString& text) override;
    QString SearchText() const override;
    void SetSearchText(const QString& text) override;
    void FocusSearchBox() override;
    void EnableCommandButton(int index, bool enable) override;
    void ShowSearchLayout(bool searchResults) override;
    QWidget* MainWindow() override { return this; }
    void ClearTagFilter() override;
    void RefreshTags() override;
    void ApplyTagFilter() override;
    void OnEngineFailure(HRESULT hr) override;
    void OpenCataloguedFile(int discId, const QString& folderPath, const QString& name) override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL CreateMenuBar();
    BOOL CreateClient();
    BOOL CreateSearchBox();
    void CreateShortcuts();
    void CreateDamagePrompt();
    // The names screen readers give the panes.
    void NamePanes();
    // After a repair: the tags and the disc list read anew.
    void ReloadLibrary();
    void OnScanCode(int code, LPARAM value);
    void OnSessionEnding();

    CAlbireoDoc* m_pDocument;
    CDiscAccess* m_pDiscAccess;
    std::unique_ptr<PowerNotices> m_pPower;
    QSplitter* m_pSplitter = nullptr;
    QSplitter* m_pSplitterSub = nullptr;
    CAlbCommandView* m_pCommandView = nullptr;
    CTagView* m_pTagView = nullptr;
    CFileListView* m_pFileListView = nullptr;
    CAlphaStatic* m_pLocation = nullptr;
    CArcEditWrapper* m_pSearch = nullptr;
    PaneCycle* m_pPanes = nullptr;
    int m_nSearchLeft = 0;
    int m_nContext = 0;
    std::unique_ptr<InstanceChannel> m_pChannel;
    std::unique_ptr<CLibraryDamagePrompt> m_pDamagePrompt;
    std::unique_ptr<CScanProgress> m_pScanProgress;
    std::unique_ptr<CImportCommand> m_pImport;
    std::unique_ptr<CSearchCommand> m_pSearchCommand;
    std::unique_ptr<CViewModeCommand> m_pViewMode;
};
