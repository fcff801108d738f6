#include "CAlphaEditEx.h"

#include "SkinFont.h"
#include "SkinFocusRing.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "VirtualKeys.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QToolTip>
#include <memory>

CAlphaEditEx::CAlphaEditEx(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setFont(SkinFont::ShellDlg());
    setTextMargins(6, 0, 6, 0);
    SetTextColor(QColor(0x1B, 0x2A, 0x3F));
    SkinFocusRing::Track(this);
}

BOOL CAlphaEditEx::Create(const QString& backgroundPath, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                          const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    SetTextColor(textColour);
    const BOOL loaded = SetBackground(backgroundPath);
    setGeometry(rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return loaded;
}

BOOL CAlphaEditEx::SetBackground(const QString& picturePath)
{
    m_background = SkinImage::Load(picturePath);
    update();
    return !m_background.isNull();
}

void CAlphaEditEx::SetTextColor(const QColor& colour)
{
    m_textColour = colour;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, colour);
    QColor disabled = colour;
    disabled.setAlphaF(0.45);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabled);
    palette.setColor(QPalette::Highlight, QColor(0x19, 0xB3, 0xA6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    setPalette(palette);
}

void CAlphaEditEx::SetCueText(const QString& cue)
{
    m_cue = cue;
    update();
}

void CAlphaEditEx::SetForbiddenChars(const QString& characters, const QString& tooltip)
{
    m_forbidden = characters;
    m_forbiddenTip = tooltip;
}

bool CAlphaEditEx::AcceptTyped(const QString& typed)
{
    for (QChar character : typed) {
        if (!IsForbidden(character)) continue;
        m_lastRefusal = m_forbiddenTip;
        QToolTip::showText(mapToGlobal(QPoint(0, height())), m_forbiddenTip, this);
        return false;
    }
    return true;
}

void CAlphaEditEx::keyPressEvent(QKeyEvent* event)
{
    QPointer<CAlphaEditEx> self(this);
    SendMessage(parentWidget(), kKeyMessage, static_cast<WPARAM>(GetDlgCtrlID(this)),
                static_cast<LPARAM>(VirtualKeyFromQtKey(event->key())));
    if (!self) return;
    if (event->matches(QKeySequence::Paste)) {
        PasteWithLimit();
        return;
    }
    if (!AcceptTyped(event->text())) return;
    const bool full = maxLength() > 0 && text().size() >= maxLength() && !event->text().isEmpty() &&
                      event->text().at(0).isPrint() && !hasSelectedText();
    QLineEdit::keyPressEvent(event);
    if (full && self) SendCommandToParent(this, EN_MAXTEXT);
}

void CAlphaEditEx::PasteWithLimit()
{
    const QString pasted = QGuiApplication::clipboard()->text();
    const qsizetype room = maxLength() - (text().size() - selectedText().size());
    QPointer<CAlphaEditEx> self(this);
    paste();
    if (self && maxLength() > 0 && pasted.size() > room) SendCommandToParent(this, EN_MAXTEXT);
}

void CAlphaEditEx::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() != QLatin1String("edit-paste")) continue;
        disconnect(action, &QAction::triggered, this, nullptr);
        connect(action, &QAction::triggered, this, &CAlphaEditEx::PasteWithLimit);
    }
    menu->exec(event->globalPos());
}

void CAlphaEditEx::inputMethodEvent(QInputMethodEvent* event)
{
    if (!AcceptTyped(event->commitString())) {
        QInputMethodEvent refused(event->preeditString(), event->attributes());
        QLineEdit::inputMethodEvent(&refused);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void CAlphaEditEx::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        if (!isEnabled()) painter.setOpacity(0.6);
        if (!m_background.isNull())
            SkinPaint::DrawStretched(painter, rect(), m_background, SkinPaint::Bounds(m_background),
                                     SkinPaint::CornerCaps(SkinPaint::Size(m_background)));
        painter.setOpacity(1.0);
        if (text().isEmpty() && !hasFocus() && !m_cue.isEmpty()) {
            QColor cue = m_textColour;
            cue.setAlphaF(0.45);
            painter.setPen(cue);
            painter.setFont(font());
            const QMargins margins = textMargins();
            painter.drawText(rect().marginsRemoved(margins).adjusted(2, 0, 0, 0),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_cue);
        }
        SkinFocusRing::Paint(painter, *this);
    }
    QLineEdit::paintEvent(event);
}
