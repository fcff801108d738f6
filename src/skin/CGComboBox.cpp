#include "CGComboBox.h"

#include "CGComboListBox.h"
#include "CGListBoxContainer.h"
#include "SkinFont.h"
#include "SkinFocusRing.h"
#include "SkinImage.h"
#include "SkinPaint.h"

#include <QPainter>

CGComboBox::CGComboBox(QWidget* parent) : QComboBox(parent), m_textColour(0x1B, 0x2A, 0x3F)
{
    setFont(SkinFont::ShellDlg());
    SkinFocusRing::Track(this);
    connect(this, qOverload<int>(&QComboBox::activated), this, [this] { SendCommandToParent(this, CBN_SELCHANGE); });
}

CGComboBox::~CGComboBox() = default;

BOOL CGComboBox::Create(const QString& picturePath, const QString& itemPicturePath, DWORD style, const QRect& rect,
                        QWidget* parent, UINT id, const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    m_textColour = textColour;
    const BOOL loaded = SetPictures(picturePath, itemPicturePath);
    setGeometry(rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    return loaded;
}

BOOL CGComboBox::SetPictures(const QString& picturePath, const QString& itemPicturePath)
{
    m_picture = SkinImage::Load(picturePath);
    m_itemPicture = SkinImage::Load(itemPicturePath);
    update();
    return !m_picture.isNull() && !m_itemPicture.isNull();
}

int CGComboBox::AddString(const QString& text)
{
    addItem(text);
    return count() - 1;
}

int CGComboBox::FrameIndex() const
{
    if (!isEnabled()) return 3;
    if (m_pPopup && m_pPopup->isVisible()) return 2;
    return underMouse() ? 1 : 0;
}

void CGComboBox::showPopup()
{
    if (!m_pPopup) {
        m_pPopup = new CGListBoxContainer(this);
        connect(m_pPopup->List(), &CGComboListBox::chosen, this, &CGComboBox::Choose);
        connect(m_pPopup->List(), &CGComboListBox::cancelled, this, &CGComboBox::hidePopup);
        connect(m_pPopup, &CGListBoxContainer::closed, this, [this] { update(); });
    }
    QStringList items;
    for (int index = 0; index < count(); ++index) items << itemText(index);
    m_pPopup->List()->SetItemPicture(m_itemPicture);
    m_pPopup->List()->SetTextColor(m_textColour);
    m_pPopup->List()->SetItems(items, currentIndex());
    m_pPopup->Open(QRect(mapToGlobal(QPoint(0, 0)), size()));
    update();
}

void CGComboBox::hidePopup()
{
    if (m_pPopup) m_pPopup->hide();
    update();
}

void CGComboBox::Choose(int index)
{
    hidePopup();
    setCurrentIndex(index);
    emit activated(index);
}

void CGComboBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect frame = SkinPaint::FrameRect(m_picture, 4, FrameIndex());
    // The arrow lives in the picture's right end, so that end keeps its size.
    SkinPaint::DrawStretched(painter, rect(), m_picture, frame, QMargins(6, 4, std::min(28, frame.width() / 3), 4));
    QColor colour = m_textColour;
    if (!isEnabled()) colour.setAlphaF(0.5);
    painter.setPen(colour);
    painter.setFont(font());
    const QRect textRect = rect().adjusted(10, 0, -30, 0);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect.width()));
    SkinFocusRing::Paint(painter, *this);
}
