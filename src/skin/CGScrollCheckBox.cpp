#include "CGScrollCheckBox.h"

#include "CGButton.h"
#include "CGScrollBar.h"
#include "CGStatic.h"
#include "SkinAccessibleWidget.h"

#include <QCoreApplication>
#include <QWheelEvent>

namespace {

constexpr int kCheckSize = 20;
constexpr int kCheckInset = 5;
constexpr int kTextLeft = 32;
constexpr int kDividerWidth = 257;

// The rows' own controls report to the content widget, which hands their
// commands to the list.
class RowSurface : public QWidget {
public:
    RowSurface(QWidget* parent, std::function<void(QObject*)> onCommand)
        : QWidget(parent), m_onCommand(std::move(onCommand))
    {
    }

protected:
    bool event(QEvent* event) override
    {
        if (auto* message = WinMessageEvent::From(event)) {
            if (message->msg == WM_COMMAND && HIWORD(message->wParam) == BN_CLICKED)
                m_onCommand(reinterpret_cast<QObject*>(message->lParam));
            return true;
        }
        return QWidget::event(event);
    }

private:
    std::function<void(QObject*)> m_onCommand;
};

} // namespace

CGScrollCheckBox::CGScrollCheckBox(QWidget* parent)
    : QWidget(parent),
      m_pContent(new RowSurface(this, [this](QObject* control) { OnRowCommand(control); })),
      m_pScrollBar(new CGScrollBar(this)),
      m_pDivider(new CGStatic(m_pContent)),
      m_strCheckPicture(QString::fromLatin1(kCheckPicture)),
      m_textColour(0x1B, 0x2A, 0x3F)
{
    m_pDivider->hide();
    SkinAccessibleWidget::SetPassThrough(m_pContent);
    m_pScrollBar->setSingleStep(kRowHeight);
    connect(m_pScrollBar, &QScrollBar::valueChanged, this, [this] { Layout(); });
}

CGScrollCheckBox::~CGScrollCheckBox() = default;

BOOL CGScrollCheckBox::Create(DWORD style, const QRect& rect, QWidget* parent, UINT id, const QColor& textColour)
{
    setParent(parent);
    SetDlgCtrlID(this, static_cast<int>(id));
    m_textColour = textColour;
    setGeometry(rect);
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    Layout();
    return TRUE;
}

BOOL CGScrollCheckBox::SetScrollBarPictures(const QString& up, const QString& down, const QString& thumb,
                                            const QString& track)
{
    const BOOL loaded = m_pScrollBar->SetPictures(up, down, thumb, track);
    Layout();
    return loaded;
}

void CGScrollCheckBox::SetDeletePicture(const QString& picturePath, const QString& tooltip)
{
    m_strDeletePicture = picturePath;
    m_strDeleteTip = tooltip;
}

void CGScrollCheckBox::EnableDivider(bool enable, const QString& picturePath)
{
    m_bDivider = enable;
    m_pDivider->SetPicture(picturePath);
    Layout();
}

int CGScrollCheckBox::AddRow(const QString& text, bool withDelete)
{
    const int row = GetRowCount();
    Row entry{new CGButton(m_pContent), new CGStatic(m_pContent), nullptr};
    entry.check->Create(m_strCheckPicture, WS_CHILD | WS_VISIBLE, QRect(), m_pContent, 0);
    entry.check->SetToggle(true);
    entry.check->setFixedSize(kCheckSize, kCheckSize);
    entry.check->setAccessibleName(text);
    entry.check->installEventFilter(this);
    entry.text->Create(text, WS_CHILD | WS_VISIBLE | SS_NOTIFY, QRect(), m_pContent, 0, m_textColour);
    entry.text->SetSingleLine(true);
    entry.text->setToolTip(text);
    if (withDelete) {
        entry.remove = new CGButton(m_pContent);
        entry.remove->Create(m_strDeletePicture, WS_CHILD | WS_VISIBLE, QRect(), m_pContent, 0);
        entry.remove->SetTooltip(m_strDeleteTip);
        entry.remove->installEventFilter(this);
    }
    m_rows.push_back(entry);
    // Only the new row is placed, unless the scroll bar took or gave back
    // width: filling a list of thousands of rows stays linear.
    if (LayoutFrame())
        Layout();
    else
        LayoutRow(row);
    return row;
}

void CGScrollCheckBox::DeleteRow(int row)
{
    if (row < 0 || row >= GetRowCount()) return;
    RemoveWidgets(m_rows[static_cast<size_t>(row)]);
    m_rows.erase(m_rows.begin() + row);
    Layout();
}

// The delete button may be the sender of the message being handled, so
// the row's controls go later.
void CGScrollCheckBox::RemoveWidgets(const Row& entry)
{
    for (QWidget* widget : {static_cast<QWidget*>(entry.check), static_cast<QWidget*>(entry.text),
                            static_cast<QWidget*>(entry.remove)}) {
        if (!widget) continue;
        widget->hide();
        widget->deleteLater();
    }
}

void CGScrollCheckBox::ResetContent()
{
    for (const Row& entry : m_rows) RemoveWidgets(entry);
    m_rows.clear();
    m_pScrollBar->setValue(0);
    Layout();
}

QString CGScrollCheckBox::GetRowText(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_rows[static_cast<size_t>(row)].text->Text() : QString();
}

void CGScrollCheckBox::SetCheck(int row, bool checked)
{
    if (CGButton* check = CheckButton(row)) check->SetCheck(checked);
}

bool CGScrollCheckBox::GetCheck(int row) const
{
    const CGButton* check = CheckButton(row);
    return check && check->GetCheck();
}

CGButton* CGScrollCheckBox::CheckButton(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_rows[static_cast<size_t>(row)].check : nullptr;
}

CGButton* CGScrollCheckBox::DeleteButton(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_rows[static_cast<size_t>(row)].remove : nullptr;
}

int CGScrollCheckBox::RowTop(int row) const
{
    const bool belowDivider = m_bDivider && row >= kDividerRow;
    return (row + (belowDivider ? 1 : 0)) * kRowHeight;
}

int CGScrollCheckBox::ContentHeight() const
{
    return m_rows.empty() ? 0 : RowTop(GetRowCount() - 1) + kRowHeight;
}

void CGScrollCheckBox::ScrollToRow(int row) { m_pScrollBar->setValue(RowTop(row)); }

void CGScrollCheckBox::EnsureRowVisible(int row)
{
    const int top = RowTop(row), offset = m_pScrollBar->value();
    if (top < offset)
        m_pScrollBar->setValue(top);
    else if (top + kRowHeight > offset + height())
        m_pScrollBar->setValue(top + kRowHeight - height());
}

void CGScrollCheckBox::Layout()
{
    LayoutFrame();
    for (int row = 0; row < GetRowCount(); ++row) LayoutRow(row);
}

// The scroll bar, the scrolled content and the divider; true when the
// width left for the rows changed.
bool CGScrollCheckBox::LayoutFrame()
{
    const int overflow = ContentHeight() - height();
    const bool scrolling = overflow > 0;
    const int barWidth = m_pScrollBar->sizeHint().width();
    m_pScrollBar->setRange(0, std::max(overflow, 0));
    m_pScrollBar->setPageStep(std::max(height(), 1));
    m_pScrollBar->setGeometry(width() - barWidth, 0, barWidth, height());
    m_pScrollBar->setVisible(scrolling);
    const int contentWidth = scrolling ? width() - barWidth : width();
    const bool widthChanged = contentWidth != m_pContent->width();
    m_pContent->setGeometry(0, -m_pScrollBar->value(), contentWidth, std::max(ContentHeight(), height()));
    const bool dividerShown = m_bDivider && GetRowCount() > kDividerRow;
    m_pDivider->setVisible(dividerShown);
    if (dividerShown) m_pDivider->setGeometry(0, kDividerRow * kRowHeight + 15, kDividerWidth, 2);
    return widthChanged;
}

void CGScrollCheckBox::LayoutRow(int row)
{
    const Row& entry = m_rows[static_cast<size_t>(row)];
    const int top = RowTop(row);
    SetDlgCtrlID(entry.check, kCheckIdBase + row);
    entry.check->move(kCheckInset, top + kCheckInset);
    const int textRight = entry.remove ? kDeleteX - 4 : m_pContent->width() - 4;
    entry.text->setGeometry(kTextLeft, top, std::max(textRight - kTextLeft, 0), kRowHeight);
    if (entry.remove) {
        SetDlgCtrlID(entry.remove, kDeleteIdBase + row);
        const QSize size = entry.remove->sizeHint();
        entry.remove->setGeometry(kDeleteX, top + (kRowHeight - size.height()) / 2, size.width(), size.height());
    }
}

void CGScrollCheckBox::OnRowCommand(QObject* control)
{
    for (int row = 0; row < GetRowCount(); ++row) {
        const Row& entry = m_rows[static_cast<size_t>(row)];
        if (control == entry.text) {
            entry.check->SetCheck(!entry.check->GetCheck());
            return;
        }
        if (control == entry.remove) {
            SendMessage(parentWidget(), kDeleteMessage, static_cast<WPARAM>(row), 0);
            return;
        }
    }
}

bool CGScrollCheckBox::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest) Layout();
    return QWidget::event(event);
}

bool CGScrollCheckBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        for (int row = 0; row < GetRowCount(); ++row)
            if (watched == CheckButton(row) || watched == DeleteButton(row)) EnsureRowVisible(row);
    return QWidget::eventFilter(watched, event);
}

void CGScrollCheckBox::resizeEvent(QResizeEvent*) { Layout(); }

void CGScrollCheckBox::wheelEvent(QWheelEvent* event)
{
    if (m_pScrollBar->isVisible())
        QCoreApplication::sendEvent(m_pScrollBar, event);
    else
        event->ignore();
}
