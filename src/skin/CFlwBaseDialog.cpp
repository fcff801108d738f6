#include "CFlwBaseDialog.h"

#include "CAlphaStatic.h"
#include "CGButton.h"
#include "CGStatic.h"
#include "Diagnostics.h"
#include "ResourceIds.h"
#include "SkinFont.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "StringResources.h"

#include <QPainter>

namespace {

constexpr int kCaptionButtonTop = 5;
constexpr int kCaptionButtonGap = 2;
const QRect kIconRect = RectLTRB(5, 5, 29, 29);

} // namespace

CFlwBaseDialog::CFlwBaseDialog(UINT templateId, QWidget* parent)
    : CFlwDialog(templateId, parent), m_strIconPath(QString::fromLatin1(kProductIcon))
{
}

BOOL CFlwBaseDialog::SetupSkin(const QString& caption, const QString& backgroundPath, int button1TextId,
                               UINT button1Command, int button2TextId, UINT button2Command)
{
    m_background = SkinImage::Load(backgroundPath);
    if (!m_background.isNull()) {
        setFixedSize(SkinPaint::Size(m_background));
        setMask(SkinPaint::RegionFromAlpha(m_background));
    }
    setWindowTitle(caption);
    CreateCaption(caption);
    std::vector<std::pair<int, UINT>> buttons;
    if (button1TextId || button1Command) buttons.emplace_back(button1TextId, button1Command);
    if (button2TextId || button2Command) buttons.emplace_back(button2TextId, button2Command);
    CreateBottomButtons(buttons);
    // Without its background the dialog still opens, unpainted where the
    // picture would be.
    if (m_background.isNull())
        DumpMsg("FlwBaseDialog", "background %s cannot be loaded", qUtf8Printable(backgroundPath));
    return TRUE;
}

void CFlwBaseDialog::CreateCaption(const QString& caption)
{
    m_pIcon = new CGStatic(this);
    m_pIcon->Create(QString(), WS_CHILD | WS_VISIBLE, kIconRect, this, 0);
    m_pIcon->SetPicture(m_strIconPath);
    m_pLogo = new CGStatic(this);
    m_pLogo->Create(QString(), WS_CHILD | WS_VISIBLE, QRect(), this, 0);
    if (m_pLogo->SetPicture(QString::fromLatin1(kProductLogo)))
        m_pLogo->setGeometry(QRect(QPoint(kIconRect.right() + 7, (kCaptionHeight - SkinPaint::Size(m_pLogo->Image()).height()) / 2),
                                   SkinPaint::Size(m_pLogo->Image())));

    m_pCaption = new CAlphaStatic(this);
    m_pCaption->Create(caption, WS_CHILD | WS_VISIBLE, QRect(0, 0, width(), kCaptionHeight), this, 0, Qt::white);
    m_pCaption->setAlignment(Qt::AlignCenter);
    m_pCaption->setFont(SkinFont::ShellDlg(13, true));
    m_pCaption->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_pClose = new CGButton(this);
    m_pClose->Create(QString::fromLatin1(kClosePicture), WS_CHILD | WS_VISIBLE, QRect(), this, kCloseCommand);
    m_pClose->move(width() - 5 - m_pClose->width(), kCaptionButtonTop);
    m_pMinimise = new CGButton(this);
    m_pMinimise->Create(QString::fromLatin1(kMinimisePicture), WS_CHILD | WS_VISIBLE, QRect(), this, kMinimiseCommand);
    m_pMinimise->move(m_pClose->x() - kCaptionButtonGap - m_pMinimise->width(), kCaptionButtonTop);
    m_pMinimise->SetTooltipId(kMinimiseTipId);
    // The caption buttons stay out of the Tab order (Escape cancels); the
    // close button is named for screen readers without showing a tooltip.
    m_pClose->setFocusPolicy(Qt::NoFocus);
    m_pMinimise->setFocusPolicy(Qt::NoFocus);
    m_pClose->setAccessibleName(LoadString(IDS_TIP_CLOSE));
}

int CFlwBaseDialog::DefaultButtonTextId(UINT command)
{
    if (command == IDOK) return IDS_BTN_OK;
    if (command == IDCANCEL) return IDS_BTN_CANCEL;
    return static_cast<int>(command);
}

void CFlwBaseDialog::CreateBottomButtons(const std::vector<std::pair<int, UINT>>& buttons)
{
    const int count = static_cast<int>(buttons.size());
    for (int i = 0; i < count; ++i) {
        const auto [textId, command] = buttons[static_cast<size_t>(i)];
        const int fromRight = count - 1 - i;
        auto* button = new CGButton(this);
        const QRect rect(BottomButtonLeft(width(), fromRight), height() - kButtonRise, kButtonWidth, kButtonHeight);
        button->Create(QString::fromLatin1(kButtonPicture), WS_CHILD | WS_VISIBLE, rect, this, command);
        button->setText(LoadString(static_cast<UINT>(textId > 0 ? textId : DefaultButtonTextId(command))));
        m_bottomButtons.push_back(button);
    }
    // Enter presses OK, else the leftmost button.
    CGButton* ok = BottomButton(IDOK);
    if (ok || !m_bottomButtons.empty()) SetDefaultButton(ok ? ok : m_bottomButtons.front());
}

CGButton* CFlwBaseDialog::CaptionButton(UINT command) const
{
    if (command == kCloseCommand) return m_pClose;
    return command == kMinimiseCommand ? m_pMinimise : nullptr;
}

CGButton* CFlwBaseDialog::BottomButton(UINT command) const
{
    for (CGButton* button : m_bottomButtons)
        if (static_cast<UINT>(GetDlgCtrlID(button)) == command) return button;
    return nullptr;
}

BOOL CFlwBaseDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kCloseCommand: OnCancel(); return TRUE;
    case kMinimiseCommand: showMinimized(); return TRUE;
    default: return CFlwDialog::OnCommand(wParam, lParam);
    }
}

void CFlwBaseDialog::paintEvent(QPaintEvent*)
{
    if (m_background.isNull()) return;
    QPainter painter(this);
    SkinPaint::ClipToShape(painter, *this);
    painter.drawImage(0, 0, m_background);
}
