#include "CAlbCommandView.h"

#include "CGButton.h"
#include "CommandKeys.h"
#include "ResourceIds.h"
#include "SkinAccessible.h"
#include "StringResources.h"
#include "UiScale.h"
#include "WinControls.h"
#include "WinMessage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <QPainter>
#include <QShortcut>

namespace {

// Where a command's button goes: its index in the button array, its left
// edge (0: the running left edge) and the smallest command count that creates it.
struct Placement {
    UINT command;
    int button;
    int left;
    UINT minimumCount;
    bool visible;
};
constexpr int kLabelGap = 6;
constexpr Placement kPlacements[] = {
    {3101, 0, 0, 1, true},
    {3100, 1, 217, 2, true},
    {3104, 2, 845, 3, true},
    {3105, 3, 845, 4, false},
};

const Placement* PlacementOf(UINT command)
{
    for (const Placement& placement : kPlacements)
        if (placement.command == command) return &placement;
    return nullptr;
}

} // namespace

CAlbCommandView::CAlbCommandView(QWidget* parent) : CView(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus); // a click here does not make the bar the active pane
    setAccessibleName(LoadString(IDS_NAME_COMMAND_BAR));
}

CAlbCommandView::~CAlbCommandView() { DestroyButtons(); }

UINT CAlbCommandView::PictureIdOf(UINT command, double uiScale)
{
    const bool large = uiScale >= 1.5;
    switch (command) {
    case 3100: return large ? 3201 : 3200;
    case 3101: return large ? 3203 : 3202;
    case 3102: return large ? 3205 : 3204;
    case 3103: return large ? 3207 : 3206;
    case 3104: return large ? 3209 : 3208;
    case 3105: return large ? 3211 : 3210;
    case 3106: return large ? 3213 : 3212;
    case 642: return large ? 636 : 630;
    default: return large ? 633 : 627;
    }
}

void CAlbCommandView::DestroyButtons()
{
    for (CGButton* button : m_pButtons) delete button;
    m_pButtons.clear();
    m_nButtons = 0;
}

int CAlbCommandView::SetCommands(const UINT* ids, UINT count)
{
    DestroyButtons();
    m_nButtons = count;
    if (count == 0) return 0;
    m_pButtons.assign(count, nullptr);
    const double scale = GetUiScale();
    const int side = int(kButtonSide * scale);
    int left = 8;
    for (UINT i = 0; i < count; ++i) {
        if (ids[i] == 0) continue;
        const Placement* placement = PlacementOf(ids[i]);
        if (!placement || count < placement->minimumCount) continue;
        if (placement->left) left = placement->left;
        auto* button = new CGButton(this);
        const DWORD style = placement->visible ? WS_VISIBLE : 0;
        button->Create(LoadString(PictureIdOf(ids[i], scale)), style, QRect(left, kButtonTop, side, side), this,
                       ids[i]);
        button->SetTooltip(CommandKeys::TooltipOf(ids[i]));
        button->setAccessibleName(LoadString(ids[i]));
        SkinAccessible::SetShortcut(button, CommandKeys::ShortcutOf(ids[i]));
        button->installEventFilter(this);
        m_pButtons[size_t(placement->button < int(count) ? placement->button : i)] = button;
    }
    return 0;
}

CGButton* CAlbCommandView::GetButton(int index) const
{
    return index >= 0 && size_t(index) < m_pButtons.size() ? m_pButtons[size_t(index)] : nullptr;
}

CGButton* CAlbCommandView::ButtonOf(UINT command) const
{
    for (CGButton* button : m_pButtons)
        if (button && UINT(GetDlgCtrlID(button)) == command) return button;
    return nullptr;
}

void CAlbCommandView::InstallShortcuts(QWidget* window)
{
    for (const Placement& placement : kPlacements) {
        const QKeySequence keys = CommandKeys::ShortcutOf(placement.command);
        if (keys.isEmpty()) continue;
        const UINT command = placement.command;
        connect(new QShortcut(keys, window), &QShortcut::activated, this, [this, command] { RunShortcut(command); });
    }
}

void CAlbCommandView::RunShortcut(UINT command)
{
    CGButton* button = ButtonOf(command);
    if (button && button->isEnabled() && m_pCommandTarget) m_pCommandTarget->OnCmdMsg(command);
}

void CAlbCommandView::OnInitialUpdate() { UpdateCommandStates(); }

void CAlbCommandView::UpdateCommandStates()
{
    // Buttons without a handler stay enabled; the frame and the file list
    // view enable and disable theirs explicitly.
    if (!m_pCommandTarget) return;
    for (CGButton* button : m_pButtons) {
        BOOL enabled = TRUE;
        if (button && m_pCommandTarget->OnUpdateCmdUI(UINT(GetDlgCtrlID(button)), &enabled))
            button->setEnabled(enabled);
    }
}

bool CAlbCommandView::event(QEvent* event)
{
    if (auto* message = WinMessageEvent::From(event)) {
        // Button clicks go to the command target first, then to default handling.
        if (message->msg == WM_COMMAND && HIWORD(message->wParam) == BN_CLICKED && m_pCommandTarget)
            message->result = m_pCommandTarget->OnCmdMsg(LOWORD(message->wParam));
        message->handled = true;
        return true;
    }
    return CView::event(event);
}

bool CAlbCommandView::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<CGButton*>(watched);
    if (button && event->type() == QEvent::KeyPress && OnButtonKey(button, static_cast<QKeyEvent*>(event)->key()))
        return true;
    return CView::eventFilter(watched, event);
}

bool CAlbCommandView::OnButtonKey(CGButton* button, int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        button->Click();
        return true;
    }
    if (key != Qt::Key_Left && key != Qt::Key_Right) return false;
    // Round the bar's visible, enabled buttons in their left-to-right order.
    std::vector<CGButton*> row;
    for (CGButton* other : m_pButtons)
        if (other && other->isVisible() && other->isEnabled()) row.push_back(other);
    std::sort(row.begin(), row.end(), [](const CGButton* a, const CGButton* b) { return a->x() < b->x(); });
    const auto at = std::find(row.begin(), row.end(), button);
    if (at == row.end()) return false;
    const ptrdiff_t size = ptrdiff_t(row.size());
    const ptrdiff_t next = ((at - row.begin()) + (key == Qt::Key_Right ? 1 : -1) + size) % size;
    row[size_t(next)]->setFocus(Qt::TabFocusReason);
    return true;
}

QRect CAlbCommandView::ImportLabelRect() const
{
    const CGButton* import = ButtonOf(ID_ALB_IMPORT);
    if (!import || !import->isVisible()) return {};
    // Up to the nearest button on its right, or the bar's end.
    int end = width();
    for (const CGButton* other : m_pButtons)
        if (other && other != import && other->isVisible() && other->x() > import->x()) end = std::min(end, other->x());
    const int left = import->geometry().right() + 1 + kLabelGap;
    const int textWidth = fontMetrics().horizontalAdvance(LoadString(IDS_TIP_IMPORT));
    if (left + textWidth + kLabelGap > end) return {};
    return QRect(left, import->y(), textWidth, import->height());
}

void CAlbCommandView::mouseReleaseEvent(QMouseEvent* event)
{
    const CGButton* import = ButtonOf(ID_ALB_IMPORT);
    if (event->button() == Qt::LeftButton && import && import->isEnabled() &&
        ImportLabelRect().contains(event->position().toPoint()) && m_pCommandTarget)
        m_pCommandTarget->OnCmdMsg(ID_ALB_IMPORT);
    CView::mouseReleaseEvent(event);
}

void CAlbCommandView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(kBackground));
    // A hairline under the bar sets it off from the panes below.
    painter.fillRect(QRect(0, height() - 1, width(), 1), QColor(0xC4, 0xC9, 0xCF));
    // The first thing a new user does is import: the command says its name.
    const QRect label = ImportLabelRect();
    if (label.isEmpty()) return;
    painter.setPen(palette().color(ButtonOf(ID_ALB_IMPORT)->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::WindowText));
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, LoadString(IDS_TIP_IMPORT));
}
