#include "CFlwMessageBox.h"

#include "CAlphaStatic.h"
#include "CFlwBaseDialog.h"
#include "CGButton.h"
#include "SkinAccessible.h"
#include "SkinFont.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "StringResources.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr UINT kOk = IDS_BTN_OK, kCancel = IDS_BTN_CANCEL, kYes = IDS_BTN_YES, kNo = IDS_BTN_NO, kRetry = IDS_BTN_RETRY,
               kIgnore = IDS_BTN_IGNORE, kAbort = IDS_BTN_ABORT;
constexpr UINT kCloseTipId = IDS_TIP_CLOSE;
constexpr int kTextLeft = 100;
constexpr int kTextTop = 60;
constexpr int kIconLeft = 34;
constexpr int kTitleTop = 4;
constexpr int kTitleHeight = 20;
constexpr int kLinesBudget = 76;

const char* const kParts[3][3] = {
    {"Image\\Dialogs\\MessageBox\\bg_message_left_top.png", "Image\\Dialogs\\MessageBox\\bg_message_mid_top.png",
     "Image\\Dialogs\\MessageBox\\bg_message_right_top.png"},
    {"Image\\Dialogs\\MessageBox\\bg_message_left_mid.png", "Image\\Dialogs\\MessageBox\\bg_message_mid_mid.png",
     "Image\\Dialogs\\MessageBox\\bg_message_right_mid.png"},
    {"Image\\Dialogs\\MessageBox\\bg_message_left_bot.png", "Image\\Dialogs\\MessageBox\\bg_message_mid_bot.png",
     "Image\\Dialogs\\MessageBox\\bg_message_right_bot.png"},
};

} // namespace

std::vector<UINT> CFlwMessageBox::ButtonCommands(UINT style)
{
    switch (style & 0x0F) {
    case 0: return {kOk};
    case 1: return {kCancel, kOk};
    case 2: return {kIgnore, kRetry, kAbort};
    case 3: return {kCancel, kNo, kYes};
    case 4: return {kNo, kYes};
    case 5: return {kCancel, kRetry};
    default: return style & 0x70 ? std::vector<UINT>{kOk} : std::vector<UINT>{};
    }
}

UINT CFlwMessageBox::DefaultCommand(UINT style)
{
    const std::vector<UINT> commands = ButtonCommands(style);
    if (commands.empty()) return 0;
    // The commands stand right to left; the style counts from the left.
    const size_t fromLeft = (style >> 8) & 0x0F;
    return fromLeft < commands.size() ? commands[commands.size() - 1 - fromLeft] : commands.back();
}

int CFlwMessageBox::ResultOfCommand(UINT command)
{
    switch (command) {
    case kOk: return IDOK;
    case kCancel:
    case IDCANCEL: return IDCANCEL;
    case kYes: return IDYES;
    case kNo: return IDNO;
    case kRetry: return IDRETRY;
    case kIgnore: return IDIGNORE;
    case kAbort: return IDABORT;
    default: return 0;
    }
}

QString CFlwMessageBox::IconFor(UINT style, const QString& callerIcon)
{
    const UINT set = style & 0x0F, kind = style & 0xF0;
    const auto icon = [](const char* path) { return QString::fromLatin1(path); };
    // An information (a success, a finding) wears the information icon, never a warning's.
    if (set > 5) return kind == 0x40 ? icon(kInformationIcon) : callerIcon;
    switch (kind) {
    case 0x40: return icon(kInformationIcon);
    case 0x10: return icon(kErrorIcon);
    case 0x20: return icon(kQuestionIcon);
    // With the sets beyond OK/Cancel the warning kind shows the exclamation.
    case 0x30: return icon(set <= 1 ? kWarningIcon : kExclamationIcon);
    default:
        if (set <= 1) return icon(kWarningIcon);
        if (set == 3 || set == 4) return icon(kQuestionIcon);
        return QString();
    }
}

QFont CFlwMessageBox::TextFont() { return SkinFont::ShellDlg(); }

CFlwMessageBox::Layout CFlwMessageBox::Measure(const QString& text, const QFont& font)
{
    const QFontMetrics metrics(font);
    const QRect start = RectLTRB(kTextLeft, kTextTop, 418, 160);
    const QRect single = metrics.boundingRect(start, Qt::TextSingleLine | Qt::TextExpandTabs, text);
    const int lines = std::max(1, kLinesBudget / std::max(single.height(), 1));
    const int width = std::clamp(single.width() / lines, kMinTextWidth, kMaxTextWidth);
    const QRect wrapped = metrics.boundingRect(QRect(kTextLeft, kTextTop, width, 100000),
                                               Qt::TextWordWrap | Qt::TextExpandTabs, text);
    Layout layout;
    layout.textWidth = wrapped.width();
    layout.box = QSize(std::max(wrapped.width() + 150, kMinWidth),
                       std::clamp(wrapped.height() + 120, kMinHeight, kMaxHeight));
    layout.text = QRect(kTextLeft, kTextTop, layout.box.width() - 150, layout.box.height() - 120);
    return layout;
}

int CFlwMessageBox::showMessage(UINT textId, UINT style, UINT captionId, QWidget* parent, const QString& iconPath)
{
    CFlwMessageBox box(LoadString(textId), textId, style, captionId, parent, iconPath);
    return box.DoModal();
}

int CFlwMessageBox::showMessage(const QString& text, UINT style, UINT captionId, QWidget* parent,
                                const QString& iconPath)
{
    CFlwMessageBox box(text, 0, style, captionId, parent, iconPath);
    return box.DoModal();
}

CFlwMessageBox::CFlwMessageBox(const QString& text, UINT textId, UINT style, UINT captionId, QWidget* parent,
                               const QString& iconPath)
    : CFlwDialog(0, parent), m_strText(text), m_nTextId(textId), m_nStyle(style), m_nCaptionId(captionId),
      m_strCaption(LoadString(captionId)), m_strIconPath(IconFor(style, iconPath))
{
    setObjectName(QString::fromLatin1(kWindowClass));
    setWindowTitle(m_strCaption);
    setAccessibleDescription(m_strText);
}

BOOL CFlwMessageBox::OnInitDialog()
{
    const std::vector<UINT> commands = ButtonCommands(m_nStyle);
    if (commands.empty()) return FALSE;
    m_layout = Measure(m_strText, TextFont());
    setFixedSize(m_layout.box);
    ComposeBackground();
    m_icon = SkinImage::Load(m_strIconPath);

    m_pTitle = new CAlphaStatic(this);
    m_pTitle->Create(m_strCaption, WS_CHILD | WS_VISIBLE, QRect(0, kTitleTop, width(), kTitleHeight), this, 0,
                     Qt::white);
    m_pTitle->setAlignment(Qt::AlignCenter);
    m_pTitle->setFont(SkinFont::ShellDlg(12, true));

    // A short text stands centred beside the icon; a long one starts at the top.
    QRect textRect = m_layout.text;
    const int textHeight = QFontMetrics(TextFont())
                               .boundingRect(QRect(0, 0, textRect.width(), 100000), Qt::TextWordWrap, m_strText)
                               .height();
    if (textHeight < textRect.height()) textRect.setTop(textRect.top() + (textRect.height() - textHeight) / 2);
    textRect.setHeight(std::min(textHeight, m_layout.text.height()));
    m_pText = new CAlphaStatic(this);
    m_pText->Create(m_strText, WS_CHILD | WS_VISIBLE, textRect, this, 0);
    m_pText->setFont(TextFont());
    m_pText->setWordWrap(true);
    m_pText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_pClose = new CGButton(this);
    m_pClose->Create(QString::fromLatin1(CFlwBaseDialog::kClosePicture), WS_CHILD | WS_VISIBLE, QRect(), this, IDCANCEL);
    m_pClose->move(width() - 4 - m_pClose->width(), 2);
    m_pClose->SetTooltipId(kCloseTipId);
    m_pClose->setFocusPolicy(Qt::NoFocus); // Escape stands for it
    CreateButtons(commands);
    return TRUE;
}

void CFlwMessageBox::CreateButtons(const std::vector<UINT>& commands)
{
    for (size_t i = 0; i < commands.size(); ++i) {
        auto* button = new CGButton(this);
        const QRect rect(CFlwBaseDialog::BottomButtonLeft(width(), static_cast<int>(i)),
                         height() - CFlwBaseDialog::kButtonRise, CFlwBaseDialog::kButtonWidth,
                         CFlwBaseDialog::kButtonHeight);
        button->Create(QString::fromLatin1(CFlwBaseDialog::kButtonPicture), WS_CHILD | WS_VISIBLE, rect, this,
                       commands[i]);
        button->setText(LoadString(commands[i]));
        m_buttons.push_back(button);
        if (commands[i] == DefaultCommand(m_nStyle)) {
            SetDefaultButton(button);
            button->setFocus(Qt::OtherFocusReason);
        }
    }
}

void CFlwMessageBox::ComposeBackground()
{
    QImage parts[3][3];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            parts[row][column] = SkinImage::Load(QString::fromLatin1(kParts[row][column]));
    const int left = SkinPaint::Size(parts[1][0]).width(), right = SkinPaint::Size(parts[1][2]).width();
    const int top = SkinPaint::Size(parts[0][1]).height(), bottom = SkinPaint::Size(parts[2][1]).height();
    const int xs[3] = {0, left, width() - right};
    const int ws[3] = {left, width() - left - right, right};
    const int ys[3] = {0, top, height() - bottom};
    const int hs[3] = {top, height() - top - bottom, bottom};
    // Composed as dense as its parts, so that a dense screen shows it crisp.
    const qreal ratio = parts[1][1].isNull() ? 1.0 : parts[1][1].devicePixelRatio();
    m_background = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    m_background.setDevicePixelRatio(ratio);
    m_background.fill(Qt::transparent);
    QPainter painter(&m_background);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            if (!parts[row][column].isNull())
                painter.drawImage(QRect(xs[column], ys[row], ws[column], hs[row]), parts[row][column]);
    painter.end();
    setMask(SkinPaint::RegionFromAlpha(m_background));
}

BOOL CFlwMessageBox::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int result = ResultOfCommand(LOWORD(wParam));
    if (result == IDOK || result == IDCANCEL) return CFlwDialog::OnCommand(result, lParam);
    if (result == 0) return FALSE;
    EndDialog(result);
    return TRUE;
}

ModalRecord CFlwMessageBox::DescribeRun() const
{
    ModalRecord record;
    record.kind = QStringLiteral("MessageBox");
    record.textId = m_nTextId;
    record.text = m_strText;
    record.style = m_nStyle;
    record.captionId = m_nCaptionId;
    record.caption = m_strCaption;
    record.iconPath = m_strIconPath;
    return record;
}

void CFlwMessageBox::showEvent(QShowEvent* event)
{
    CFlwDialog::showEvent(event);
    SkinAccessible::Announce(this);
}

void CFlwMessageBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    SkinPaint::ClipToShape(painter, *this);
    painter.drawImage(0, 0, m_background);
    if (m_icon.isNull()) return;
    const int iconTop = m_pText->y() + (m_pText->height() - SkinPaint::Size(m_icon).height()) / 2;
    painter.drawImage(kIconLeft, std::max(iconTop, kTextTop), m_icon);
}
