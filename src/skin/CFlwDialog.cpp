#include "CFlwDialog.h"

#include <QGuiApplication>
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
