#include "CArcEditWrapper.h"

#include "CGButton.h"
#include "CGEdit.h"
#include "SkinFont.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "WinControls.h"

#include <QKeyEvent>
#include <QPainter>

CArcEditWrapper::CArcEditWrapper(QWidget* parent) : QWidget(parent) { SetDlgCtrlID(this, kControlId); }

namespace {
// The picture's size, kept when the picture is missing.
constexpr QSize kBoxSize(236, 20);
const QColor kFallbackFill(0x2B, 0x3A, 0x4F);
const QColor kFallbackRing(0x8A, 0x9B, 0xB0);
} // namespace

BOOL CArcEditWrapper::Setup(int x, int y, const QImage& picture, double scale)
{
    // Without its picture the box still works, drawn plainly at its size,
    // as every skinned control does without its picture.
    m_picture = picture;
    const auto grown = [scale](int pixels) { return int(pixels * scale); };
    const QSize size = picture.isNull() ? kBoxSize : SkinPaint::Size(picture);
    setGeometry(x, y, grown(size.width()), grown(size.height()));
    if (!picture.isNull()) setMask(SkinPaint::RegionWithoutColour(picture, kOutsideColour, this->size()));

    m_pEdit = new CGEdit(this);
    m_pEdit->Create(QString::fromLatin1(kEditPicture), WS_CHILD | WS_VISIBLE,
                    RectLTRB(grown(21), grown(2), grown(207), grown(18)), this, kEditId, Qt::white);
    const int textPixels = LoadString(IDS_SEARCH_TEXT_SIZE).toInt();
    m_pEdit->setFont(
        SkinFont::ShellDlg(grown(textPixels > 0 ? std::min(textPixels, 14) - 2 : SkinFont::kDialogPixels)));
    // The box is 16 pixels high: the text sits as high as its accents allow,
    // so that descenders and underscores stay inside the box's ring.
    m_pEdit->setTextMargins(grown(6), -grown(2), grown(6), grown(2));
    m_pEdit->installEventFilter(this);
    connect(m_pEdit, &QLineEdit::textChanged, this, &CArcEditWrapper::textChanged);

    m_pButton = new CGButton(this);
    m_pButton->Create(QString::fromLatin1(kButtonPicture), WS_CHILD | WS_VISIBLE,
                      RectLTRB(grown(208), grown(1), grown(232), grown(19)), this, kButtonId, Qt::white);
    if (scale > 1.0)
        m_pButton->SetPicture(SkinImage::Load(QString::fromLatin1(kButtonPicture), scale * SkinImage::ScreenDensity()));
    m_pButton->setFocusPolicy(Qt::NoFocus);
    return TRUE;
}

QString CArcEditWrapper::Text() const { return m_pEdit ? m_pEdit->text() : QString(); }

void CArcEditWrapper::SetText(const QString& text)
{
    if (m_pEdit) m_pEdit->setText(text);
}

bool CArcEditWrapper::event(QEvent* event)
{
    // The button empties a box that holds text; an empty box stays as it is.
    if (auto* message = WinMessageEvent::From(event)) {
        if (message->msg == WM_COMMAND && LOWORD(message->wParam) == kButtonId && !Text().isEmpty()) SetText(QString());
        message->handled = true;
        return true;
    }
    return QWidget::event(event);
}

void CArcEditWrapper::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_picture);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(kFallbackRing);
    painter.setBrush(kFallbackFill);
    const qreal radius = height() / 2.0 - 1;
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

bool CArcEditWrapper::eventFilter(QObject* watched, QEvent* event)
{
    // Escape in the box empties it, which ends a search.
    if (watched == m_pEdit && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !m_pEdit->text().isEmpty()) {
        m_pEdit->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
