#include "CGXTFrameWnd.h"

#include "SkinFont.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWindow>

namespace {

constexpr int kButtonTop = 11;
constexpr int kButtonGap = 7;
constexpr int kIconLeft = 8;
constexpr int kIconTop = 5;
constexpr int kIconDrawn = 32;
constexpr int kLogoGap = 13;
constexpr int kLogoTop = 7;
constexpr int kTitleBand = 300;
const QColor kFallbackCaption(0x1E, 0x33, 0x52);

QImage Frame(const QImage& strip, int index) { return SkinPaint::Cut(strip, SkinPaint::FrameRect(strip, 3, index)); }

int Width(const QImage& picture) { return SkinPaint::Size(picture).width(); }

int Height(const QImage& picture) { return SkinPaint::Size(picture).height(); }

} // namespace

CGXTFrameWnd::CGXTFrameWnd(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    SkinPaint::PrepareShapedWindow(*this); // the rounded corners
}

BOOL CGXTFrameWnd::CreateSkin()
{
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9})
        m_pieces[i - 1] = SkinImage::Load(QStringLiteral("Image\\MainFrame\\bg_viviVov_%1.png").arg(i, 2, 10, QChar(u'0')));
    m_icon = SkinImage::Load(QStringLiteral("Image\\MainFrame\\icon_flw_non_alpha.png"));
    m_logo = SkinImage::Load(QStringLiteral("Image\\MainFrame\\vodidar_Flw.png"));
    m_close = SkinImage::Load(QStringLiteral("Image\\MainFrame\\btn_caption_close.png"));
    m_maximise = SkinImage::Load(QStringLiteral("Image\\MainFrame\\btn_caption_max.png"));
    m_restore = SkinImage::Load(QStringLiteral("Image\\MainFrame\\btn_caption_restore.png"));
    m_minimise = SkinImage::Load(QStringLiteral("Image\\MainFrame\\btn_caption_min.png"));
    const QImage* corners[] = {&m_pieces[0], &m_pieces[2], &m_pieces[6], &m_pieces[8]};
    for (int i = 0; i < 4; ++i)
        m_outside[i] = QRegion(SkinPaint::Bounds(*corners[i])) - SkinPaint::RegionWithoutColour(*corners[i], kOutsideColour);
    UpdateShape();
    return !m_pieces[0].isNull() && !m_pieces[1].isNull() && !m_pieces[2].isNull() && !m_close.isNull();
}

QRect CGXTFrameWnd::ClientRect() const
{
    if (isMaximized()) return rect().adjusted(0, kCaptionHeight, 0, 0);
    return rect().adjusted(kSideBorder, kCaptionHeight, -kSideBorder, -kBottomBorder);
}

QRect CGXTFrameWnd::ButtonRect(HitCode button) const
{
    const QSize size = m_close.isNull() ? QSize(30, 24) : SkinPaint::FrameRect(m_close, 3, 0).size();
    int right = width() - 10;
    for (HitCode code : {HitClose, HitMaximise, HitMinimise}) {
        const QRect place(right - size.width(), kButtonTop, size.width(), size.height());
        if (code == button) return place;
        right = place.left() - kButtonGap;
    }
    return {};
}

QRect CGXTFrameWnd::TitleRect() const
{
    // Centred in a band at the top; it gives way to the menu and the buttons.
    int left = (width() - kTitleBand) / 2, right = left + kTitleBand;
    if (m_pMenuBar) left = std::max(left, m_pMenuBar->geometry().right() + 12);
    right = std::min(right, ButtonRect(HitMinimise).left() - 12);
    return QRect(left, 0, std::max(0, right - left), kCaptionHeight);
}

CGXTFrameWnd::HitCode CGXTFrameWnd::HitTest(const QPoint& point) const
{
    if (point.y() < 0 || point.y() >= kCaptionHeight) return HitNowhere;
    for (HitCode button : {HitClose, HitMaximise, HitMinimise})
        if (ButtonRect(button).contains(point)) return button;
    if (QRect(kIconLeft, kIconTop, kIconDrawn, kIconDrawn).contains(point)) return HitIcon;
    return HitCaption;
}

Qt::Edges CGXTFrameWnd::EdgesAt(const QPoint& point) const
{
    Qt::Edges edges;
    if (isMaximized()) return edges;
    if (point.x() < kResizeGrip) edges |= Qt::LeftEdge;
    if (point.x() >= width() - kResizeGrip) edges |= Qt::RightEdge;
    if (point.y() < 4) edges |= Qt::TopEdge;
    if (point.y() >= height() - kResizeGrip) edges |= Qt::BottomEdge;
    return edges;
}

void CGXTFrameWnd::SetCaptionMenuBar(QMenuBar* menuBar)
{
    m_pMenuBar = menuBar;
    menuBar->setParent(this);
    PlaceMenuBar();
    menuBar->show();
}

int CGXTFrameWnd::MenuBarLeft(bool withLogo) const
{
    const int logo = withLogo && !m_logo.isNull() ? kLogoGap + Width(m_logo) : 0;
    return kIconLeft + kIconDrawn + logo + 14;
}

bool CGXTFrameWnd::ShowsLogo() const
{
    // In a narrow window the logo gives its place to the menu bar.
    if (!m_pMenuBar) return true;
    return MenuBarLeft(true) + m_pMenuBar->sizeHint().width() + 12 <= ButtonRect(HitMinimise).left();
}

void CGXTFrameWnd::PlaceMenuBar()
{
    if (!m_pMenuBar) return;
    const QSize size = m_pMenuBar->sizeHint();
    m_pMenuBar->setGeometry(MenuBarLeft(ShowsLogo()), (kCaptionHeight - size.height()) / 2, size.width(), size.height());
}

int CGXTFrameWnd::CaptionMinimumWidth() const
{
    const int buttons = width() - ButtonRect(HitMinimise).left();
    const int menu = m_pMenuBar ? m_pMenuBar->sizeHint().width() : 0;
    return MenuBarLeft(false) + menu + 12 + buttons;
}

UINT CGXTFrameWnd::TooltipIdOf(HitCode button, bool maximised)
{
    switch (button) {
    case HitClose: return 11268;
    case HitMaximise: return maximised ? 61817 : 61187;
    case HitMinimise: return 61186;
    default: return 0;
    }
}

void CGXTFrameWnd::ActOnButton(HitCode button)
{
    switch (button) {
    case HitClose: close(); break;
    case HitMaximise: isMaximized() ? showNormal() : showMaximized(); break;
    case HitMinimise: showMinimized(); break;
    default: break;
    }
}

void CGXTFrameWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    SkinPaint::ClipToShape(painter, *this);
    PaintBorders(painter);
    PaintCaption(painter);
}

void CGXTFrameWnd::PaintBorders(QPainter& painter) const
{
    const int w = width(), h = height();
    if (isMaximized()) return;
    // Sides tiled from under the caption down to the bottom border, the
    // bottom between its corner pieces.
    const QImage& left = m_pieces[3];
    const QImage& right = m_pieces[5];
    if (!left.isNull())
        for (int y = kCaptionHeight; y < h - kBottomBorder; y += Height(left))
            SkinPaint::DrawPart(painter, QPoint(0, y), left,
                                QRect(0, 0, Width(left), std::min(Height(left), h - kBottomBorder - y)));
    if (!right.isNull())
        for (int y = kCaptionHeight; y < h - kBottomBorder; y += Height(right))
            SkinPaint::DrawPart(painter, QPoint(w - Width(right), y), right,
                                QRect(0, 0, Width(right), std::min(Height(right), h - kBottomBorder - y)));
    const QImage& bottom = m_pieces[7];
    if (!bottom.isNull())
        for (int x = kSideBorder; x < w - kSideBorder; x += Width(bottom))
            SkinPaint::DrawPart(painter, QPoint(x, h - kBottomBorder), bottom,
                                QRect(0, 0, std::min(Width(bottom), w - kSideBorder - x), Height(bottom)));
    if (!m_pieces[6].isNull()) painter.drawImage(0, h - kBottomBorder, m_pieces[6]);
    if (!m_pieces[8].isNull()) painter.drawImage(w - Width(m_pieces[8]), h - kBottomBorder, m_pieces[8]);
}

void CGXTFrameWnd::PaintCaption(QPainter& painter) const
{
    const int w = width();
    const QImage& left = m_pieces[0];
    const QImage& middle = m_pieces[1];
    const QImage& right = m_pieces[2];
    if (left.isNull() || middle.isNull() || right.isNull()) {
        painter.fillRect(QRect(0, 0, w, kCaptionHeight), kFallbackCaption);
    } else {
        for (int x = Width(left); x < w - Width(right); x += Width(middle)) painter.drawImage(x, 0, middle);
        painter.drawImage(0, 0, left);
        painter.drawImage(w - Width(right), 0, right);
    }
    if (!m_icon.isNull())
        painter.drawImage(QRect(kIconLeft, kIconTop, kIconDrawn, kIconDrawn), m_icon);
    if (!m_logo.isNull() && ShowsLogo()) painter.drawImage(kIconLeft + kIconDrawn + kLogoGap, kLogoTop, m_logo);
    painter.setPen(Qt::white);
    painter.setFont(SkinFont::ShellDlg(14, true));
    const QRect title = TitleRect();
    painter.drawText(title, Qt::AlignCenter,
                     painter.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, title.width()));
    PaintButton(painter, HitMinimise, m_minimise);
    PaintButton(painter, HitMaximise, isMaximized() ? m_restore : m_maximise);
    PaintButton(painter, HitClose, m_close);
}

void CGXTFrameWnd::PaintButton(QPainter& painter, HitCode button, const QImage& strip) const
{
    if (strip.isNull()) return;
    const int state = m_nPressed == button && m_nHover == button ? 2 : m_nHover == button ? 1 : 0;
    painter.drawImage(ButtonRect(button).topLeft(), Frame(strip, state));
}

void CGXTFrameWnd::UpdateShape()
{
    // Rounded corners: the window loses the outside (pure blue) pixels of the
    // caption's end pieces and the bottom corner pieces, found once per skin.
    if (isMaximized() || m_pieces[0].isNull()) {
        clearMask();
        return;
    }
    QRegion shape(rect());
    shape -= m_outside[0];
    shape -= m_outside[1].translated(width() - Width(m_pieces[2]), 0);
    shape -= m_outside[2].translated(0, height() - kBottomBorder);
    shape -= m_outside[3].translated(width() - Width(m_pieces[8]), height() - kBottomBorder);
    setMask(shape);
}

void CGXTFrameWnd::resizeEvent(QResizeEvent* event)
{
    UpdateShape();
    PlaceMenuBar();
    QWidget::resizeEvent(event);
}

void CGXTFrameWnd::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        UpdateShape();
        update();
    }
    if (event->type() == QEvent::WindowTitleChange) update(QRect(0, 0, width(), kCaptionHeight));
    QWidget::changeEvent(event);
}

void CGXTFrameWnd::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    if (const Qt::Edges edges = EdgesAt(point)) {
        m_drag.Press(event, edges);
        return;
    }
    const HitCode hit = HitTest(point);
    if (hit == HitClose || hit == HitMaximise || hit == HitMinimise) {
        m_nPressed = hit;
        update(ButtonRect(hit));
        return;
    }
    // A maximised window stays where it is.
    if (hit == HitCaption && !isMaximized()) m_drag.Press(event);
}

void CGXTFrameWnd::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const HitCode hit = HitTest(point);
    if (event->button() == Qt::RightButton && (hit == HitIcon || hit == HitCaption)) {
        ShowSystemMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const bool dragged = m_drag.IsMoving();
    m_drag.Release();
    const HitCode pressed = m_nPressed;
    m_nPressed = HitNowhere;
    if (pressed != HitNowhere) update(ButtonRect(pressed));
    if (pressed != HitNowhere && pressed == hit) ActOnButton(hit);
    else if (hit == HitIcon && !dragged) ShowSystemMenu(event->globalPosition().toPoint());
}

void CGXTFrameWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const HitCode hit = HitTest(event->position().toPoint());
    if (hit == HitIcon) close();
    else if (hit == HitCaption) isMaximized() ? showNormal() : showMaximized();
    // The second click of a quick pair on a button is a click of its own:
    // it acts on its release like the first.
    else if (hit != HitNowhere) mousePressEvent(event);
}

void CGXTFrameWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag.Move(event)) return;
    const QPoint point = event->position().toPoint();
    const Qt::Edges edges = EdgesAt(point);
    if ((edges & Qt::LeftEdge && edges & Qt::TopEdge) || (edges & Qt::RightEdge && edges & Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if ((edges & Qt::RightEdge && edges & Qt::TopEdge) || (edges & Qt::LeftEdge && edges & Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
    SetHover(HitTest(point));
}

void CGXTFrameWnd::leaveEvent(QEvent* event)
{
    SetHover(HitNowhere);
    QWidget::leaveEvent(event);
}

void CGXTFrameWnd::SetHover(HitCode hover)
{
    if (hover == HitIcon || hover == HitCaption) hover = HitNowhere;
    if (hover == m_nHover) return;
    m_nHover = hover;
    update(QRect(0, 0, width(), kCaptionHeight));
    const UINT tip = TooltipIdOf(hover, isMaximized());
    if (tip) QToolTip::showText(mapToGlobal(ButtonRect(hover).bottomLeft()), LoadString(tip), this);
    else QToolTip::hideText();
}

void CGXTFrameWnd::ShowSystemMenu(const QPoint& globalPosition)
{
    QMenu menu(this);
    menu.addAction(LoadString(IDS_TIP_RESTORE), this, &QWidget::showNormal)->setEnabled(isMaximized() || isMinimized());
    menu.addAction(LoadString(IDS_TIP_MINIMIZE), this, &QWidget::showMinimized);
    menu.addAction(LoadString(IDS_TIP_MAXIMIZE), this, &QWidget::showMaximized)->setEnabled(!isMaximized());
    menu.addSeparator();
    menu.addAction(LoadString(IDS_TIP_CLOSE), this, &QWidget::close);
    menu.exec(globalPosition);
}
