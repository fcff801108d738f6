// CFileListView: creation, reading the discs, the three presentations and
// what each row shows.
#include "CFileListView.h"

#include "CAlbireoDoc.h"
#include "CDllCom.h"
#include "CFileListHost.h"
#include "CFlwMessageBox.h"
#include "CategoryTags.h"
#include "DiscTagList.h"
#include "LibrarySeed.h"
#include "LibraryStatusText.h"
#include "ListSort.h"
#include "ListingSortJob.h"
#include "ListTexts.h"
#include "ProgramPaths.h"
#include "RecordList.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "WinControls.h"
#include "TagPaneMessages.h"
#include "TagRecords.h"
#include "TagText.h"
#include "WinMessage.h"

#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

const char* const kWarningIcon = "Image\\Dialogs\\MessageBox\\icon_warning.png";
constexpr UINT kLibraryFailedId = 3014;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

} // namespace

CFileListView::CFileListView(QWidget* parent) : CView(parent), m_pList(new CAlbListCtrl(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pList);
    setFocusProxy(m_pList);
    m_pList->Model()->SetProvider([this](int row, int column) { return Display(row, column); });
    m_pList->Model()->SetRenamer([this](int row, const QString& name) { return RenameDisc(row, name); });
    connect(m_pList, &CAlbListCtrl::rowOpened, this, &CFileListView::Open);
    connect(m_pList, &CAlbListCtrl::columnClicked, this, &CFileListView::SortByColumn);
    connect(m_pList, &CAlbListCtrl::contextMenuAt, this, &CFileListView::ShowContextMenu);
    connect(m_pList, &CAlbListCtrl::typedAhead, this, &CFileListView::TypeAhead);
    connect(m_pList, &CAlbListCtrl::backRequested, this, [this] { OnCommand(ID_ALB_BACK); });
    connect(m_pList, &CAlbListCtrl::deleteRequested, this, [this] { OnCommand(ID_DISC_DELETE); });
    connect(m_pList, &CAlbListCtrl::renameRequested, this, [this] { OnCommand(ID_DISC_RENAME); });
    connect(m_pList, &CAlbListCtrl::searchRequested, this, [this] {
        if (m_pHost) m_pHost->FocusSearchBox();
    });
    // In search results the location text names where the selected hit lives.
    connect(m_pList->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (m_pList->GetMode() != CAlbListCtrl::SearchResults || !m_pHost) return;
        const CAlbDataItem* root = Root();
        const CAlbDataItem* item = root && current.isValid() ? root->Child(current.row()) : nullptr;
        if (!item || !item->m_dwFlags) m_pHost->SetLocationText(QString());
        else m_pHost->SetLocationText(item->IsDisc() ? item->m_strName : item->m_strText2);
    });
    m_typeAheadTimer.setSingleShot(true);
    m_typeAheadTimer.setInterval(1000);
    connect(&m_typeAheadTimer, &QTimer::timeout, this, [this] { m_strTypedAhead.clear(); });
    connect(&m_listingTimer, &QTimer::timeout, this, &CFileListView::PollListing);
    connect(&m_changes, &LibraryChangeWatch::changedElsewhere, this, &CFileListView::ShowChangesMadeElsewhere);
}

CFileListView::~CFileListView()
{
    CloseListing();
    m_changes.Stop();
    if (m_pListings) m_pListings->Release();
    m_pListedTypes.Reset();
    if (m_sortWarmUp.joinable()) m_sortWarmUp.join();
    if (m_pEngine) {
        m_pEngine->Uninitialize();
        m_pEngine->Release();
    }
}

bool CFileListView::Create(CFileListHost* host, ILibraryEngine* engine)
{
    m_pHost = host;
    m_pEngine = engine;
    if (!OpenLibrary() || !SeedTags()) {
        // A library on a server says what went wrong; anything else gets the general message.
        const QString why = LibraryStatusText::OpenFailure(m_hrOpen);
        QWidget* parent = m_pHost ? m_pHost->MainWindow() : nullptr;
        if (why.isEmpty())
            CFlwMessageBox::showMessage(kLibraryFailedId, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, parent,
                                        QString::fromLatin1(kWarningIcon));
        else
            CFlwMessageBox::showMessage(why, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, parent,
                                        QString::fromLatin1(kWarningIcon));
        return false;
    }
    SeedLabels();
    m_changes.Start(m_pEngine, [this] { return CanShowChanges(); });
    if (ReadDiscs()) BuildThumbs();
    ShowAllDiscs();
    return true;
}

bool CFileListView::CanShowChanges() const
{
    return isEnabled() && !m_pList->IsEditing() && !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

void CFileListView::ShowChangesMadeElsewhere()
{
    const int selectedDisc = SelectedDiscId();
    const int scrolled = m_pList->verticalScrollBar()->value();
    BrowseHistory::ListView view = CurrentListView();
    if (!ReadDiscs()) return;
    BuildThumbs();
    if (m_pHost) m_pHost->RefreshTags(); // counts and tags new discs brought
    if (m_pList->GetMode() != CAlbListCtrl::DiscList) return;
    ShowFilteredDiscs();
    view.selectedRow = -1;
    RestoreListView(view);
    // The same disc stays selected wherever the sort put it; the list stays
    // scrolled where the user left it.
    if (const int row = RowOfDisc(selectedDisc); row >= 0) m_pList->SelectRow(row);
    m_pList->verticalScrollBar()->setValue(scrolled);
}

int CFileListView::RowOfDisc(int discId) const
{
    const CAlbDataItem* root = Root();
    for (int row = 0; root && discId > 0 && row < root->ChildCount(); ++row)
        if (const CAlbDataItem* item = root->Child(row); item && item->IsDisc() && item->m_nDiscId == discId) return row;
    return -1;
}

bool CFileListView::OpenLibrary()
{
    if (!m_pEngine) {
        static CDllCom component; // the component stays loaded while any engine lives
        if (FAILED(component.CreateLibraryEngine(&m_pEngine))) m_pEngine = nullptr;
    }
    if (!m_pEngine) return false;
    m_hrOpen = m_pEngine->Initialize(0, 1, 0);
    if (FAILED(Checked(m_hrOpen))) {
        m_pEngine->Release();
        m_pEngine = nullptr;
        return false;
    }
    // Optional: without it searches and folders are read whole.
    if (FAILED(m_pEngine->QueryInterface(IID_ILibraryListings, reinterpret_cast<void**>(&m_pListings))))
        m_pListings = nullptr;
    if (FAILED(m_pEngine->QueryInterface(IID_ILibraryListedTypes, m_pListedTypes.PutVoid()))) m_pListedTypes.Reset();
    // What the first sort of a folder by name would make first (the check of
    // the language's ASCII name keys, tens of milliseconds), made now beside
    // the start so that the sort does not wait for it.
    if (m_pListings && !m_sortWarmUp.joinable())
        m_sortWarmUp = std::thread([] { ListSort::PrepareFor(CAlbListCtrl::FolderContents, 0); });
    return true;
}

bool CFileListView::SeedTags()
{
    LONG count = 0;
    return SUCCEEDED(Checked(LibrarySeed::EnsureTags(m_pEngine, &count)));
}

void CFileListView::SeedLabels() { LibrarySeed::EnsureDefaultLabels(m_pEngine, ProgramPaths::ProgramFolder()); }

bool CFileListView::ReadDiscs()
{
    LONG count = 0;
    if (!m_pEngine || FAILED(Checked(m_pEngine->GetDiscCount(&count))) || count < 0) return false;
    std::vector<DiscRecord> discs(static_cast<size_t>(count));
    if (count > 0 && FAILED(Checked(m_pEngine->GetDiscs(discs.data(), count)))) return false;
    m_discs = discs;
    m_discsCopy = std::move(discs);
    m_incomplete.Read(m_pEngine, m_discsCopy);
    return true;
}

QPixmap CFileListView::Thumbnail(int labelId) const
{
    QImage* bitmap = nullptr;
    if (FAILED(Checked(m_pEngine->GetLabelThumbnail(labelId, &bitmap))) || !bitmap) return {};
    std::unique_ptr<QImage> owned(bitmap);
    if (owned->width() > kThumbSide || owned->height() > kThumbSide) return {};
    // Centred, unscaled, on a square the size of every row picture.
    QImage square(kThumbSide, kThumbSide, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((kThumbSide - owned->width()) / 2, (kThumbSide - owned->height()) / 2, *owned);
    painter.end();
    return QPixmap::fromImage(square);
}

void CFileListView::BuildThumbs()
{
    m_discThumbs.clear();
    for (const DiscRecord& disc : m_discsCopy) {
        const QPixmap thumb = Thumbnail(disc.labelId);
        if (!thumb.isNull()) m_discThumbs.push_back(m_incomplete.Mark(disc.discId, thumb));
    }
}

CAlbDataItem* CFileListView::Root() const
{
    auto* document = static_cast<CAlbireoDoc*>(GetDocument());
    return document ? document->GetRootItem() : nullptr;
}

void CFileListView::ClearRows()
{
    CloseListing();
    m_nRowToSelect = -1;
    if (auto* document = static_cast<CAlbireoDoc*>(GetDocument())) document->ResetRoot();
    m_pList->ClearRowColors();
    m_pList->Model()->SetItemCount(0);
}

void CFileListView::ResetList(int mode)
{
    m_pList->SetMode(mode);
    ClearRows();
    if (m_pHost) m_pHost->ShowSearchLayout(mode == CAlbListCtrl::SearchResults);
}

// Flag 1 (a disc imported, the library repaired): the disc list, the
// search ended. Flag 0 (a disc deleted or changed here): the list shown
// is read again, sorted and selected as it was.
void CFileListView::Reload(WPARAM flag)
{
    if (!ReadDiscs()) return;
    BuildThumbs();
    if (flag == 1) {
        if (m_pHost && !m_pHost->SearchText().isEmpty()) m_pHost->SetSearchText(QString());
        ShowFilteredDiscs();
        if (m_pHost) m_pHost->RefreshTags();
    } else {
        ShowAgain();
    }
    if (GetDocument()) GetDocument()->UpdateAllViews(nullptr, CAlbireoDoc::kHintLibraryChanged);
    else OnUpdate(nullptr, CAlbireoDoc::kHintLibraryChanged, nullptr);
}

void CFileListView::AddDiscRow(const DiscRecord& disc, int image)
{
    if (CAlbDataItem* root = Root()) root->AddChild(DiscItem(disc, image));
}

std::unique_ptr<CAlbDataItem> CFileListView::DiscItem(const DiscRecord& disc, int image)
{
    const QString stored = Text(disc.dateText);
    auto item = std::make_unique<CAlbDataItem>(image, disc.discId, -1, Text(disc.name), Text(disc.tagNames),
                                               ListTexts::DiscTypeText(disc.mediaClass, disc.formatCode),
                                               ListTexts::DiscDateText(stored),
                                               CAlbDataItem::kContainer | CAlbDataItem::kDisc, disc.totalSize);
    item->m_nTime = ListTexts::DiscDateTime(stored);
    return item;
}

void CFileListView::ShowAllDiscs() { ShowDiscs({}); }

void CFileListView::ShowDiscs(const QStringList& tagFilter)
{
    m_nCurrentFolder = 0;
    m_history.Reset(BrowseHistory::Origin::DiscList);
    ResetList(CAlbListCtrl::DiscList);
    if (m_pHost) m_pHost->SetLocationText(QString());
    m_discs = m_discsCopy;
    // The names come from the tag records and each disc's whole id list: the
    // record's names text is cut after 259 characters.
    std::vector<TagRecord> tagRecords;
    if (!tagFilter.isEmpty() && m_pEngine) Checked(TagRecords::Read(m_pEngine, &tagRecords));
    for (size_t i = 0; i < m_discs.size(); ++i) {
        const QStringList tags =
            tagFilter.isEmpty()
                ? QStringList()
                : TagText::SplitNames(DiscTagList::Names(tagRecords, DiscTagList::Read(m_pEngine, m_discs[i]).text));
        const bool passes = std::all_of(tagFilter.begin(), tagFilter.end(), [&](const QString& wanted) {
            return wanted.isEmpty() || tags.contains(wanted, Qt::CaseSensitive);
        });
        if (passes) AddDiscRow(m_discs[i], int(i));
    }
    m_pList->SetImageList(&m_discThumbs, QSize(kThumbSide, kThumbSide));
    UpdateCommandButtons();
    OnUpdate(nullptr, CAlbireoDoc::kHintLibraryChanged, nullptr);
    if (GetDocument()) GetDocument()->UpdateAllViews(this, CAlbireoDoc::kHintLibraryChanged);
}

void CFileListView::ShowFilteredDiscs()
{
    if (m_pHost) m_pHost->ApplyTagFilter(); // the tag pane answers with ShowDiscs
    else ShowAllDiscs();
}

HRESULT CFileListView::Checked(HRESULT hr) const
{
    if (FAILED(hr) && m_pHost) m_pHost->OnEngineFailure(hr);
    return hr;
}

void CFileListView::SetViewStyle(int style)
{
    m_nPresentation = style;
    m_pList->SetPresentation(style);
}

CAlbListModel::Cell CFileListView::Display(int row, int column) const
{
    const CAlbDataItem* root = Root();
    const CAlbDataItem* item = root ? root->Child(row) : nullptr;
    if (!item) return {};
    const bool sized = item->IsFile() || item->IsDisc();
    switch (m_pList->GetMode()) {
    case CAlbListCtrl::DiscList:
        switch (column) {
        case 0: return {item->m_strName, item->m_nImage, m_incomplete.ReasonOf(item->m_nDiscId)};
        case 1: return {CategoryTags::displayTagList(item->m_strText2)};
        case 2: return {item->m_strText3};
        case 3: return {item->m_strText4};
        case 4: return {ListTexts::SizeText(item->m_nSize)};
        }
        break;
    case CAlbListCtrl::FolderContents:
        switch (column) {
        case 0: return {item->m_strName, item->m_nImage};
        case 1: return {item->IsFile() ? ListTexts::SizeText(item->m_nSize) : QString()};
        case 2: return {item->m_strText3};
        case 3: return {item->m_strText4};
        }
        break;
    default:
        switch (column) {
        case 1: return {item->m_strItemName, -1, item->IsDisc() ? QString() : item->m_strText2};
        case 2: return {item->m_strName, item->m_dwFlags ? item->m_nImage : -1};
        case 3: return {item->m_strText3};
        case 4: return {item->m_strText4};
        case 5: return {sized ? ListTexts::SizeText(item->m_nSize) : QString()};
        }
    }
    return {};
}

void CFileListView::OnInitialUpdate()
{
    m_pList->setFont(window()->font());
    m_pList->horizontalHeader()->setFont(window()->font());
}

void CFileListView::OnUpdate(CView*, LPARAM hint, QObject*)
{
    if (hint != CAlbireoDoc::kHintListChanged && hint != CAlbireoDoc::kHintLibraryChanged) return;
    const CAlbDataItem* root = Root();
    m_pList->Model()->SetItemCount(root ? root->ChildCount() : 0);
    ShowSortDirections();
    // A library without discs (the first start) says how to fill it.
    const bool noDiscs = m_pList->GetMode() == CAlbListCtrl::DiscList && m_discsCopy.empty();
    m_pList->SetEmptyText(noDiscs ? LoadString(IDS_HINT_EMPTY_LIBRARY) : QString());
}

bool CFileListView::event(QEvent* event)
{
    if (auto* message = WinMessageEvent::From(event)) {
        if (message->msg == kReloadMessage) Reload(message->wParam);
        else if (message->msg == WM_TAG_FILTER) ShowDiscs(*reinterpret_cast<const QStringList*>(message->lParam));
        else if (message->msg == WM_COMMAND) message->result = OnCommand(LOWORD(message->wParam));
        message->handled = true;
        return true;
    }
    return CView::event(event);
}

void CFileListView::focusInEvent(QFocusEvent*) { m_pList->setFocus(); }
