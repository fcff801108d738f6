#include "CDiscInfoDlg.h"

#include "CAlphaEditEx.h"
#include "CAlphaStatic.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGStatic.h"
#include "CSnapshotDlg.h"
#include "CategoryTags.h"
#include "DiscTagList.h"
#include "DiscLabelFiles.h"
#include "DiscNameEdit.h"
#include "LibraryRecords.h"
#include "PrivateTempFolder.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "TagChoice.h"
#include "TagRecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <memory>

namespace {

const QColor kLabelColour(0x7A, 0x8B, 0xA1);
const QRect kLabelRect = RectLTRB(130, 218, 246, 334);
const QRect kTagsValueRect = RectLTRB(125, 364, 260, 384);
const char* const kEditPicture = "Image\\common\\edit\\input_bg_231.png";
// The tag value is shortened to its width less this margin.
constexpr int kTagsMargin = 6;

struct Row {
    UINT labelId;
    QRect labelRect;
    QRect valueRect;
};

QRect OneLine(const QRect& rect) { return QRect(rect.topLeft(), QSize(rect.width(), 20)); }

} // namespace

CDiscInfoDlg::CDiscInfoDlg(const QString& value1, const QString& value2, const QString& value3,
                           const QString& value4, LONG labelImageId, const QString& tagIds, bool alternateRowLabel,
                           int newDiscForm, ILibraryEngine* engine, QWidget* parent)
    : CFlwBaseDialog(kTemplateId, parent), m_strValues{value1, value2.trimmed(), value3.trimmed(), value4.trimmed()},
      m_nLabelImageId(labelImageId), m_strTagIds(tagIds), m_bAlternateRowLabel(alternateRowLabel),
      m_nNewDiscForm(newDiscForm), m_pEngine(engine)
{
    // The list's texts carry blanks at either end as padding; here every
    // value starts at its row's left edge.
}

CDiscInfoDlg::~CDiscInfoDlg() = default;

BOOL CDiscInfoDlg::OnInitDialog()
{
    const BOOL skinned = SetupSkin(LoadString(IDS_DISCINFO_CAPTION), QString::fromLatin1(kBackground),
                                   m_nNewDiscForm == 1 ? IDS_BTN_IMPORT : IDS_BTN_OK, IDOK, IDS_BTN_CANCEL, IDCANCEL);
    CreateRows();
    CreateLabelControls();

    std::vector<TagRecord> tags;
    if (m_pEngine && SUCCEEDED(TagRecords::Read(m_pEngine, &tags))) {
        m_strTagNames = DiscTagList::Names(tags, m_strTagIds);
        ShowTagNames();
    }
    QImage* label = nullptr;
    if (m_nLabelImageId > 0 && m_pEngine && SUCCEEDED(m_pEngine->GetLabelImage(m_nLabelImageId, &label)) && label) {
        const std::unique_ptr<QImage> owned(label);
        ShowLabel(*owned);
    }
    m_strTempFolder = PrivateTempFolder::Path();
    // The keyboard starts on Import (OK): Enter finishes the details, which
    // is what the dialog is there for; Tab still walks every control.
    if (CGButton* finish = DefaultButton()) finish->setFocus(Qt::TabFocusReason);
    return skinned;
}

void CDiscInfoDlg::CreateRows()
{
    const Row rows[] = {
        {IDS_LABEL_DISC_NAME, RectLTRB(40, 67, 180, 87), RectLTRB(155, 67, 340, 85)},
        {IDS_LABEL_TYPE, RectLTRB(40, 102, 160, 122), RectLTRB(155, 102, 340, 142)},
        {IDS_LABEL_SIZE, RectLTRB(40, 137, 180, 157), RectLTRB(175, 137, 340, 157)},
        {m_bAlternateRowLabel ? UINT(IDS_LABEL_DATE_ALTERNATE) : UINT(IDS_LABEL_DATE), RectLTRB(40, 172, 180, 212),
         RectLTRB(175, 172, 340, 192)},
    };
    for (int row = 0; row < 4; ++row) {
        auto* label = new CAlphaStatic(this);
        label->Create(LoadString(rows[row].labelId), WS_CHILD | WS_VISIBLE, OneLine(rows[row].labelRect), this, 0,
                      kLabelColour);
        if (row == 0) {
            CreateNameEdit(rows[row].valueRect);
            continue;
        }
        auto* value = new CAlphaStatic(this);
        // The type text may take two lines; the others are cut with an ellipsis.
        const bool twoLines = row == 1;
        const QRect valueRect = twoLines ? rows[row].valueRect : OneLine(rows[row].valueRect);
        const QString text = twoLines ? m_strValues[row]
                                      : QFontMetrics(value->font()).elidedText(m_strValues[row], Qt::ElideRight,
                                                                               valueRect.width());
        value->Create(text, WS_CHILD | WS_VISIBLE, valueRect, this, 0);
        value->setWordWrap(twoLines);
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (text != m_strValues[row]) value->SetTooltip(m_strValues[row]);
    }
    auto* labelTitle = new CAlphaStatic(this);
    labelTitle->Create(LoadString(IDS_LABEL_LABEL), WS_CHILD | WS_VISIBLE, OneLine(RectLTRB(40, 275, 120, 295)), this,
                       0, kLabelColour);
    auto* tagsTitle = new CAlphaStatic(this);
    tagsTitle->Create(LoadString(IDS_LABEL_TAGS), WS_CHILD | WS_VISIBLE, OneLine(RectLTRB(40, 364, 125, 384)), this,
                      0, kLabelColour);
}

// The name is typed over the value's place, a little taller than its text.
void CDiscInfoDlg::CreateNameEdit(const QRect& rect)
{
    m_pNameEdit = new CAlphaEditEx(this);
    m_pNameEdit->Create(QString::fromLatin1(kEditPicture), WS_CHILD | WS_VISIBLE,
                        QRect(rect.left() - 6, rect.top() - 4, rect.width() + 6, 26), this, kNameEditId);
    m_pNameEdit->SetLimitText(kLibraryTextLength - 1);
    m_pNameEdit->setText(m_strValues[0]);
    m_pNameEdit->setCursorPosition(0);
    m_pNameEdit->setAccessibleName(LoadString(IDS_LABEL_DISC_NAME));
    // A catalogued disc keeps its name where the library cannot rename.
    m_pNameEdit->setReadOnly(m_nNewDiscForm != 1 && !DiscNameEdit::Available(m_pEngine));
}

QString CDiscInfoDlg::Name() const { return m_pNameEdit ? m_pNameEdit->text().trimmed() : m_strValues[0]; }

void CDiscInfoDlg::OnOK()
{
    if (Name().isEmpty()) {
        CFlwMessageBox::showMessage(IDS_MSG_NAME_EMPTY, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, this);
        if (m_pNameEdit) m_pNameEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    CFlwBaseDialog::OnOK();
}

void CDiscInfoDlg::CreateLabelControls()
{
    m_pLabel = new CGStatic(this);
    m_pLabel->Create(QString(), WS_CHILD | WS_VISIBLE, kLabelRect, this, kLabelId);
    m_pLabel->SetPicture(QString::fromLatin1(kCoverPicture));
    m_pAddLabelButton = new CGButton(this);
    m_pAddLabelButton->Create(QString::fromLatin1(kAddLabelPicture), WS_CHILD | WS_VISIBLE,
                              RectLTRB(308, 238, 352, 262), this, kAddLabelButtonId);
    m_pAddLabelButton->SetTooltipId(IDS_TIP_ADD_LABEL);
    m_pTagsButton = new CGButton(this);
    m_pTagsButton->Create(QString::fromLatin1(kButtonPicture), WS_CHILD | WS_VISIBLE, RectLTRB(273, 364, 366, 383),
                          this, kTagsButtonId);
    m_pTagsButton->setText(LoadString(IDS_BTN_EDIT_TAGS));
    m_pTagsButton->SetTooltipId(IDS_TIP_EDIT_TAGS);
    m_pTagsValue = new CGStatic(this);
    m_pTagsValue->Create(QString(), WS_CHILD | WS_VISIBLE | SS_NOTIFY, kTagsValueRect, this, kTagsValueId);
    m_pTagsValue->SetNotify(true);
    m_pTagsValue->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

// The tag list as shown, cut to the field with an ellipsis; the tooltip
// holds all of it.
void CDiscInfoDlg::ShowTagNames()
{
    const QString shown = CategoryTags::displayTagList(m_strTagNames);
    const QFontMetrics metrics(m_pTagsValue->font());
    m_pTagsValue->SetText(metrics.elidedText(shown, Qt::ElideRight, m_pTagsValue->width() - kTagsMargin));
    m_pTagsValue->SetTooltip(shown);
}

void CDiscInfoDlg::ShowLabel(const QImage& picture)
{
    m_labelBitmap = picture.scaled(kLabelSize, kLabelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_pLabel->SetImage(m_labelBitmap);
}

BOOL CDiscInfoDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if ((id == kAddLabelButtonId || id == kTagsButtonId) && HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (id) {
    case kAddLabelButtonId: CaptureLabel(); return TRUE;
    case kTagsButtonId: EditTags(); return TRUE;
    case kCancelCommand: OnCancel(); return TRUE;
    default: return CFlwBaseDialog::OnCommand(wParam, lParam);
    }
}

void CDiscInfoDlg::EditTags()
{
    const TagChoice choice = TagChoice::Run(m_pEngine, m_strTagNames, this);
    // What happened in any run of the add-tag dialog counts: a tag deleted
    // in the first run must still be purged from the other discs when a
    // later run was cancelled.
    m_bTagsAdded = m_bTagsAdded || choice.tagAdded;
    m_bTagsDeleted = m_bTagsDeleted || choice.tagDeleted;
    // A deleted tag must leave the disc even when the dialog was cancelled.
    if (choice.result != IDOK && !choice.tagDeleted) return;
    m_strTagIds = choice.idsString;
    m_strTagNames = choice.namesString;
    ShowTagNames();
}

void CDiscInfoDlg::CaptureLabel()
{
    CSnapshotDlg snapshot(this, m_nLabelImageId, m_pEngine);
    if (!m_strLargeLabelPath.isEmpty()) snapshot.setSourcePicture(m_strLargeLabelPath);
    if (FAILED(snapshot.prepare()) || snapshot.DoModal() != IDOK) return;
    const QString result = snapshot.snapshotPath();
    if (result.isEmpty() || !QFile::exists(result)) return;
    const QImage picture(result);
    if (!picture.isNull() && WriteLabelFiles(picture, QFileInfo(result).completeBaseName())) ShowLabel(picture);
    QFile::remove(result);
}

// The three files are written beside their places first and put in place
// only when all three were written: a capture that fails leaves the files
// of the label shown until then as they were.
BOOL CDiscInfoDlg::WriteLabelFiles(const QImage& picture, const QString& baseName)
{
    m_strTempFolder = PrivateTempFolder::Path(); // made again if it was removed
    DiscLabelPaths paths;
    if (FAILED(DiscLabelFiles::Write(picture, m_strTempFolder, baseName, &paths))) {
        // The label taken before (if any) stays.
        CFlwMessageBox::showMessage(IDS_MSG_LABEL_NOT_SAVED, 0x30, CFlwMessageBox::kCaptionId, this,
                                    QString::fromLatin1(CFlwMessageBox::kWarningIcon));
        return FALSE;
    }
    m_strSmallLabelPath = paths.small;
    m_strMediumLabelPath = paths.medium;
    m_strLargeLabelPath = paths.large;
    return TRUE;
}

void CDiscInfoDlg::RemoveLabelFiles()
{
    for (QString* path : {&m_strSmallLabelPath, &m_strMediumLabelPath, &m_strLargeLabelPath}) {
        if (!path->isEmpty()) QFile::remove(*path);
        path->clear();
    }
}

void CDiscInfoDlg::OnCancel()
{
    RemoveLabelFiles();
    // Only an emptied folder goes: others may keep files of their own there.
    if (!m_strTempFolder.isEmpty()) QDir().rmdir(m_strTempFolder);
    CFlwBaseDialog::OnCancel();
}
