#include "CProgressDlg.h"

#include "CAlphaStatic.h"
#include "CApProgressCtrl.h"
#include "CFlwBaseDialog.h"
#include "CGButton.h"
#include "SkinFont.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "StringResources.h"
#include "WinMessage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QThread>
#include <cmath>

namespace {

const QRect kTitleRect = RectLTRB(15, 39, 453, 79);
const QRect kBarRect = RectLTRB(15, 82, 453, 110);
constexpr int kCaptionHeight = 32;

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu: return true;
    default: return false;
    }
}

int Up(double value) { return static_cast<int>(std::ceil(value - 1e-9)); }

} // namespace

CProgressDlg::CProgressDlg(QWidget* parent) : CFlwDialog(0, parent) {}

CProgressDlg::~CProgressDlg() = default;

BOOL CProgressDlg::Create(const QString& caption, QWidget* owner)
{
    if (owner) setParent(owner, windowFlags());
    setWindowTitle(caption);
    return CreateModeless();
}

BOOL CProgressDlg::OnInitDialog()
{
    m_background = SkinImage::Load(QString::fromLatin1(kBackground));
    if (!m_background.isNull()) setFixedSize(SkinPaint::Size(m_background));
    ApplyShape();
    m_pTitle = new CAlphaStatic(this);
    m_pTitle->Create(QString(), WS_CHILD | WS_VISIBLE, kTitleRect, this, 0);
    m_pTitle->setAlignment(Qt::AlignCenter);
    m_pTitle->setWordWrap(true);
    m_pBar = new CApProgressCtrl(this);
    m_pBar->Create(QString::fromLatin1(kBarBackground), QString::fromLatin1(kBarUnit), WS_CHILD | WS_VISIBLE,
                   kBarRect, this, 0);
    m_pCancel = new CGButton(this);
    const QRect cancel(CFlwBaseDialog::BottomButtonLeft(width(), 0), height() - CFlwBaseDialog::kButtonRise,
                       CFlwBaseDialog::kButtonWidth, CFlwBaseDialog::kButtonHeight);
    m_pCancel->Create(QString::fromLatin1(CFlwBaseDialog::kButtonPicture), WS_CHILD | WS_VISIBLE, cancel, this,
                      kCancelCommand);
    m_pCancel->setText(LoadString(kCancelTextId));
    return TRUE;
}

void CProgressDlg::ApplyShape()
{
    if (m_background.isNull()) return;
    setMask(SkinPaint::RegionWithoutColour(m_background, kOutsideColour, size()));
}

void CProgressDlg::SetTitle(const QString& text)
{
    EnsureInitialised();
    m_pTitle->setText(text);
}

QString CProgressDlg::Title() const { return m_pTitle ? m_pTitle->text() : QString(); }

void CProgressDlg::SetRange(int lower, int upper)
{
    EnsureInitialised();
    m_pBar->SetRange(lower, upper);
}

void CProgressDlg::SetPos(int position)
{
    EnsureInitialised();
    m_pBar->SetPos(position);
}

int CProgressDlg::GetPos() const { return m_pBar ? m_pBar->GetPos() : 0; }

BOOL CProgressDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kCancelCommand) {
        OnCancel();
        return TRUE;
    }
    return CFlwDialog::OnCommand(wParam, lParam);
}

bool CProgressDlg::PumpMessages(bool allowEscape)
{
    if (m_bCancelled || m_bPumping) return m_bCancelled;
    m_bPumping = true;
    m_bAllowEscape = allowEscape;
    m_nPumpLoopLevel = QThread::currentThread()->loopLevel();
    QCoreApplication::instance()->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(this);
    m_bPumping = false;
    for (const HeldMessage& held : std::exchange(m_held, {}))
        if (held.target) PostMessage(held.target, held.msg, held.wParam, held.lParam);
    return m_bCancelled;
}

bool CProgressDlg::IsOurs(QObject* object) const
{
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && (widget == this || isAncestorOf(widget));
}

bool CProgressDlg::HoldForOthers(QObject* watched, QEvent* event)
{
    if (IsInput(event->type())) return qobject_cast<QWidget*>(watched) != nullptr; // window-level delivery reaches the widgets next
    if (event->type() == QEvent::Timer) return true;                                // it fires again later
    WinMessageEvent* message = WinMessageEvent::From(event);
    if (!message || !message->posted) return false;
    m_held.push_back({watched, message->msg, message->wParam, message->lParam});
    return true;
}

bool CProgressDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_bPumping) return false;
    // A modal window opened by a handler meanwhile runs its own loop and
    // takes its own input.
    if (QThread::currentThread()->loopLevel() > m_nPumpLoopLevel) return false;
    if (!IsOurs(watched)) return HoldForOthers(watched, event);
    if (!IsInput(event->type())) return false;
    if (m_bCancelled) return true; // cancellation requested: nothing more is handled
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (m_bAllowEscape) OnCancel();
        return true;
    }
    return false;
}

void CProgressDlg::keyPressEvent(QKeyEvent* event)
{
    // Escape cancels only while the owner pumps messages and allows it.
    if (event->key() == Qt::Key_Escape) return;
    CFlwDialog::keyPressEvent(event);
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    OnCancel();
    event->ignore();
}

void CProgressDlg::ScaleLayout(double factor)
{
    EnsureInitialised();
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect g = child->geometry();
        child->setGeometry(Up(g.x() * factor), Up(g.y() * factor), Up(g.width() * factor), Up(g.height() * factor));
    }
    setFixedSize(Up(width() * factor), Up(height() * factor));
    ApplyShape();
    update();
}

void CProgressDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    SkinPaint::ClipToShape(painter, *this);
    if (!m_background.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_background);
    }
    const double scale = m_background.isNull() ? 1.0 : double(height()) / SkinPaint::Size(m_background).height();
    painter.setPen(Qt::white);
    painter.setFont(SkinFont::ShellDlg(Up(13 * scale), true));
    painter.drawText(QRect(0, 0, width(), Up(kCaptionHeight * scale)), Qt::AlignCenter | Qt::TextSingleLine,
                     windowTitle());
}
