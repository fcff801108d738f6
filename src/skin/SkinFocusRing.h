// SkinFocusRing: the ring a skinned control draws over itself while it has
// the keyboard focus, from the skin picture "Image\Common\focus\focus_ring.png"
// ("..._150.png" at layout scale 1.5) stretched over the control with its
// corners kept. Focus that came from a mouse click shows no ring, so a mouse
// user sees the controls as before; focus from Tab, from a dialog opening or
// from the program does. A control opts in with two calls:
//
//     SkinFocusRing::Track(this);                  // in the constructor
//     SkinFocusRing::Paint(painter, *this);        // last in paintEvent
#pragma once
#include <QImage>
#include <QString>

class QPainter;
class QWidget;

namespace SkinFocusRing {

QString PicturePath(double uiScale);
// Follows the control's focus changes: repaints it and remembers whether
// the focus came from the mouse.
void Track(QWidget* control);
// Whether the control shows its ring now.
bool Shows(const QWidget& control);
// Draws the ring of `uiScale` over `target`.
void Draw(QPainter& painter, const QRect& target, double uiScale);
// Draws the ring over the whole control when it shows one.
void Paint(QPainter& painter, const QWidget& control);

} // namespace SkinFocusRing
