#include "CTagView.h"

#include "CFilterListCtrl.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGStatic.h"
#include "CategoryTags.h"
#include "LibrarySeed.h"
#include "ProgramPaths.h"
#include "ResourceIds.h"
#include "ShellFileIcon.h"
#include "SkinFont.h"
#include "StringResources.h"
#include "TagPaneMessages.h"
#include "TagRecords.h"

#include <QPainter>
#include <QScrollBar>

namespace {

constexpr UINT kWarningOkStyle = 0x30;
constexpr const char* kWarningIcon = "Image\\Dialogs\\MessageBox\\icon_warning.png";
constexpr const char* kAllPicture = "Image\\Albireo\\btn_tag_all.png";
constexpr int kListLeft = 10;
constexpr int kRightMargin = 7;
constexpr int kCategoryTop = 32;
constexpr int kSeparatorGap = 16; // the separator's height
constexpr int kTagListGap = 5;    // between the separator and the user tags
constexpr int kBottomMargin = 5;
const QColor kBackground(0xFF, 0xFF, 0xFF);
const QColor kDividerColour(209, 211, 213);
const QColor kTitleColour(0x1B, 0x2A, 0x3F);
const QColor kSeparatorColour(0xB8, 0xC4, 0xD2);

// The file types whose icons stand for the category tags, in key order.
std::vector<QIcon> CategoryIcons()
{
    std::vector<QIcon> icons;
    for (const char* name : {"x.MPG", "x.BMP", "x.WAV", "x.TXT"})
        icons.push_back(ShellFileIcon::ForName(QString::fromLatin1(name)));
    return icons;
}

} // namespace

CTagView::CTagView(QWidget* parent) : CView(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    CreateControls();
    populate();
    Layout();
}

CTagView::~CTagView()
{
    if (!m_pEngine) return;
    m_pEngine->Uninitialize();
    m_pEngine->Release();
}

void CTagView::CreateControls()
{
    m_pAllButton = new CGButton(this);
    m_pAllButton->Create(QString::fromLatin1(kAllPicture), WS_CHILD | WS_VISIBLE, RectLTRB(10, 5, 26, 21), this,
                         kAllButtonId);
    m_pAllButton->SetTooltipId(IDS_TAGS_TITLE);

    m_pTitle = new CGStatic(this);
    m_pTitle->Create(LoadString(IDS_TAGS_TITLE), WS_CHILD | WS_VISIBLE, RectLTRB(31, 5, 181, 21), this, 0,
                     kTitleColour);
    m_pTitle->setFont(SkinFont::ShellDlg(SkinFont::kDialogPixels, true));
    m_pTitle->SetSingleLine(true);

    m_pDivider = new CGStatic(this);
    m_pDivider->Create(QString(), WS_CHILD | WS_VISIBLE, RectLTRB(5, 26, 203, 27), this, 0);
    m_pDivider->SetFillColor(kDividerColour);

    m_pCategoryList = CreateList(QPoint(kListLeft, kCategoryTop));
    m_pCategoryList->SetIcons(CategoryIcons());
    m_pCategoryList->setAccessibleName(LoadString(IDS_TAGS_TITLE));

    m_pSeparator = new CGStatic(this);
    m_pSeparator->Create(QString::fromLatin1(kSeparatorText), WS_CHILD | WS_VISIBLE, RectLTRB(28, 112, 203, 128),
                         this, kSeparatorId, kSeparatorColour);
    m_pSeparator->SetSingleLine(true);

    m_pTagList = CreateList(QPoint(kListLeft, 133));
    m_pTagList->SetIcons({ShellFileIcon::ForName(QStringLiteral("x"))});
    m_pTagList->setAccessibleName(LoadString(IDS_TAGS_TITLE));
}

CFilterListCtrl* CTagView::CreateList(const QPoint& topLeft)
{
    auto* list = new CFilterListCtrl(this);
    list->Create(WS_CHILD | WS_VISIBLE, QRect(topLeft, QSize()), this, kListId);
    list->EnableCheckBoxes(true);
    return list;
}

void CTagView::Fail()
{
    CFlwMessageBox::showMessage(IDS_MSG_LIBRARY_FAILED, kWarningOkStyle, CFlwMessageBox::kCaptionId, this,
                                QString::fromLatin1(kWarningIcon));
}

HRESULT CTagView::Checked(HRESULT hr)
{
    if (FAILED(hr)) emit engineFailed(hr);
    return hr;
}

HRESULT CTagView::OpenEngine()
{
    if (m_pEngine) return S_OK;
    HRESULT hr = m_loader.CreateLibraryEngine(&m_pEngine);
    if (FAILED(hr)) {
        m_pEngine = nullptr;
        return hr;
    }
    if (FAILED(hr = Checked(m_pEngine->Initialize(0, 1, 0)))) {
        m_pEngine->Release();
        m_pEngine = nullptr;
    }
    return hr;
}

bool CTagView::populate()
{
    m_pCategoryList->DeleteAllItems();
    m_pTagList->DeleteAllItems();
    LONG count = 0;
    if (FAILED(OpenEngine()) || FAILED(Checked(LibrarySeed::EnsureTags(m_pEngine, &count)))) {
        Fail();
        Layout();
        return false;
    }
    LibrarySeed::EnsureDefaultLabels(m_pEngine, ProgramPaths::ProgramFolder());
    std::vector<TagRecord> records;
    if (SUCCEEDED(Checked(TagRecords::Read(m_pEngine, &records)))) FillLists(records);
    Layout();
    return true;
}

// Rows 0 to 3 of the engine's list go to the category list under their
// display names, the rest to the user list under their stored names.
void CTagView::FillLists(const std::vector<TagRecord>& records)
{
    m_pCategoryList->DeleteAllItems();
    m_pTagList->DeleteAllItems();
    for (size_t i = 0; i < records.size(); ++i) {
        const int position = static_cast<int>(i);
        const QString name = TagRecords::Name(records[i]);
        if (position < CategoryTags::kCount)
            m_pCategoryList->InsertRow(position, position, CategoryTags::DisplayName(name), records[i].id);
        else
            m_pTagList->InsertRow(position - CategoryTags::kCount, 0, name, records[i].id);
    }
}

HRESULT CTagView::reloadTags()
{
    if (!m_pEngine) return E_POINTER;
    LONG count = 0;
    HRESULT hr = Checked(m_pEngine->GetTagCount(&count));
    if (FAILED(hr)) return hr;
    if (count <= 0) return E_FAIL;
    std::vector<TagRecord> records;
    if (FAILED(hr = Checked(TagRecords::Read(m_pEngine, &records)))) return hr;
    // The file list reports every change of the disc list, most of them
    // without a change of tags: then the rows (and where the list was
    // scrolled to) stay as they are.
    if (ListsShow(records)) return S_OK;
    const int scrolled = m_pTagList->verticalScrollBar()->value();
    FillLists(records);
    TickSelected();
    Layout();
    m_pTagList->verticalScrollBar()->setValue(scrolled);
    return S_OK;
}

// Whether the lists show exactly these records (the same ids, in order).
bool CTagView::ListsShow(const std::vector<TagRecord>& records) const
{
    const int categories = m_pCategoryList->GetItemCount(), tags = m_pTagList->GetItemCount();
    if (static_cast<size_t>(categories + tags) != records.size()) return false;
    for (int i = 0; i < categories + tags; ++i) {
        const CFilterListCtrl* list = i < categories ? m_pCategoryList : m_pTagList;
        const int row = i < categories ? i : i - categories;
        const TagRecord& record = records[static_cast<size_t>(i)];
        if (list->GetItemData(row) != record.id) return false;
        if (i >= categories && list->GetItemText(row) != TagRecords::Name(record)) return false;
    }
    return true;
}

// Ticks the rows whose stored names are in the selection (category rows
// are compared by their keys).
void CTagView::TickSelected()
{
    for (int row = 0; row < m_pCategoryList->GetItemCount(); ++row) {
        QString key = m_pCategoryList->GetItemText(row);
        CategoryTags::categoryKey(key, &key);
        if (m_selection.contains(key)) m_pCategoryList->SetTicked(row, true);
    }
    for (int row = 0; row < m_pTagList->GetItemCount(); ++row)
        if (m_selection.contains(m_pTagList->GetItemText(row))) m_pTagList->SetTicked(row, true);
}

void CTagView::applyFilter()
{
    m_selection.clear();
    for (int row = 0; row < m_pCategoryList->GetItemCount(); ++row) {
        if (!m_pCategoryList->IsTicked(row)) continue;
        QString key = m_pCategoryList->GetItemText(row);
        CategoryTags::categoryKey(key, &key);
        m_selection << key;
    }
    for (int row = 0; row < m_pTagList->GetItemCount(); ++row)
        if (m_pTagList->IsTicked(row)) m_selection << m_pTagList->GetItemText(row);
    SendFilter(m_selection);
}

void CTagView::clearFilter()
{
    for (CFilterListCtrl* list : {m_pCategoryList, m_pTagList})
        for (int row = 0; row < list->GetItemCount(); ++row) list->SetTicked(row, false);
    m_selection.clear();
}

void CTagView::SendFilter(const QStringList& filter)
{
    if (m_pFileList) SendMessage(m_pFileList, WM_TAG_FILTER, 0, reinterpret_cast<LPARAM>(&filter));
}

void CTagView::OnUpdate(CView* sender, LPARAM hint, QObject*)
{
    if (sender != this && hint == kLibraryChangedHint) reloadTags();
}

bool CTagView::event(QEvent* event)
{
    if (auto* message = WinMessageEvent::From(event)) {
        message->result = WindowProc(message->msg, message->wParam, message->lParam);
        message->handled = true;
        return true;
    }
    return CView::event(event);
}

LRESULT CTagView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case CFilterListCtrl::kToggledMessage:
    case WM_TAG_APPLY_FILTER:
        applyFilter();
        return 0;
    case WM_TAG_CLEAR_FILTER:
        clearFilter();
        return 0;
    case WM_TAG_RELOAD:
        return reloadTags();
    case WM_COMMAND:
        if (LOWORD(wParam) == kAllButtonId && HIWORD(wParam) == BN_CLICKED) {
            SendFilter({});
            clearFilter();
        }
        return 0;
    default:
        return 0;
    }
}

// The separator and the user tags follow the category rows; the user tags
// take the rest of the pane's height and scroll beyond it.
void CTagView::Layout()
{
    const int listWidth = std::max(width() - kListLeft - kRightMargin, 0);
    m_pDivider->setGeometry(RectLTRB(5, 26, std::max(width() - kRightMargin, 5), 27));
    m_pCategoryList->Place(QPoint(kListLeft, kCategoryTop), listWidth);
    const int separatorTop = kCategoryTop + m_pCategoryList->height();
    // The separator sets the user tags off the categories: no user tags, no separator.
    m_pSeparator->setVisible(m_pTagList->GetItemCount() > 0);
    m_pSeparator->setGeometry(QRect(28, separatorTop, std::max(width() - 28 - kRightMargin, 0), kSeparatorGap));
    const int tagTop = separatorTop + kSeparatorGap + kTagListGap;
    m_pTagList->SetHeightLimit(std::max(height() - tagTop - kBottomMargin, m_pTagList->RowHeight()));
    m_pTagList->Place(QPoint(kListLeft, tagTop), listWidth);
}

void CTagView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CTagView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
}
