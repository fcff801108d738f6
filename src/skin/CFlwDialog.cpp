#include "CFlwDialog.h"

#include "CGButton.h"
#include "SkinPaint.h"
#include "SkinTabOrder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

CFlwDialog::CFlwDialog(UINT templateId, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_nTemplateId(templateId)
{
    SkinPaint::PrepareShapedWindow(*this);
}

BOOL CFlwDialog::EnsureInitialised()
{
    if (!m_bInitialised) {
        m_bInitialised = true;
        m_bInitResult = OnInitDialog();
    }
    return m_bInitResult;
}

int CFlwDialog::DoModal()
{
    if (!EnsureInitialised()) return -1;
    CenterWindow();
    return ModalSeam::Run(this, DescribeRun());
}

BOOL CFlwDialog::CreateModeless()
{
    setModal(false);
    return EnsureInitialised();
}

namespace {

// The window a dialog centres on: its owner's window when that is on the
// screen (an owner still being built has no place yet), else the nearest
// shown window that owns it, else the active window.
const QWidget* PlacedOwner(const QWidget* dialog)
{
    for (const QWidget* owner = dialog->parentWidget(); owner; owner = owner->parentWidget())
        if (owner->window()->isVisible()) return owner->window();
    const QWidget* active = QApplication::activeWindow();
    return active && active != dialog && active->isVisible() ? active : nullptr;
}

} // namespace

void CFlwDialog::CenterWindow()
{
    const QWidget* owner = PlacedOwner(this);
    const QRect ownerArea = owner ? owner->frameGeometry() : QRect();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect screenArea = screen ? screen->availableGeometry() : QRect();
    const QRect area = ownerArea.isEmpty() ? screenArea : ownerArea;
    if (area.isEmpty()) return;
    QRect placed(QPoint(), size());
    placed.moveCenter(area.center());
    // Wholly on the screen, its top-left corner first when it is larger.
    if (!screenArea.isEmpty()) {
        placed.moveRight(std::min(placed.right(), screenArea.right()));
        placed.moveBottom(std::min(placed.bottom(), screenArea.bottom()));
        placed.moveLeft(std::max(placed.left(), screenArea.left()));
        placed.moveTop(std::max(placed.top(), screenArea.top()));
    }
    move(placed.topLeft());
}

LRESULT CFlwDialog::OnNcHitTest(const QPoint&) const { return HTCAPTION; }

ModalRecord CFlwDialog::DescribeRun() const
{
    ModalRecord record;
    record.kind = QString::fromLatin1(metaObject()->className());
    record.textId = m_nTemplateId;
    record.caption = windowTitle();
    return record;
}

BOOL CFlwDialog::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
    }
}

LRESULT CFlwDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) return OnCommand(wParam, lParam);
    return 0;
}

bool CFlwDialog::event(QEvent* event)
{
    if (auto* message = WinMessageEvent::From(event)) {
        message->result = WindowProc(message->msg, message->wParam, message->lParam);
        message->handled = true;
        return true;
    }
    return QDialog::event(event);
}

void CFlwDialog::SetDefaultButton(CGButton* button)
{
    if (m_pDefault) m_pDefault->SetDefault(false);
    m_pDefault = button;
    if (button) button->SetDefault(true);
}

CGButton* CFlwDialog::DefaultButton() const { return m_pDefault; }

void CFlwDialog::showEvent(QShowEvent* event)
{
    // Qt's chain is a ring that may start anywhere: the dialog opens with
    // the focus on its first control, as a dialog manager gives it.
    const QList<QWidget*> order = SkinTabOrder::Apply(this);
    if (!focusWidget() && !order.isEmpty()) order.first()->setFocus(Qt::TabFocusReason);
    QDialog::showEvent(event);
}

void CFlwDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!enter || modifiers != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    // A push button that has the focus stands in for the default one.
    auto* focused = qobject_cast<CGButton*>(focusWidget());
    CGButton* target = focused && !focused->IsToggle() && isAncestorOf(focused) ? focused : m_pDefault.data();
    if (target && target->isVisible()) target->Click();
}

void CFlwDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OnNcHitTest(event->position().toPoint()) == HTCAPTION) m_drag.Press(event);
    QDialog::mousePressEvent(event);
}

void CFlwDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_drag.Move(event)) QDialog::mouseMoveEvent(event);
}

void CFlwDialog::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag.Release();
    QDialog::mouseReleaseEvent(event);
}
