#include "CFlwDialog.h"

#include "CGButton.h"
#include "SkinTabOrder.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

CFlwDialog::CFlwDialog(UINT templateId, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_nTemplateId(templateId)
{
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

void CFlwDialog::CenterWindow()
{
    QRect area;
    if (const QWidget* owner = parentWidget())
        area = QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty()) return;
    QRect placed(QPoint(), size());
    placed.moveCenter(area.center());
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
    if (event->button() != Qt::LeftButton || OnNcHitTest(event->position().toPoint()) != HTCAPTION) {
        QDialog::mousePressEvent(event);
        return;
    }
    // The window system moves the window where it can; elsewhere we follow
    // the mouse ourselves.
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    m_bDragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CFlwDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (m_bDragging)
        move(event->globalPosition().toPoint() - m_dragOffset);
    else
        QDialog::mouseMoveEvent(event);
}

void CFlwDialog::mouseReleaseEvent(QMouseEvent* event)
{
    m_bDragging = false;
    QDialog::mouseReleaseEvent(event);
}
