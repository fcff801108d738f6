#include "CAddTagDlg.h"

#include "CAlphaEditEx.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGScrollCheckBox.h"
#include "CGStatic.h"
#include "CategoryTags.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "TagRecords.h"
#include "TagText.h"

#include <QKeyEvent>

namespace {

constexpr UINT kMessageStyleOk = 0x00;
constexpr UINT kMessageStyleYesNo = 0x04;
constexpr const char* kWarningIcon = "Image\\Dialogs\\MessageBox\\icon_warning.png";
constexpr const char* kBackground = "Image\\Albireo\\bg_addtag.png";
constexpr const char* kEditPicture = "Image\\common\\edit\\input_bg_231.png";
constexpr const char* kAddPicture = "Image\\Albireo\\btn_add_tag.png";
constexpr const char* kDeletePicture = "Image\\Albireo\\btn_delete_tag.png";
constexpr const char* kDividerPicture = "Image\\Albireo\\divider.png";

QString Picture(const char* path) { return QString::fromLatin1(path); }

} // namespace

const QString CAddTagDlg::kRefusedTyped = QStringLiteral(",;&'\uFF0C\uFF1B\uFF06\uFF07\uFF40");
const QString CAddTagDlg::kRefusedInName = QStringLiteral(",;&'");

CAddTagDlg::CAddTagDlg(ILibraryEngine* engine, QWidget* parent) : CFlwBaseDialog(IDD, parent), m_pEngine(engine) {}

CAddTagDlg::~CAddTagDlg() = default;

bool CAddTagDlg::isModified() const { return m_bTagDeleted || m_bTagAdded || m_strNames != m_strInitialNames; }

BOOL CAddTagDlg::OnInitDialog()
{
    const BOOL skinned = SetupSkin(LoadString(IDS_ADDTAG_CAPTION), Picture(kBackground), IDS_BTN_OK, IDOK);
    CreateControls();
    if (m_pEngine && SUCCEEDED(TagRecords::Read(m_pEngine, &m_records)))
        m_nTagCount = static_cast<LONG>(m_records.size());
    FillRows();
    m_strInitialNames = m_strNames;
    TickNames(TagText::SplitNames(m_strNames));
    m_pTranslations = std::make_unique<TagTranslationTable>();
    return skinned;
}

void CAddTagDlg::CreateControls()
{
    m_pNameEdit = new CAlphaEditEx(this);
    m_pNameEdit->Create(Picture(kEditPicture), WS_CHILD | WS_VISIBLE, RectLTRB(18, 290, 249, 314), this, kNameEditId);
    m_pNameEdit->SetLimitText(kNameLimit);
    m_pNameEdit->SetForbiddenChars(kRefusedTyped, LoadString(IDS_MSG_TAG_CHARACTERS));

    m_pAddButton = new CGButton(this);
    m_pAddButton->Create(Picture(kAddPicture), WS_CHILD | WS_VISIBLE, RectLTRB(259, 290, 303, 314), this, kAddButtonId);
    m_pAddButton->SetTooltip(LoadString(IDS_TIP_ADD_TAG));

    m_pDivider = new CGStatic(this);
    m_pDivider->Create(QString(), WS_CHILD | WS_VISIBLE, RectLTRB(18, 275, 275, 277), this, 0);
    m_pDivider->SetPicture(Picture(kDividerPicture));

    m_pTagList = new CGScrollCheckBox(this);
    m_pTagList->Create(WS_CHILD | WS_VISIBLE, RectLTRB(18, 40, 297, 270), this, kTagListId);
    m_pTagList->SetScrollBarPictures(QStringLiteral("Image\\Common\\scrollbar\\up.png"),
                                     QStringLiteral("Image\\Common\\scrollbar\\down.png"),
                                     QStringLiteral("Image\\Common\\scrollbar\\thumb_v.png"),
                                     QStringLiteral("Image\\Common\\scrollbar\\bg_v_120.png"));
    m_pTagList->SetDeletePicture(Picture(kDeletePicture), LoadString(IDS_TIP_DELETE_TAG));
    m_pTagList->EnableDivider(true, Picture(kDividerPicture));
}

// One row per record: category tags under their display names without a
// delete button, user tags under their stored names with one. All unticked.
void CAddTagDlg::FillRows()
{
    m_pTagList->ResetContent();
    for (size_t i = 0; i < m_records.size(); ++i) {
        const bool category = i < CategoryTags::kCount;
        const QString name = TagRecords::Name(m_records[i]);
        m_pTagList->AddRow(category ? CategoryTags::DisplayName(name) : name, !category);
    }
}

void CAddTagDlg::TickNames(const QStringList& names)
{
    for (size_t i = 0; i < m_records.size(); ++i)
        if (names.contains(TagRecords::Name(m_records[i]))) m_pTagList->SetCheck(static_cast<int>(i), true);
}

// Stored names of the ticked rows: category rows give their key.
QStringList CAddTagDlg::TickedNames() const
{
    QStringList names;
    for (int row = 0; row < m_pTagList->GetRowCount(); ++row) {
        if (!m_pTagList->GetCheck(row)) continue;
        QString name = m_pTagList->GetRowText(row);
        if (row < CategoryTags::kCount) CategoryTags::categoryKey(name, &name);
        names << name;
    }
    return names;
}

BOOL CAddTagDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (id == kAddButtonId && code == BN_CLICKED) {
        AddTypedTag();
        return TRUE;
    }
    if (id == kNameEditId && code == EN_MAXTEXT) {
        Warn(IDS_MSG_TAG_TOO_LONG);
        return TRUE;
    }
    if (id == kOkCommand) {
        OnOK();
        return TRUE;
    }
    if (id == kCancelCommand) {
        OnCancel();
        return TRUE;
    }
    return CFlwBaseDialog::OnCommand(wParam, lParam);
}

LRESULT CAddTagDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CGScrollCheckBox::kDeleteMessage) return DeleteTag(static_cast<int>(wParam));
    return CFlwBaseDialog::WindowProc(message, wParam, lParam);
}

// Enter in the name field adds the typed tag, as the add button does; the
// dialog stays open for more. Elsewhere Enter finishes the dialog.
void CAddTagDlg::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_pNameEdit && m_pNameEdit->hasFocus() && m_pAddButton) {
        m_pAddButton->Click();
        return;
    }
    CFlwBaseDialog::keyPressEvent(event);
}

void CAddTagDlg::Warn(UINT textId)
{
    CFlwMessageBox::showMessage(textId, kMessageStyleOk, CFlwMessageBox::kCaptionId, this, Picture(kWarningIcon));
}

bool CAddTagDlg::AcceptName(const QString& text)
{
    for (QChar refused : kRefusedInName) {
        if (!text.contains(refused)) continue;
        Warn(IDS_MSG_TAG_CHARACTERS);
        return false;
    }
    if (text.trimmed().isEmpty()) {
        m_pNameEdit->clear();
        Warn(IDS_MSG_TAG_BLANK);
        return false;
    }
    const QString lower = text.toLower();
    if (m_pTranslations && m_pTranslations->isBuiltInName(lower)) {
        bool current = false;
        for (int row = 0; row < std::min(m_pTagList->GetRowCount(), CategoryTags::kCount); ++row)
            current = current || lower.compare(m_pTagList->GetRowText(row), Qt::CaseInsensitive) == 0;
        Warn(current ? IDS_MSG_TAG_EXISTS : IDS_MSG_TAG_RESERVED);
        m_pNameEdit->clear();
        return false;
    }
    return true;
}

void CAddTagDlg::AddTypedTag()
{
    const QString text = m_pNameEdit->text();
    if (text.isEmpty() || !m_pTranslations || !AcceptName(text) || m_nTagCount <= 0) return;
    const QStringList ticked = TickedNames();
    if (FAILED(StoreNewTag(text)) || FAILED(TagRecords::Read(m_pEngine, &m_records))) {
        m_pNameEdit->clear();
        return;
    }
    m_nTagCount = static_cast<LONG>(m_records.size());
    FillRows();
    m_bTagAdded = true;
    TickNames(ticked);
    for (size_t i = CategoryTags::kCount; i < m_records.size(); ++i)
        if (TagRecords::Name(m_records[i]).compare(text, Qt::CaseInsensitive) == 0)
            m_pTagList->SetCheck(static_cast<int>(i), true);
    m_pNameEdit->clear();
}

// Creates the tag, or shows it again when it exists hidden. A visible tag
// of that name (ignoring case) is refused with message 3270.
HRESULT CAddTagDlg::StoreNewTag(const QString& text)
{
    if (!m_pEngine) return E_POINTER;
    const QString lower = text.toLower();
    LONG id = 0, visible = 0;
    const HRESULT found = m_pEngine->FindTag(&id, &visible, TagRecords::Utf16(lower));
    if (FAILED(found)) return found;
    if (id > 0 && visible) {
        Warn(IDS_MSG_TAG_EXISTS);
        return E_FAIL;
    }
    if (id > 0) return m_pEngine->SetTagVisible(TagRecords::Utf16(lower), 1);
    return m_pEngine->AddTag(TagRecords::Utf16(text), nullptr);
}

HRESULT CAddTagDlg::DeleteTag(int row)
{
    if (CFlwMessageBox::showMessage(IDS_MSG_DELETE_TAG, kMessageStyleYesNo, CFlwMessageBox::kCaptionId, this,
                                    Picture(kWarningIcon)) != IDYES)
        return S_FALSE;
    if (!m_pEngine || m_records.empty()) return E_POINTER;
    if (row < CategoryTags::kCount || m_nTagCount < 1 || row >= m_nTagCount) return E_INVALIDARG;
    const QString lower = TagRecords::Name(m_records[static_cast<size_t>(row)]).toLower();
    HRESULT hr = m_pEngine->SetTagVisible(TagRecords::Utf16(lower), 0);
    if (FAILED(hr) || FAILED(hr = m_pEngine->GetTagCount(&m_nTagCount))) return hr;
    m_pTagList->DeleteRow(row);
    if (m_nTagCount > 0 && FAILED(hr = TagRecords::Read(m_pEngine, &m_records))) return hr;
    m_bTagDeleted = true;
    return S_OK;
}

void CAddTagDlg::CollectResult()
{
    QList<int> ids;
    QStringList names;
    const int rows = std::min(m_pTagList->GetRowCount(), static_cast<int>(m_records.size()));
    for (int row = 0; row < rows; ++row) {
        if (!m_pTagList->GetCheck(row)) continue;
        ids << m_records[static_cast<size_t>(row)].id;
        names << TagRecords::Name(m_records[static_cast<size_t>(row)]);
    }
    m_strIds = TagText::JoinIds(ids);
    m_strNames = TagText::JoinNames(names);
}

void CAddTagDlg::OnOK()
{
    CollectResult();
    CFlwBaseDialog::OnOK();
}

void CAddTagDlg::OnCancel()
{
    if (m_bTagDeleted) CollectResult();
    CFlwBaseDialog::OnCancel();
}
