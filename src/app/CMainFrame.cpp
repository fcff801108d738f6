// CMainFrame: creation, layout, the search box and the commands.
#include "CMainFrame.h"

#include "CAlbCommandView.h"
#include "CAlbireoDoc.h"
#include "CAlphaStatic.h"
#include "CArcEditWrapper.h"
#include "CDiscAccess.h"
#include "CFileListView.h"
#include "CAlbireoApp.h"
#include "CGButton.h"
#include "CGEdit.h"
#include "FlatSplitter.h"
#include "ImageDropTarget.h"
#include "CGXTFrameWndAccessible.h"
#include "CFileOpenCommand.h"
#include "CImportCommand.h"
#include "CLibraryDamagePrompt.h"
#include "CScanProgress.h"
#include "CSearchCommand.h"
#include "CViewModeCommand.h"
#include "DesktopOpener.h"
#include "Diagnostics.h"
#include "HelpPage.h"
#include "InstanceChannel.h"
#include "PaneCycle.h"
#include "PowerNotices.h"
#include "SkinAccessible.h"
#include "SkinFont.h"
#include "SkinImage.h"
#include "SkinMenu.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "CTagView.h"
#include "TagPaneMessages.h"
#include "UiScale.h"
#include "WinControls.h"
#include "WindowPlacement.h"

#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kCommandBarHeight = 26;
constexpr int kTagPaneWidth = 210;
constexpr int kFileListWidth = 270;
constexpr int kPaneHeight = 540;
constexpr int kSearchTop = 2;
constexpr int kViewButtonGap = 10;
const QRect kLocationRect = RectLTRB(254, 4, 854, 20);

// The search box's top and the location text's place, grown with the
// layout as the bar they sit in.
int SearchTop() { return int(kSearchTop * GetUiScale()); }

QRect LocationRect()
{
    const double s = GetUiScale();
    const QRect& r = kLocationRect;
    return RectLTRB(int(r.left() * s), int(r.top() * s), int((r.left() + r.width()) * s), int((r.top() + r.height()) * s));
}
const QColor kLocationColour(0x1B, 0x2A, 0x3F);
// The bar between the tag pane and the list.
const QColor kPaneSplitterColour(0xC4, 0xC9, 0xCF);

// Frames by callback context: the scan callback carries a 32-bit context.
QHash<int, QPointer<CMainFrame>>& Frames()
{
    static QHash<int, QPointer<CMainFrame>> frames;
    return frames;
}

// The window's own parts as screen readers see them (once, before the first window).
void RegisterAccessibleParts()
{
    static bool registered = false;
    if (registered) return;
    registered = true;
    SkinAccessible::Register<CGXTFrameWnd, CGXTFrameWndAccessible>();
    SkinAccessible::Register<CAlbCommandView>(QAccessible::ToolBar);
    SkinAccessible::Register<CTagView>(QAccessible::Pane);
    SkinAccessible::Register<CFileListView>(QAccessible::Pane);
}

} // namespace

CMainFrame::CMainFrame(CAlbireoDoc* document, CDiscAccess* discAccess, std::unique_ptr<PowerNotices> power)
    : m_pDocument(document), m_pDiscAccess(discAccess), m_pPower(power ? std::move(power) : PowerNotices::Create())
{
    static int lastContext = 0;
    m_nContext = ++lastContext;
    Frames().insert(m_nContext, this);
    RegisterAccessibleParts();
    setObjectName(QString::fromLatin1(kWindowClass));
    connect(m_pPower.get(), &PowerNotices::ending, this, &CMainFrame::OnSessionEnding);
    m_pScanProgress = std::make_unique<CScanProgress>(*this, discAccess, *m_pPower);
    m_pImport = std::make_unique<CImportCommand>(*this, discAccess);
}

CMainFrame::~CMainFrame()
{
    Frames().remove(m_nContext);
    if (m_pDiscAccess) m_pDiscAccess->SetCallback(nullptr, 0);
}

CMainFrame* CMainFrame::FrameOf(int context) { return Frames().value(context).data(); }

BOOL CMainFrame::Create()
{
    CreateSkin();
    if (!CreateMenuBar() || !m_pScanProgress->Create()) return FALSE;
    // Never so narrow that the caption buttons cover the menu bar.
    setMinimumSize(std::max(int(kMinimumWidth * GetUiScale()), CaptionMinimumWidth()),
                   int(kMinimumHeight * GetUiScale()));
    if (m_pDiscAccess) m_pDiscAccess->SetCallback(&CMainFrame::ScanCallbackProc, m_nContext);
    // The list and the bar take the window's face: it grows with the layout.
    setFont(SkinFont::Scaled());
    CreateDamagePrompt();
    if (!CreateClient()) return FALSE;
    connect(m_pTagView, &CTagView::engineFailed, this, &CMainFrame::OnEngineFailure);
    CreateShortcuts();
    NamePanes();
    // The keyboard starts in the search box: typing searches at once.
    m_pSearch->Edit()->setFocus(Qt::OtherFocusReason);
    m_pChannel = std::make_unique<InstanceChannel>(QString::fromLatin1(kWindowClass), this);
    // A disc image dropped from a file manager is taken like one given to a
    // second start.
    new ImageDropTarget(this, [this](const QString& path) {
        DumpMsg("MainFrame", "image dropped: %s", qUtf8Printable(path));
        ImportStartPath(path);
    });
    connect(m_pChannel.get(), &InstanceChannel::broadcastReceived, this,
            [](const QString& name) { DumpMsg("MainFrame", "broadcast %s received", qUtf8Printable(name)); });
    return TRUE;
}

BOOL CMainFrame::CreateMenuBar()
{
    const std::optional<ResourceMenu> menu = LoadMenu(IDR_MAINFRAME);
    if (!menu) return FALSE;
    auto* bar = new QMenuBar(this);
    bar->setNativeMenuBar(false);
    bar->setStyleSheet(QStringLiteral("QMenuBar { background: transparent; color: #E4ECF5; }"
                                      "QMenuBar::item { background: transparent; padding: 4px 9px; border-radius: 4px; }"
                                      "QMenuBar::item:selected { background: rgba(255,255,255,40); color: white; }"
                                      "QMenuBar::item:pressed { background: #1FA5A0; color: white; }") +
                       SkinMenu::StyleSheet());
    for (const ResourceMenuItem& item : menu->items) {
        if (item.kind != ResourceMenuItem::Kind::Popup) continue;
        QMenu* popup = bar->addMenu(item.text);
        SkinMenu::Fill(popup, item.children, [this](UINT id) { OnCmdMsg(id); });
        SkinMenu::FollowCommandStates(popup, [this](UINT id, BOOL* enabled) { return OnUpdateCmdUI(id, enabled); });
    }
    SetCaptionMenuBar(bar);
    // Alt, and Alt with a menu's "&" letter, are the menu bar's own keys;
    // F10 opens the first menu.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, bar,
            [bar] { bar->setActiveAction(bar->actions().value(0)); });
    return TRUE;
}

CProgressDlg* CMainFrame::ProgressDlg() const { return m_pScanProgress->Dialog(); }

bool CMainFrame::IsPolling() const { return m_pScanProgress->IsPolling(); }

QWidget* CMainFrame::ClientArea() const { return m_pSplitter ? m_pSplitter->parentWidget() : nullptr; }

void CMainFrame::ImportStartPath(const QString& path)
{
    QTimer::singleShot(0, this, [this, path] { m_pImport->ImportImage(path); });
}

void CMainFrame::OpenCataloguedFile(int discId, const QString& folderPath, const QString& name)
{
    CFileOpenCommand(this, m_pDiscAccess, m_pFileListView->Engine(), &DesktopOpener::Open)
        .Open(discId, folderPath, name);
}

BOOL CMainFrame::CreateClient()
{
    const double s = GetUiScale();
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kSideBorder, kCaptionHeight, kSideBorder, kBottomBorder);
    layout->addWidget(client);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);

    m_pSplitter = new QSplitter(Qt::Vertical, client);
    m_pSplitter->setHandleWidth(0);
    m_pSplitter->setChildrenCollapsible(false);
    clientLayout->addWidget(m_pSplitter);

    m_pCommandView = new CAlbCommandView(m_pSplitter);
    m_pCommandView->setFixedHeight(int(kCommandBarHeight * s));
    m_pCommandView->SetDocument(m_pDocument);
    m_pCommandView->SetCommandTarget(this);
    m_pCommandView->SetCommands(kCommands, 4);
    if (CGButton* back = m_pCommandView->GetButton(1)) back->setEnabled(false);

    m_pLocation = new CAlphaStatic(m_pCommandView);
    m_pLocation->Create(QString(), WS_CHILD | WS_VISIBLE, LocationRect(), m_pCommandView, 0, kLocationColour);
    m_pLocation->setFont(SkinFont::Scaled());
    m_pLocation->setTextFormat(Qt::PlainText);

    if (!CreateSearchBox()) return FALSE;
    m_pCommandView->installEventFilter(this); // its width places the search box

    m_pSplitterSub = new FlatSplitter(Qt::Horizontal, kPaneSplitterColour, m_pSplitter);
    m_pSplitterSub->setHandleWidth(4);
    m_pSplitterSub->setChildrenCollapsible(true);
    m_pTagView = new CTagView(m_pSplitterSub);
    m_pTagView->setMinimumWidth(0);
    m_pTagView->SetDocument(m_pDocument);
    m_pFileListView = new CFileListView(m_pSplitterSub);
    m_pFileListView->SetDocument(m_pDocument);
    m_pTagView->SetFileListView(m_pFileListView);
    m_pSplitterSub->setSizes({int(kTagPaneWidth * s), int(kFileListWidth * s)});
    m_pSplitterSub->setStretchFactor(0, 0);
    m_pSplitterSub->setStretchFactor(1, 1);
    m_pSplitter->setSizes({int(kCommandBarHeight * s), int(kPaneHeight * s)});
    m_pSplitter->setStretchFactor(1, 1);
    m_pSearchCommand = std::make_unique<CSearchCommand>(m_pSearch, m_pFileListView);
    m_pViewMode = std::make_unique<CViewModeCommand>(m_pCommandView, m_pFileListView);
    if (!m_pFileListView->Create(this)) return FALSE;

    for (CView* view : m_pDocument->Views()) view->OnInitialUpdate();
    return TRUE;
}

BOOL CMainFrame::CreateSearchBox()
{
    const double s = GetUiScale();
    m_pSearch = new CArcEditWrapper(m_pCommandView);
    m_pSearch->setGeometry(RectLTRB(0, 13, int(26 * s), int(26 * s)));
    // Grown by the layout, the box is drawn from a picture dense enough for it.
    const QImage picture = SkinImage::Load(QString::fromLatin1(CArcEditWrapper::kPicture), s * SkinImage::ScreenDensity());
    if (!m_pSearch->Setup(873, SearchTop(), picture, s))
        return FALSE;
    m_pSearch->setEnabled(true);
    return TRUE;
}

void CMainFrame::CreateShortcuts()
{
    // Ctrl+F and "/" put the keyboard in the search box, as in file managers.
    // The list takes its own keys (Enter, Backspace, Delete, "/"); these,
    // the commands' keys and F6 work wherever the keyboard is in the window.
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, &CMainFrame::FocusSearchBox);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, [this] { HelpPage::Open(this); });
    m_pCommandView->InstallShortcuts(this);
    m_pPanes = new PaneCycle(this, {m_pCommandView, m_pSearch, m_pTagView, m_pFileListView});
}

void CMainFrame::NamePanes()
{
    m_pTagView->setAccessibleName(LoadString(IDS_TAGS_TITLE));
    m_pFileListView->setAccessibleName(LoadString(IDS_NAME_FILE_LIST));
    m_pFileListView->List()->setAccessibleName(LoadString(IDS_NAME_FILE_LIST));
    m_pSearch->setAccessibleName(LoadString(IDS_TIP_SEARCH));
    m_pSearch->Edit()->setAccessibleName(LoadString(IDS_TIP_SEARCH));
}

void CMainFrame::CreateDamagePrompt()
{
    CLibraryDamagePrompt::Window window;
    window.widget = this;
    window.engines = [this] {
        std::vector<ILibraryEngine*> engines;
        if (m_pFileListView && m_pFileListView->Engine()) engines.push_back(m_pFileListView->Engine());
        if (m_pTagView && m_pTagView->Engine()) engines.push_back(m_pTagView->Engine());
        return engines;
    };
    window.reload = [this] { ReloadLibrary(); };
    m_pDamagePrompt = std::make_unique<CLibraryDamagePrompt>(std::move(window));
    // Before the panes open the library: one that cannot be opened is
    // offered the repair first.
    m_pDamagePrompt->RepairIfUnopenable();
}

void CMainFrame::OnEngineFailure(HRESULT hr)
{
    if (m_pDamagePrompt) m_pDamagePrompt->OnEngineResult(hr);
}

void CMainFrame::ReloadLibrary()
{
    if (!m_pTagView || !m_pFileListView) return; // repaired before the panes were made
    m_pTagView->populate();
    m_pFileListView->Reload(1); // the disc list, the search ended
}

void CMainFrame::PlaceSearchBox()
{
    if (!m_pSearch || !m_pCommandView) return;
    const int width = m_pCommandView->width();
    m_nSearchLeft = width - m_pSearch->width();
    m_pSearch->move(m_nSearchLeft, SearchTop());
    for (int index : {2, 3})
        if (CGButton* button = m_pCommandView->GetButton(index))
            button->move(width - button->width() - m_pSearch->width() - kViewButtonGap, SearchTop());
    // The location text ends where the view buttons begin.
    if (CGButton* view = m_pCommandView->GetButton(2))
        m_pLocation->setGeometry(LocationRect().left(), LocationRect().top(),
                                 std::max(0, view->x() - 8 - LocationRect().left()), LocationRect().height());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pCommandView && event->type() == QEvent::Resize) PlaceSearchBox();
    return CGXTFrameWnd::eventFilter(watched, event);
}

BOOL CMainFrame::OnUpdateCmdUI(UINT id, BOOL* enabled)
{
    if (m_pViewMode && m_pViewMode->OnUpdate(id, enabled)) return TRUE;
    return m_pFileListView ? m_pFileListView->OnUpdateCommand(id, enabled) : FALSE;
}

BOOL CMainFrame::OnCmdMsg(UINT id)
{
    BOOL enabled = TRUE;
    if (OnUpdateCmdUI(id, &enabled) && !enabled) return TRUE;
    switch (id) {
    case ID_ALB_IMPORT:
        m_pImport->Run();
        return TRUE;
    case ID_ALB_BACK:
    case ID_ALB_REFRESH:
    case ID_ALB_LARGE_ICONS:
    case ID_ALB_SEARCH:
        if (m_pFileListView) m_pFileListView->OnCommand(id);
        return TRUE;
    case ID_ALB_SMALL_ICONS: m_pViewMode->Show(CViewModeCommand::kSmallIcons); return TRUE;
    case ID_ALB_DETAILS: m_pViewMode->Show(CViewModeCommand::kDetails); return TRUE;
    case ID_APP_EXIT: close(); return TRUE;
    case ID_HELP_FINDER: HelpPage::Open(this); return TRUE;
    case CAlbireoApp::kAboutCommand:
        if (CAlbireoApp* app = CAlbireoApp::Instance()) app->OnAppAbout();
        return TRUE;
    default: return FALSE;
    }
}

void CMainFrame::SetLocationText(const QString& text)
{
    if (m_pLocation) m_pLocation->setText(text);
}

QString CMainFrame::SearchText() const { return m_pSearchCommand ? m_pSearchCommand->Text() : QString(); }

void CMainFrame::SetSearchText(const QString& text)
{
    if (m_pSearchCommand) m_pSearchCommand->SetTextQuietly(text);
}

bool CMainFrame::IsSearchPending() const { return m_pSearchCommand && m_pSearchCommand->IsPending(); }

void CMainFrame::FocusSearchBox()
{
    if (m_pSearch && m_pSearch->Edit()) m_pSearch->Edit()->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::EnableCommandButton(int index, bool enable)
{
    if (CGButton* button = m_pCommandView ? m_pCommandView->GetButton(index) : nullptr) button->setEnabled(enable);
}

void CMainFrame::ShowSearchLayout(bool searchResults)
{
    if (m_pViewMode) m_pViewMode->FollowList(searchResults);
}

// The tag pane hears of the file list's needs through its messages.
void CMainFrame::ClearTagFilter() { SendMessage(m_pTagView, WM_TAG_CLEAR_FILTER); }
void CMainFrame::RefreshTags() { SendMessage(m_pTagView, WM_TAG_RELOAD); }
void CMainFrame::ApplyTagFilter() { SendMessage(m_pTagView, WM_TAG_APPLY_FILTER); }

void CMainFrame::closeEvent(QCloseEvent* event)
{
    SavePlacement();
    CGXTFrameWnd::closeEvent(event);
}

void CMainFrame::SavePlacement() { WindowPlacement::Of(*this).Write(); }
